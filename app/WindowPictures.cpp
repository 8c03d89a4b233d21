// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowPictures.h"

#include <QImage>
#include <QImageReader>
#include <map>
#include <mutex>

namespace tolvane {

namespace {

constexpr const char* kPictures[] = {
    "icon",     "background-column", "header",       "digits",       "menu-normal",
    "menu-hot", "minimise-normal",   "minimise-hot", "close-normal", "close-hot"};

std::mutex g_aheadMutex;
std::map<QString, QImage> g_readAhead;  // each taken once, by the window

// Read as PNG only: left to guess, the reader first asks every image-format plugin whether it
// reads the file, which loads them all (and libjpeg) at start.
QImage decode(const QString& name) {
    QImageReader reader(QStringLiteral(":/png/%1.png").arg(name), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace

void readWindowPicturesAhead() {
    // Held while decoding: a window that asks meanwhile waits for the pictures, not decodes twice.
    const std::lock_guard lock(g_aheadMutex);
    for (const char* name : kPictures) {
        const QString key = QString::fromLatin1(name);
        g_readAhead.emplace(key, decode(key));
    }
}

QPixmap windowPicture(const QString& name) {
    QImage image;
    {
        const std::lock_guard lock(g_aheadMutex);
        if (const auto found = g_readAhead.find(name); found != g_readAhead.end()) {
            image = std::move(found->second);
            g_readAhead.erase(found);
        }
    }
    return QPixmap::fromImage(image.isNull() ? decode(name) : std::move(image));
}

}  // namespace tolvane
