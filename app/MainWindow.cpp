// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>

#include "app/ClockPainter.h"
#include "app/HotKeyToggle.h"
#include "app/MainCommands.h"
#include "app/MainMenus.h"
#include "app/MainWindowLook.h"
#include "app/StatePresenter.h"
#include "app/TimetableChooser.h"
#include "app/TrayIcon.h"
#include "app/WindowPictures.h"
#include "platform/Autostart.h"
#include "ringer/Ringer.h"
#include "schedule/core/Calendar.h"
#include "schedule/ui/ScheduleListView.h"
#include "settings/core/Settings.h"
#include "settings/ui/SettingsWindow.h"
#include "ui/BalloonTip.h"
#include "ui/SecondaryWindow.h"
#include "ui_MainWindow.h"

namespace tolvane {

namespace {
// The tip's two paragraphs were written with Windows line ends; a balloon breaks lines at \n.
const char kStartupTip[] = QT_TRANSLATE_NOOP(
    "tolvane::MainWindow",
    "点击列表框的右键可以增加、修改、删除铃声！\n\n如果不喜欢软件自带的铃声，可以设置其他铃声"
    "！");
}  // namespace

MainWindow::MainWindow(Ringer& ringer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_ringer(ringer),
      m_ui(new Ui::MainWindow),
      m_gate(ringer.db()),
      m_balloon(new BalloonTip(this)),
      m_tray(new TrayIcon(*this, [this] { restoreWindow(); })),
      m_hotKey(std::make_unique<HotKeyToggle>(*this)) {
    autostartFolder = userAutostartFolder();
    m_ui->setupUi(this);
    // The controls by role; MainWindow.ui names them as the catalogue does.
    m_c = {m_ui->按钮1,     m_ui->按钮2,     m_ui->按钮3,    m_ui->超级列表框1,
           m_ui->透明标签2, m_ui->状态标签,  m_ui->修复按钮, m_ui->画板2,
           m_ui->图形按钮6, m_ui->图形按钮9, m_ui->图形按钮8};
    m_timetables = new TimetableChooser(*m_ui->作息表框, *m_c.list, ringer.db(),
                                        ringer.schoolClock(), [this] { refreshSchedule(); });
    m_painter = new ClockPainter(*m_c.face, *m_c.date, ringer.schoolClock(), ringer.db(), *this);
    m_presenter = std::make_unique<StatePresenter>(
        StatePresenter::Widgets{*m_c.status, *m_ui->下一铃声标签, *m_c.fix, *m_c.pause, *m_c.stop,
                                *m_c.list, *m_c.face, *m_tray},
        ringer.schoolClock());
    setFixedSize(663, 488);
    setWindowIcon(QIcon(windowPicture(QStringLiteral("icon"))));
    m_balloon->setObjectName(QStringLiteral("气球提示框1"));
    m_background = dressMainWindow(*m_ui);
    setUpScheduleColumns(m_c.list);
    buildMenus();
    confirm = [this](const QString& question) { return askYesNo(*this, question); };

    // Queued: the created handler runs before the event loop, where a plain exit() is lost.
    exitProgram = [](int code) {
        QMetaObject::invokeMethod(
            qApp, [code] { QApplication::exit(code); }, Qt::QueuedConnection);
    };
    fatal = [this](const Status& s) {
        showRunTimeError(s);
        exitProgram(-1);
    };
    attachSkin = [] {};

    connect(m_c.pause, &QPushButton::clicked, this, &MainWindow::onPauseClicked);
    connect(m_c.stop, &QPushButton::clicked, this, &MainWindow::onStopClicked);
    connect(m_c.fix, &QPushButton::clicked, this, &MainWindow::onFixProblem);
    connect(m_c.add, &QPushButton::clicked, this, &MainWindow::onAddBell);
    connect(m_c.menu, &QAbstractButton::clicked, this, &MainWindow::onMenuPictureButton);
    connect(m_c.minimise, &QAbstractButton::clicked, this,
            [this] { setWindowState(Qt::WindowMinimized); });
    connect(m_c.close, &QAbstractButton::clicked, this, &QWidget::close);
    m_c.list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_c.list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { onListRightClick(m_c.list->viewport()->mapToGlobal(p)); });
    connect(m_c.list, &QTreeWidget::itemDoubleClicked, this, &MainWindow::onListDoubleClick);
    m_subscriptions.push_back(m_ringer.onReloaded.add(
        [this](const ReloadedTables& r, const Status&) { onTablesReloaded(r); }));
    m_subscriptions.push_back(
        m_ringer.onSettingsApplied.add([this](const SettingsRecord& s) { showSettings(s); }));
    // The face changes on the clock timer's wake-up while the plan runs, and not at all while
    // nobody can see the window.
    m_subscriptions.push_back(m_ringer.afterTick.add([this] {
        if (!isVisible() || isMinimized()) return;
        m_timetables->followDay();
        m_painter->paint();
        if (!m_presenter->showNextBell()) showState();
    }));
    m_subscriptions.push_back(m_ringer.onFatal.add([this](const Status& s) { fatal(s); }));
    m_subscriptions.push_back(m_ringer.onStateChanged.add([this] { showState(); }));
}

// The subscriptions end with the window: the ringer, which outlives it, tells it nothing more.
MainWindow::~MainWindow() = default;

void MainWindow::showState() {
    followPlanWithPainter();
    m_presenter->show(m_ringer.state());
}

void MainWindow::buildMenus() {
    m_menus = new MainMenus(
        *this, *m_c.list, *m_c.menu,
        {[this] { onSettings(); }, [this] { onRingLog(); }, [this] { onSchoolCalendar(); },
         [this] { onTimetables(); }, [this] { onAbout(); }, [this] { onMinimiseToTray(); },
         [this] { onQuit(); }, [this] { onAddBell(); }, [this] { onChangeBell(); },
         [this] { onDeleteBell(); },
         [this](bool repeat) {
             if (unlocked()) ringSelectedNow(m_ringer, *m_c.list, repeat, showMessage);
         },
         [this](const QString& question) { return confirm(question); }});
}

void MainWindow::onDeleteKey() {
    m_menus->deleteSelectedAfterAsking();
}

void MainWindow::checked(const Status& s) {
    if (!s.isOk()) fatal(s);
}

void MainWindow::runCreatedHandler() {
    show();
    m_startupTipDue = true;  // once the window shows
    attachSkin();
    const OpenedTables opened = m_ringer.openTables();
    if (!opened.usable()) {
        QMessageBox::critical(
            nullptr, tr("信息："),
            tr("无法打开或建立铃声计划文件，程序不能运行：\n%1")
                .arg(QString::fromStdString(opened.errors.empty() ? "" : opened.errors.front())));
        exitProgram(1);
        return;
    }
    setToolTip(tr("铃声计划保存在：%1").arg(QString::fromStdString(m_ringer.folder())));
    for (const FlowMessage& message : openedTablesMessages(opened))
        showMessage(message, QMessageBox::Warning);
    m_painter->paint();

    if (auto settings = m_ringer.applySettings(); !settings.isOk()) return fatal(settings.status());
    m_timetables->refill();
    refreshSchedule();
    m_ringer.setPlan(PlanState::kRunning);
    showState();
}

void MainWindow::followPlanWithPainter() {
    m_painter->follow(m_ringer.plan() == PlanState::kRunning);
}

void MainWindow::onTablesReloaded(const ReloadedTables& reloaded) {
    // The ring log has said what was read again, and what could not be.
    if (reloaded.timetables) m_timetables->refill();
    if (reloaded.bells || reloaded.timetables) refreshSchedule();
    if (reloaded.calendar) m_painter->showCalendarDay();
}

QSystemTrayIcon* MainWindow::tray() {
    return m_tray->icon();
}

void MainWindow::restoreWindow() {
    m_tray->hide();
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void MainWindow::applySettings() {
    if (auto settings = m_ringer.applySettings(); !settings.isOk()) fatal(settings.status());
}

void MainWindow::showSettings(const SettingsRecord& settings) {
    m_c.date->setVisible(settings.showDate);
    m_hotKey->want(settings.hideAfterStart);
}

int MainWindow::hotKeyId() const {
    return m_hotKey->id();
}

void MainWindow::refreshSchedule() {
    checked(refreshScheduleList(m_c.list, m_ringer.db()));
    m_presenter->rowsReplaced();
    showState();
}

void MainWindow::onPauseClicked() {
    if (unlocked()) m_ringer.togglePlan();
}

void MainWindow::onStopClicked() {
    if (unlocked()) m_ringer.stopSound();
}

void MainWindow::onFixProblem() {
    mendProblem(m_ringer, m_presenter->fix(), showMessage);
}

void MainWindow::onAddBell() {
    if (unlocked()) openAddBell(m_ringer, *m_c.list, prepareWindow, [this] { refreshSchedule(); });
}

void MainWindow::onChangeBell() {
    if (unlocked())
        openChangeBell(m_ringer, *m_c.list, prepareWindow, [this] { refreshSchedule(); });
}

void MainWindow::onDeleteBell() {
    if (!unlocked()) return;
    deleteSelectedBell(m_ringer, *m_c.list, showMessage);
    refreshSchedule();
}

void MainWindow::onRingLog() {
    openRingLog(m_ringer, prepareWindow);
}

void MainWindow::onAbout() {
    openAbout(prepareWindow);
}

void MainWindow::onSchoolCalendar() {
    if (unlocked()) openSchoolCalendar(m_ringer, prepareWindow, [this] { followCalendar(); });
}

void MainWindow::onSettings() {
    if (!unlocked()) return;
    SettingsHooks hooks{
        [this] { applySettings(); },
        [this] { checked(m_ringer.applyShutdownPlan()); },
        [this] { m_hotKey->release(); },
        [this] { return m_hotKey->grab(); },
        autostartFolder,
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(),
        m_ringer.folder()};
    addRingerHooks(hooks, m_ringer, m_gate);
    hooks.hotKeyTrigger = [this] { return m_hotKey->trigger(); };
    SettingsWindow window(m_ringer.db(), std::move(hooks), this);
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::onTimetables() {
    if (unlocked()) openTimetables(m_ringer, prepareWindow, [this] { followCalendar(); });
}

// Today's timetable may be another after the calendar or the timetables changed here.
void MainWindow::followCalendar() {
    m_ringer.calendarChanged();
    m_painter->showCalendarDay();
    m_timetables->refill();
    refreshSchedule();
}

void MainWindow::onMinimiseToTray() {
    // No tray to come back from: minimise to the taskbar instead of vanishing.
    if (!m_tray->minimise()) showMinimized();
}

bool MainWindow::unlocked() {
    return m_gate.open(askPassword, showMessage);
}

bool MainWindow::mayExit() {
    if (!unlocked()) return false;
    const int left = bellsLeftToday(m_ringer.db(), m_ringer.clock());
    return left == 0 || confirm(tr("今天还有 %1 个铃声，退出后不再响铃。确定退出吗？").arg(left));
}

void MainWindow::onQuit() {
    if (!mayExit()) return;
    m_tray->hide();
    exitProgram(0);
}

void MainWindow::onListRightClick(const QPoint& cursor) {
    m_menus->popUpListMenu(cursor);
}

void MainWindow::onListDoubleClick() {
    m_menus->changeSelected();
}

void MainWindow::onMenuPictureButton() {
    m_menus->popUpSystemMenu();
}

QMenu* MainWindow::systemMenu() const {
    return m_menus->systemMenu();
}

QMenu* MainWindow::listMenu() const {
    return m_menus->listMenu();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), m_background);
    if (!m_startupTipDue) return;
    // The tip is a window of its own: built after the first paint is on the screen, it does not
    // hold up the first sight of the clock.
    m_startupTipDue = false;
    QTimer::singleShot(0, this,
                       [this] { m_balloon->popUp(pos() + QPoint(200, 300), tr(kStartupTip)); });
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window going away ends the program, and leaves no tray icon behind; a stray Esc or
    // click does not silence the rest of the day without a question. The end of the session asks
    // nothing.
    if (m_sessionEnding) {
        m_tray->hide();
        return event->accept();
    }
    if (!mayExit()) return event->ignore();
    m_tray->hide();
    event->accept();
    exitProgram(0);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_painter->paint();
    followPlanWithPainter();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // Back from the taskbar the face may be seconds behind: shown at once, then at each second.
    if (!isMinimized()) m_painter->paint();
    followPlanWithPainter();
}

void MainWindow::hideEvent(QHideEvent* event) {
    // Nobody sees the clock of a hidden window: the painter rests until it shows again.
    m_painter->timer().stop();
    QWidget::hideEvent(event);
}

}  // namespace tolvane
