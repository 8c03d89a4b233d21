// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window: the header with the date, the digital clock and the plan's buttons, and the
// Schedule list. Handlers read controls, call the core and show results.

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "base/Listeners.h"
#include "base/Status.h"
#include "settings/ui/PasswordGate.h"
#include "ui/SecondaryWindow.h"

class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTreeWidget;

namespace Ui {
class MainWindow;
}

namespace tolvane {

class BalloonTip;
class ClockFace;
class ClockPainter;
class TimetableChooser;
class HotKeyToggle;
class MainMenus;
class StatePresenter;
class TrayIcon;
class HeaderStrip;
class PictureButton;
class Ringer;
struct ReloadedTables;
struct OpenedTables;
struct SettingsRecord;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
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
    // has applied them).
    void onTablesReloaded(const ReloadedTables& reloaded);
    // The system ends the session (log-off, shutdown): the window then closes without a question.
    // The password guards a person's hand, not the system's, and a question nobody answers would
    // hold the session's end up while the ringer has already stopped.
    void endWithSession() { m_sessionEnding = true; }

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
    // Asks for 软件密码 (a password box by default).
    SecretAsker askPassword = passwordDialogAsker(this);

    Ui::MainWindow& ui() { return *m_ui; }
    QMenu* systemMenu() const;
    QMenu* listMenu() const;
    BalloonTip* balloon() const { return m_balloon; }
    // Made at its first use.
    QSystemTrayIcon* tray();
    ClockPainter& clockPainter() const { return *m_painter; }

    // Handlers, public so that tests can drive them as the controls do.
    void onPauseClicked();
    void onStopClicked();
    void onAddBell();
    void onChangeBell();
    void onDeleteBell();
    void onSettings();
    void onRingLog();
    void onAbout();
    void onSchoolCalendar();
    void onTimetables();
    // The calendar changed (here or on disk): the engine looks the day up again, the label too.
    void followCalendar();
    void onMinimiseToTray();
    void onQuit();
    void onListRightClick(const QPoint& cursor);
    void onListDoubleClick();
    // The Delete key in the list: asks first (a key is pressed by mistake more easily than a
    // menu item is chosen), then deletes as the menu does.
    void onDeleteKey();
    void onMenuPictureButton();
    // The id Shift+T is held under; 0 when it is not held.
    int hotKeyId() const;
    // Where the autostart entry goes; tests point it at a folder of their own.
    std::string autostartFolder;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The controls by role.
    struct Controls {
        QPushButton* pause;
        QPushButton* stop;
        QPushButton* add;
        QTreeWidget* list;
        QLabel* date;
        // The bottom line, and at its end the fix: "修复" unmutes the output or raises it to the
        // audible floor; "开启时间同步" asks the system to keep its clock right.
        QLabel* status;
        QPushButton* fix;
        ClockFace* face;
        PictureButton* menu;
        PictureButton* minimise;
        PictureButton* close;
    };

    void buildMenus();
    // The painter's own wake-ups while the window shows a paused plan; none otherwise.
    void followPlanWithPainter();
    void checked(const Status& s);  // fatal when s is a failure
    // The options the window shows: the date, Shift+T.
    void showSettings(const SettingsRecord& settings);
    // The ringer's state: the bottom line, the tray, the pause button, the playing bell's row.
    void showState();
    void onFixProblem();
    // True when no password is set, the lock is open, or the person gave the password now (a
    // wrong one is said). Guards every change, pause, stop and the exit.
    bool unlocked();
    // True when nothing is due today, or the user confirmed that the day's bells end with it.
    bool mayExit();
    bool m_sessionEnding = false;

    Ringer& m_ringer;
    const std::unique_ptr<Ui::MainWindow> m_ui;
    Controls m_c{};
    bool m_startupTipDue = false;
    QPixmap m_background;
    MainMenus* m_menus = nullptr;
    PasswordGate m_gate;
    ClockPainter* m_painter = nullptr;
    TimetableChooser* m_timetables = nullptr;
    std::unique_ptr<StatePresenter> m_presenter;
    BalloonTip* m_balloon;
    TrayIcon* m_tray;
    std::unique_ptr<HotKeyToggle> m_hotKey;
    std::vector<Subscription> m_subscriptions;  // last: they end first
};

}  // namespace tolvane
