#pragma once

// The two ways the main window goes away and comes back while the bells ring on: the tray icon
// "最小化" puts it in, and Shift+T.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSystemTrayIcon;
class QWidget;

namespace tolvane {

class HotKey;

// Shift+T and `tolvane --toggle`: hides the window when it shows, shows it when hidden.
void toggleWindow(QWidget& window);

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

// Shift+T, held while the settings ask for it; each press hides or shows the window.
class HotKeyToggle final {
public:
    explicit HotKeyToggle(QWidget& window);
    ~HotKeyToggle();

    // Takes Shift+T when wanted and not yet held. Each attempt takes the next id; a failed one
    // leaves none and says nothing.
    void want(bool wanted);
    // Takes Shift+T now; false when another program holds it or the desktop does not allow it.
    bool grab();
    void release();
    // A press reported under id: toggles the window when id is the held one's.
    void onPressed(int id);
    // The id Shift+T is held under; 0 when it is not held.
    int id() const { return m_id; }
    // What the desktop bound the key to where it says (a Wayland desktop's portal); else empty.
    QString trigger() const;

private:
    QWidget& m_window;
    std::unique_ptr<HotKey> m_hotKey;
    int m_id = 0;
    int m_nextId = 33001;
};

}  // namespace tolvane
