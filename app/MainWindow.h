#pragma once

// The main window: the header with the date, the digital clock and the plan's buttons, and the
// Schedule list. Handlers read controls, call the core and show results.

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/Clock.h"
#include "base/Status.h"
#include "platform/HotKey.h"
#include "ringing/core/PlanState.h"
#include "ui/SecondaryWindow.h"

class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class QTreeWidget;

namespace Ui {
class MainWindow;
}

namespace tolvane {

class BalloonTip;
class ClockFace;
class HeaderStrip;
class PictureButton;
class Ringer;
struct ReloadedTables;
struct OpenedTables;
struct SettingsRecord;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    // The painter wakes this long after each second begins: the face changes within a few
    // milliseconds of the second, never just before it.
    static constexpr int kPainterMarginMs = 2;
    static constexpr int kMsPerSecond = 1000;

    // The ringer must outlive the window; the window sets its hooks.
    explicit MainWindow(Ringer& ringer, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The created event: show, balloon, skin, tables, date, settings, list, tick.
    void runCreatedHandler();
    // Applies px.edb's options (ringing and display); a settings record that cannot be read is
    // fatal here, where the user just stored it.
    void applySettings();
    void refreshSchedule();
    // Shows the window wherever it is (hidden, in the tray, minimised) and brings it to the front:
    // a tray click, and a second start in the same folder.
    void restoreWindow();
    // Brings the list and the date up to date with tables another program changed (the ringer
    // has applied them; settings is the status of applying changed settings).
    void onTablesReloaded(const ReloadedTables& reloaded, const Status& settings);

    // How the program ends; tests replace them. exitProgram(code) ends the run; fatal shows the
    // run-time error box and ends with -1.
    std::function<void(int)> exitProgram;
    std::function<void(const Status&)> fatal;
    // Skin attach step of start-up (the carried skin, when there is one).
    std::function<void()> attachSkin;
    // Runs on each secondary window just before it opens (tests drive the windows from here).
    std::function<void(QDialog&)> prepareWindow = [](QDialog&) {};
    // How the main window's own messages are shown; tests record them.
    MessagePresenter showMessage = messageBoxPresenter();
    // Asks a yes/no question (the Delete key's "delete this bell?"); tests answer it.
    std::function<bool(const QString& question)> confirm;

    Ui::MainWindow& ui() { return *m_ui; }
    QMenu* systemMenu() const { return m_systemMenu; }
    QMenu* listMenu() const { return m_listMenu; }
    BalloonTip* balloon() const { return m_balloon; }
    // Made at its first use: on Linux it connects to the session bus (10 ms of the start, which
    // the window need not wait for).
    QSystemTrayIcon* tray();
    QTimer* painterTimer() const { return m_painter; }

    // Handlers, public so that tests can drive them as the controls do.
    void onPauseClicked();
    void onStopClicked();
    void onAddBell();
    void onChangeBell();
    void onDeleteBell();
    void onSettings();
    void onRingLog();
    void onSchoolCalendar();
    // The calendar changed (here or on disk): the engine looks the day up again, the label too.
    void followCalendar();
    // The date label's calendar state, looked up again.
    void showCalendarDay();
    void onMinimiseToTray();
    void onQuit();
    void onListRightClick(const QPoint& cursor);
    void onListDoubleClick();
    // The Delete key in the list: asks first (a key is pressed by mistake more easily than a
    // menu item is chosen), then deletes as the menu does.
    void onDeleteKey();
    void onMenuPictureButton();
    void paintClock();
    // Shows now's date in the date label when the day changed since it was last shown: a
    // program left running for days shows the right date and weekday.
    void followDate(const LocalTime& now);
    // The hot-key receiver's feedback event: toggles the window when id is the held hot key's.
    void onHotKeyFeedback(int id);
    void releaseHotKey();
    // The id Shift+T is held under; 0 when it is not held.
    int hotKeyId() const { return m_hotKeyId; }
    // Where the autostart entry goes; tests point it at a folder of their own.
    std::string autostartFolder;

    static void showFatalError(const Status& status);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The controls by role.
    QPushButton* pauseButton() const;
    QPushButton* stopButton() const;
    QPushButton* addButton() const;
    QTreeWidget* scheduleList() const;
    QLabel* dateLabel() const;
    QLabel* statusLabel() const;
    ClockFace* clockFace() const;
    QLabel* digitStripHolder() const;
    HeaderStrip* headerPicture() const;
    PictureButton* menuButton() const;
    PictureButton* minimiseButton() const;
    PictureButton* closeButton() const;

    void buildMenus();
    // Arms the painter for the next second's beginning while the window shows a paused plan;
    // stops it otherwise (a running plan's clock timer paints the face).
    void armPainter();
    void hideTray();  // when there is one
    void setUpKeyboard();
    bool onListKey(const QKeyEvent& key);
    void setUpPictures();
    void checked(const Status& s);  // fatal when s is a failure
    void hotKeyStep(bool wanted);
    void showPlanState();
    void reportOpenedTables(const OpenedTables& opened);
    void setPlanRunning(bool running);
    // The options the window shows: the date, Shift+T.
    void showSettings(const SettingsRecord& settings);
    QPoint listMenuPoint(const QPoint& cursor) const { return cursor + QPoint(3, 3); }

    Ringer& m_ringer;
    const std::unique_ptr<Ui::MainWindow> m_ui;
    // Alt pressed and released alone opens the System menu, as in other desktop programs.
    bool m_altAlone = false;
    bool m_startupTipDue = false;
    QPixmap m_background;
    QMenu* m_systemMenu;
    QMenu* m_listMenu;
    QAction* m_changeAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QTimer* m_painter;
    BalloonTip* m_balloon;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<HotKey> m_hotKey;
    int m_hotKeyId = 0;
    int m_nextHotKeyId = 33001;
    LocalTime m_shownDate{0, 0, 0};
};

}  // namespace tolvane
