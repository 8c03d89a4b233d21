// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayIcon.h"

#include <QCoreApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

#include "platform/TextCodec.h"
#include "platform/TrayHost.h"

namespace tolvane {

namespace {
const char kTrayTip[] = QT_TRANSLATE_NOOP("tolvane::MainWindow", "双击可显示！");
// The tray's tip holds 62 bytes of GBK.
constexpr size_t kTrayTipBytes = 62;
}  // namespace

TrayIcon::TrayIcon(QWidget& window, std::function<void()> restore)
    : QObject(&window), m_window(window), m_restore(std::move(restore)) {}

QSystemTrayIcon* TrayIcon::icon() {
    if (m_icon) return m_icon;
    m_icon = new QSystemTrayIcon(this);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        // A StatusNotifierItem host reports every click as Trigger, never as DoubleClick.
        if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger) m_restore();
    });
    setNotes(m_notes, m_marked);  // the tip
    return m_icon;
}

bool TrayIcon::minimise() {
    // Qt keeps its first answer: it is asked only once a tray is there.
    if (!trayHostPresent() || !QSystemTrayIcon::isSystemTrayAvailable()) return false;
    showIcon();
    icon()->show();
    m_window.hide();
    return true;
}

QString TrayIcon::tipText(const QStringList& notes) {
    const QString own = QCoreApplication::translate("tolvane::MainWindow", kTrayTip);
    QString tip = own;
    // Whole notes only: a note cut in half says something else.
    for (const QString& note : notes) {
        const QString longer = tip + (tip == own ? QLatin1Char('\n') : QLatin1Char(' ')) + note;
        const std::string text = longer.toStdString();
        if (cutToGbkBytes(text, kTrayTipBytes) != text) break;
        tip = longer;
    }
    return QString::fromStdString(cutToGbkBytes(tip.toStdString(), kTrayTipBytes));
}

void TrayIcon::setNotes(const QStringList& notes, bool marked) {
    m_notes = notes;
    m_marked = marked;
    if (!m_icon) return;
    m_icon->setToolTip(tipText(notes));
    showIcon();
}

void TrayIcon::showIcon() {
    if (!m_marked) return icon()->setIcon(m_window.windowIcon());
    // The window's icon with an amber dot and "!" in its corner: seen at a glance in a tray.
    QPixmap marked = m_window.windowIcon().pixmap(64, 64);
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF dot(30, 30, 34, 34);
    painter.setPen(QPen(Qt::white, 3));
    painter.setBrush(QColor(0xE6, 0x7E, 0x00));
    painter.drawEllipse(dot.adjusted(1.5, 1.5, -1.5, -1.5));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(24);
    painter.setFont(font);
    painter.drawText(dot, Qt::AlignCenter, QStringLiteral("!"));
    painter.end();
    icon()->setIcon(QIcon(marked));
}

void TrayIcon::hide() {
    if (m_icon) m_icon->hide();
}

}  // namespace tolvane
