#pragma once

// The tray icon "最小化" puts the main window in while the bells ring on.

#include <QObject>
#include <QString>
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
    // A problem the tip says after its own text, and the icon a mark; empty for none.
    void setProblem(const QString& problem);
    QSystemTrayIcon* icon();

private:
    void showIcon();

    QWidget& m_window;
    std::function<void()> m_restore;
    QSystemTrayIcon* m_icon = nullptr;
    QString m_problem;
};

}  // namespace tolvane
