#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>

#include "app/ClockPainter.h"
#include "app/HotKeyToggle.h"
#include "app/MainMenus.h"
#include "app/MainWindowLook.h"
#include "app/RingLogWindow.h"
#include "app/StatePresenter.h"
#include "app/TrayIcon.h"
#include "app/WindowPictures.h"
#include "platform/Autostart.h"
#include "platform/TextCodec.h"
#include "ringer/Ringer.h"
#include "ringing/qt/RingController.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/Calendar.h"
#include "schedule/ui/AddBellWindow.h"
#include "schedule/ui/CalendarWindow.h"
#include "schedule/ui/ChangeBellWindow.h"
#include "schedule/ui/ScheduleListView.h"
#include "settings/core/Password.h"
#include "settings/core/Settings.h"
#include "settings/ui/SettingsWindow.h"
#include "ui/BalloonTip.h"
#include "ui/SecondaryWindow.h"
#include "ui/core/ClockDisplay.h"
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
    m_painter =
        new ClockPainter(*clockFace(), *dateLabel(), ringer.schoolClock(), ringer.db(), *this);
    m_presenter = std::make_unique<StatePresenter>(
        StatePresenter::Widgets{*statusLabel(), *fixOutputButton(), *pauseButton(), *stopButton(),
                                *scheduleList(), *clockFace(), *m_tray});
    setFixedSize(663, 488);
    setWindowIcon(QIcon(windowPicture(QStringLiteral("icon"))));
    m_balloon->setObjectName(QStringLiteral("气球提示框1"));
    m_background = dressMainWindow(*m_ui);
    setUpScheduleColumns(scheduleList());
    buildMenus();
    confirm = [this](const QString& question) {
        // 否 is the default: a stray Enter changes nothing.
        return QMessageBox::question(this, tr("信息："), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };

    // Queued: the created handler runs before the event loop, where a plain exit() is lost.
    exitProgram = [](int code) {
        QMetaObject::invokeMethod(
            qApp, [code] { QApplication::exit(code); }, Qt::QueuedConnection);
    };
    fatal = [this](const Status& s) {
        showFatalError(s);
        exitProgram(-1);
    };
    attachSkin = [] {};

    connect(pauseButton(), &QPushButton::clicked, this, &MainWindow::onPauseClicked);
    connect(stopButton(), &QPushButton::clicked, this, &MainWindow::onStopClicked);
    connect(fixOutputButton(), &QPushButton::clicked, this, &MainWindow::onFixProblem);
    connect(addButton(), &QPushButton::clicked, this, &MainWindow::onAddBell);
    connect(menuButton(), &QAbstractButton::clicked, this, &MainWindow::onMenuPictureButton);
    connect(minimiseButton(), &QAbstractButton::clicked, this,
            [this] { setWindowState(Qt::WindowMinimized); });
    connect(closeButton(), &QAbstractButton::clicked, this, &QWidget::close);
    scheduleList()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(scheduleList(), &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        onListRightClick(scheduleList()->viewport()->mapToGlobal(p));
    });
    connect(scheduleList(), &QTreeWidget::itemDoubleClicked, this, &MainWindow::onListDoubleClick);
    m_subscriptions.push_back(m_ringer.onReloaded.add(
        [this](const ReloadedTables& r, const Status&) { onTablesReloaded(r); }));
    m_subscriptions.push_back(
        m_ringer.onSettingsApplied.add([this](const SettingsRecord& s) { showSettings(s); }));
    // The face changes on the clock timer's wake-up while the plan runs, and not at all while
    // nobody can see the window.
    m_subscriptions.push_back(m_ringer.afterTick.add([this] {
        if (!isVisible() || isMinimized()) return;
        m_painter->paint();
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

void MainWindow::onFixProblem() {
    if (m_presenter->fix() == StateWords::Fix::kTimeSync) {
        return m_ringer.turnOnTimeSync([this](const std::string& refusal) {
            if (!refusal.empty())
                showMessage({infoCaption(), tr("系统的时间同步没有开启：%1")
                                                .arg(QString::fromStdString(refusal))
                                                .toStdString()},
                            QMessageBox::Warning);
        });
    }
    if (Status s = m_ringer.fixOutput(); !s.isOk())
        showMessage(
            {infoCaption(),
             tr("声音输出不能修复：%1").arg(QString::fromStdString(s.message())).toStdString()},
            QMessageBox::Warning);
}

// The controls by role; MainWindow.ui names them as the catalogue does.
QPushButton* MainWindow::pauseButton() const {
    return m_ui->按钮1;
}
QPushButton* MainWindow::stopButton() const {
    return m_ui->按钮2;
}
QPushButton* MainWindow::addButton() const {
    return m_ui->按钮3;
}
QTreeWidget* MainWindow::scheduleList() const {
    return m_ui->超级列表框1;
}
QLabel* MainWindow::dateLabel() const {
    return m_ui->透明标签2;
}
QLabel* MainWindow::statusLabel() const {
    return m_ui->状态标签;
}
QPushButton* MainWindow::fixOutputButton() const {
    return m_ui->修复按钮;
}
ClockFace* MainWindow::clockFace() const {
    return m_ui->画板2;
}
QLabel* MainWindow::digitStripHolder() const {
    return m_ui->画板1;
}
HeaderStrip* MainWindow::headerPicture() const {
    return m_ui->图片框1;
}
PictureButton* MainWindow::menuButton() const {
    return m_ui->图形按钮6;
}
PictureButton* MainWindow::minimiseButton() const {
    return m_ui->图形按钮9;
}
PictureButton* MainWindow::closeButton() const {
    return m_ui->图形按钮8;
}

void MainWindow::buildMenus() {
    m_menus = new MainMenus(
        *this, *scheduleList(), *menuButton(),
        {[this] { onSettings(); }, [this] { onRingLog(); }, [this] { onSchoolCalendar(); },
         [this] { onMinimiseToTray(); }, [this] { onQuit(); }, [this] { onAddBell(); },
         [this] { onChangeBell(); }, [this] { onDeleteBell(); },
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
    refreshSchedule();
    m_ringer.setPlan(PlanState::kRunning);
    showState();
}

void MainWindow::followPlanWithPainter() {
    m_painter->follow(m_ringer.plan() == PlanState::kRunning);
}

void MainWindow::onTablesReloaded(const ReloadedTables& reloaded) {
    // The ring log has said what was read again, and what could not be.
    if (reloaded.bells) refreshSchedule();
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
    dateLabel()->setVisible(settings.showDate);
    m_hotKey->want(settings.hideAfterStart);
}

int MainWindow::hotKeyId() const {
    return m_hotKey->id();
}

void MainWindow::refreshSchedule() {
    checked(refreshScheduleList(scheduleList(), m_ringer.db()));
    m_presenter->rowsReplaced();
    showState();
}

void MainWindow::onPauseClicked() {
    if (!unlocked()) return;
    m_ringer.togglePlan();
}

void MainWindow::onStopClicked() {
    if (!unlocked()) return;
    m_ringer.stopSound();
}

void MainWindow::onAddBell() {
    if (!unlocked()) return;
    AddBellWindow window(m_ringer.db(), m_ringer.playback(), m_ringer.folder(),
                         [this] { refreshSchedule(); });
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::onChangeBell() {
    if (!unlocked()) return;
    QStringList row;
    if (const QTreeWidgetItem* item = scheduleList()->selectedItems().value(0))
        for (int c = 0; c < scheduleList()->columnCount(); ++c) row << item->text(c);
    ChangeBellWindow window(m_ringer.db(), m_ringer.playback(), row, [this] { refreshSchedule(); });
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::onDeleteBell() {
    if (!unlocked()) return;
    if (auto refusal = readOnlyRefusal(m_ringer.db()))
        return showMessage(*refusal, QMessageBox::Warning);
    // No confirmation and no message, whether or not a bell was removed.
    deleteBell(m_ringer.db(), selectedStartTime(scheduleList()).toStdString());
    refreshSchedule();
}

void MainWindow::onSettings() {
    if (!unlocked()) return;
    SettingsWindow window(
        m_ringer.db(),
        {[this] { applySettings(); }, [this] { checked(m_ringer.applyShutdownPlan()); },
         [this] { m_hotKey->release(); }, [this] { return m_hotKey->grab(); }, autostartFolder,
         QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(),
         m_ringer.folder(), [this] { m_ringer.applyOptions(); },
         [this] { return m_ringer.offsetToNearestBell(); },
         [this] {
             return m_ringer.tryNextBell() ? std::string()
                                           : tr("两周之内没有铃声可以试听。").toStdString();
         },
         [this] {
             m_gate.close();
             m_ringer.followWeb();
         },
         [this] { return m_hotKey->trigger(); },
         [this] {
             return SettingsHooks::WebPageShown{m_ringer.webAddress(), m_ringer.webFingerprint(),
                                                m_ringer.webProblem()};
         },
         &m_gate},
        this);
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::onRingLog() {
    RingLogWindow window(m_ringer.folder(), [this] {
        return dateText(m_ringer.clock().toLocal(m_ringer.clock().nowMs() / 1000));
    });
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::onSchoolCalendar() {
    if (!unlocked()) return;
    CalendarWindow window(m_ringer.db(), [this] { followCalendar(); });
    prepareWindow(window);
    openModalCentred(window);
}

void MainWindow::followCalendar() {
    m_ringer.calendarChanged();
    m_painter->showCalendarDay();
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

void MainWindow::showFatalError(const Status& status) {
    QMessageBox::critical(nullptr, tr("运行时出错!"),
                          tr("错误代码：%1\n错误信息：%2")
                              .arg(status.runtimeErrorCode())
                              .arg(QString::fromStdString(status.message())));
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
    // click does not silence the rest of the day without a question.
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
