// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tray icon "最小化" puts the main window in while the bells ring on.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QSystemTrayIcon;
class QWidget;

namespace tolvane {

// The tray icon, made at its first use: on Linux it connects to the session bus (10 ms of the
// start, which the window need not wait for).
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    // restore brings the window back (a click or a double-click on the icon). window must outlive
    // the icon.
    TrayIcon(QWidget& window, std::function<void()> restore);

    // Shows the icon with its tip ("双击可显示！", cut to the 62 bytes of GBK a tray tip holds) and
    // hides the window; false, doing nothing, where the desktop has no tray.
    bool minimise();
    void hide();  // when there is one
    // What the tip says after its own text: a few words for each state, the most urgent first;
    // marked gives the icon a mark (a problem, or a paused plan).
    void setNotes(const QStringList& notes, bool marked);
    // The tip for notes: its own text, then as many whole notes as its 62 bytes of GBK hold.
    static QString tipText(const QStringList& notes);
    QSystemTrayIcon* icon();

private:
    void showIcon();

    QWidget& m_window;
    std::function<void()> m_restore;
    QSystemTrayIcon* m_icon = nullptr;
    QStringList m_notes;
    bool m_marked = false;
};

}  // namespace tolvane
