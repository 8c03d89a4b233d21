// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SkinStartup.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QStringList>

#include "platform/FontConfiguration.h"
#include "platform/PePlatform.h"

namespace tolvane {

SkinStartup::SkinStartup()
    : m_platform(std::make_unique<NativePePlatform>()),
      m_loader(std::make_unique<MemoryLibrary>(*m_platform)) {
    const std::span<const uint8_t> engine = carriedSkinEngine();
    if (!engine.empty()) m_loader->load(engine.data(), engine.size());
    // Without an engine the look is known before any window exists: the windows are then built
    // in it once, rather than built, shown and styled again.
    if (m_loader->base() == 0) applyOwnLook();
}

SkinStartup::~SkinStartup() {
    m_loader.reset();
}

bool SkinStartup::attach() {
    const uint32_t routine = m_loader->findExport("SkinH_AttachRes");
    const std::span<const uint8_t> data = carriedSkinData();
    if (routine == 0 || data.empty()) {
        applyOwnLook();
        return false;
    }
    const uint32_t args[6] = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data.data())),
                              static_cast<uint32_t>(data.size()),
                              0,
                              0,
                              0,
                              0};
    m_platform->callStdcall6(routine, args);
    return true;
}

void applyOwnLook() {
    if (!qApp->styleSheet().isEmpty()) return;  // applied before the windows were built
    const std::vector<std::string> chinese =
        defaultFontShowsChinese() ? std::vector<std::string>{} : chineseFontFamilies();
    if (!chinese.empty()) {
        // The look's fonts for every text, not only for the controls the sheet names: each text
        // in a default font without Chinese took a search for a fallback font.
        QFont font = QApplication::font();
        QStringList families;
        for (const std::string& family : chinese) families << QString::fromStdString(family);
        font.setFamilies(families);
        QApplication::setFont(font);
    }
    QFile sheet(QStringLiteral(":/skin.qss"));
    if (sheet.open(QIODevice::ReadOnly)) qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

}  // namespace tolvane
