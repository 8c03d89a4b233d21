#include "Windows.h"

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTime>
#include <QTimer>

#include "Autostart.h"
#include "BalloonTip.h"
#include "MusicChooser.h"
#include "Program.h"
#include "ShellRules.h"
#include "SpinArrows.h"
#include "ui_AddBellWindow.h"
#include "ui_ChangeBellWindow.h"
#include "ui_SettingsWindow.h"

namespace tolvane {

namespace {
constexpr int kMaxHours = 23;
constexpr int kMaxMinutes = 59;
const char kMarkerOnText[] = "●";

// The fixed single border of the secondary windows: a title bar with only the close button.
void makeFixedWindow(QDialog* window) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// The program folder's "media" folder, made when missing: where the chooser opens.
QString mediaFolder(const Program& program) {
    const QString folder = QDir::toNativeSeparators(QString::fromStdString(program.dataFolder()) + QStringLiteral("/media"));
    QDir().mkpath(folder);
    return folder;
}
}  // namespace

void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max) {
    QObject::connect(arrows, &SpinArrows::spun, edit, [edit, max](int direction) {
        edit->setText(QString::fromStdString(spinTimeText(edit->text().toStdString(), max, direction)));
    });
}

int openModalCentred(QDialog& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.setModal(true);
    return window.exec();
}

MessagePresenter messageBoxPresenter() {
    return [](const FlowMessage& m, QMessageBox::Icon icon) {
        QMessageBox box(icon, QString::fromStdString(m.caption), QString::fromStdString(m.text), QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    };
}

BellWindow::BellWindow(Program& program, std::function<void()> refreshList)
    : m_program(program), m_refreshList(std::move(refreshList)) {}

template <typename Ui>
void BellWindow::setUp(Ui& ui) {
    makeFixedWindow(this);
    m_start = {ui.编辑框1, ui.编辑框2, ui.编辑框3};
    m_end = {ui.编辑框8, ui.编辑框7, ui.编辑框6};
    m_endArrows = {ui.调节器6, ui.调节器5, ui.调节器4};
    m_endSwitch = ui.选择框8;
    m_days = {ui.选择框1, ui.选择框2, ui.选择框3, ui.选择框4, ui.选择框5, ui.选择框6, ui.选择框7};
    m_path = ui.编辑框4;
    bindTimeSpinner(ui.编辑框1, ui.调节器1, kMaxHours);
    bindTimeSpinner(ui.编辑框2, ui.调节器2, kMaxMinutes);
    bindTimeSpinner(ui.编辑框3, ui.调节器3, kMaxMinutes);
    bindTimeSpinner(ui.编辑框8, ui.调节器6, kMaxHours);
    bindTimeSpinner(ui.编辑框7, ui.调节器5, kMaxMinutes);
    bindTimeSpinner(ui.编辑框6, ui.调节器4, kMaxMinutes);
    connect(m_endSwitch, &QCheckBox::toggled, this, &BellWindow::enableEnd);
    m_chooser = new MusicChooser(ui.驱动器框1, ui.目录框1, ui.文件框1, ui.编辑框4, this);
}

void BellWindow::enableEnd(bool on) {
    for (size_t i = 0; i < 3; ++i) {
        m_end[i]->setEnabled(on);
        m_endArrows[i]->setEnabled(on);
    }
}

BellForm BellWindow::readForm() const {
    BellForm form;
    for (size_t i = 0; i < 3; ++i) {
        form.start[i] = m_start[i]->text().toStdString();
        form.end[i] = m_end[i]->text().toStdString();
    }
    form.hasEnd = m_endSwitch->isChecked();
    form.music = m_path->text().toStdString();
    for (size_t d = 0; d < 7; ++d) form.weekdays[d] = m_days[d]->isChecked();
    return form;
}

void BellWindow::testPlay(const char* refusal) {
    const std::string path = m_path->text().toStdString();
    if (!countsAsFile(path)) return showMessage({kInfoCaption, refusal}, QMessageBox::Information);
    m_program.playback().play({path}, 1);
}

void BellWindow::finishFlow(const FlowResult& result) {
    if (result.message) showMessage(*result.message, QMessageBox::NoIcon);
    m_refreshList();
}

AddBellWindow::AddBellWindow(Program& program, std::function<void()> refreshList)
    : BellWindow(program, std::move(refreshList)), m_ui(new Ui::AddBellWindow) {
    m_ui->setupUi(this);
    setUp(*m_ui);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &AddBellWindow::onAdd);
    connect(m_ui->按钮2, &QPushButton::clicked, this, [this] { testPlay("未选中MP3歌曲，不能播放！"); });

    m_chooser->setDirectory(mediaFolder(program));
    const QTime now = QTime::currentTime();
    const int pieces[] = {now.hour(), now.minute(), now.second()};
    for (size_t i = 0; i < 3; ++i) {
        m_start[i]->setText(twoDigits(pieces[i]));
        m_end[i]->setText(QString::number(pieces[i]));
    }
    m_endSwitch->setChecked(false);
    enableEnd(false);
    for (size_t d = 0; d < 7; ++d) m_days[d]->setChecked(d < 5);

    // The three tips, each beside what it explains, shown when the window is up.
    const std::pair<QWidget*, const char*> tips[] = {
        {m_ui->选择框8, "选填，需要在特定时间停止时打钩。"},
        {m_ui->目录框1, "需要播放本文件夹内的音乐请双击该文件夹！\n如果需要随机播放音乐，请在设置中设置随机播放！"},
        {m_ui->文件框1, "单击音乐文件可设置该音乐为铃声！"}};
    int n = 1;
    for (const auto& [target, text] : tips) {
        auto* tip = new BalloonTip(this);
        tip->setObjectName(QStringLiteral("气球提示框%1").arg(n++));
        QTimer::singleShot(0, tip, [tip, target = target, text = text] {
            tip->popUp(target->mapToGlobal(QPoint(target->width() / 2, target->height())), QString::fromUtf8(text));
        });
    }
}
AddBellWindow::~AddBellWindow() = default;

void AddBellWindow::onAdd() { finishFlow(addBell(m_program.db(), readForm())); }

ChangeBellWindow::ChangeBellWindow(Program& program, const QStringList& row, std::function<void()> refreshList)
    : BellWindow(program, std::move(refreshList)), m_ui(new Ui::ChangeBellWindow) {
    m_ui->setupUi(this);
    setUp(*m_ui);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &ChangeBellWindow::onChange);
    connect(m_ui->按钮2, &QPushButton::clicked, this,
            [this] { testPlay("未选中MP3歌曲或选择文件夹夹时，不能试播！"); });

    const auto cell = [&row](int c) { return c < row.size() ? row[c] : QString(); };
    program.oldStartTime = cell(0).toStdString();
    const QStringList start = cell(0).split(':');
    for (int i = 0; i < 3 && i < start.size(); ++i) m_start[static_cast<size_t>(i)]->setText(start[i]);
    const QStringList end = cell(1).split(':');
    const bool hasEnd = !cell(1).isEmpty();
    for (int i = 0; hasEnd && i < 3 && i < end.size(); ++i) m_end[static_cast<size_t>(i)]->setText(end[i]);
    m_endSwitch->setChecked(hasEnd);
    enableEnd(hasEnd);
    for (int d = 0; d < 7; ++d) m_days[static_cast<size_t>(d)]->setChecked(cell(3 + d) == QString::fromUtf8(kMarkerOnText));

    // A file bell opens its folder; a folder bell opens itself.
    const QString path = cell(2);
    const int lastSeparator = static_cast<int>(std::max(path.lastIndexOf('/'), path.lastIndexOf(QDir::separator())));
    const QString folder = countsAsFile(path.toStdString()) ? path.left(std::max(0, lastSeparator)) : path;
    m_chooser->selectDriveOf(path);
    m_chooser->setDirectory(folder.isEmpty() ? QDir::toNativeSeparators(QDir::rootPath()) : folder);
    m_path->setText(path);
}
ChangeBellWindow::~ChangeBellWindow() = default;

void ChangeBellWindow::onChange() { finishFlow(changeBell(m_program.db(), m_program.oldStartTime, readForm())); }

SettingsWindow::SettingsWindow(Program& program, SettingsHooks hooks, QWidget* parent)
    : QDialog(parent), m_program(program), m_hooks(std::move(hooks)), m_ui(new Ui::SettingsWindow) {
    m_ui->setupUi(this);
    makeFixedWindow(this);
    bindTimeSpinner(m_ui->编辑框1, m_ui->调节器1, kMaxHours);
    bindTimeSpinner(m_ui->编辑框2, m_ui->调节器2, kMaxMinutes);
    bindTimeSpinner(m_ui->编辑框3, m_ui->调节器3, kMaxMinutes);

    m_ui->选择框1->setChecked(autostartExists(m_hooks.autostartFolder));
    TableDatabase& db = program.db();
    db.select(schema::kSettingsAlias);
    db.goFirst();
    if (auto settings = readSettings(db); settings.isOk()) {
        m_ui->选择框2->setChecked(settings.value().randomPlay);
        m_ui->选择框4->setChecked(settings.value().autoUpdate);
        m_ui->选择框5->setChecked(settings.value().showDate);
        m_ui->选择框6->setChecked(settings.value().hideAfterStart);
        m_ui->选择框3->setChecked(settings.value().autoShutdown);
        // Fewer than three pieces (the empty text of a new record): the boxes keep 21, 30, 00.
        const QStringList pieces = QString::fromStdString(settings.value().shutdownTime).split(':');
        if (pieces.size() >= 3) {
            m_ui->编辑框1->setText(pieces[0]);
            m_ui->编辑框2->setText(pieces[1]);
            m_ui->编辑框3->setText(pieces[2]);
        }
    }

    connect(m_ui->选择框2, &QCheckBox::clicked, this, [this](bool on) { storeOption(schema::kRandomPlay, on); });
    connect(m_ui->选择框4, &QCheckBox::clicked, this, [this](bool on) { storeOption(schema::kAutoUpdate, on); });
    connect(m_ui->选择框3, &QCheckBox::clicked, this, [this](bool on) { storeOption(schema::kAutoShutdown, on); });
    connect(m_ui->选择框5, &QCheckBox::clicked, this, [this](bool on) {
        storeOption(schema::kShowDate, on);
        m_hooks.applySettings();
    });
    connect(m_ui->选择框6, &QCheckBox::clicked, this, &SettingsWindow::onHotKeyClicked);
    connect(m_ui->选择框1, &QCheckBox::clicked, this, &SettingsWindow::onAutostartClicked);
    connect(m_ui->按钮1, &QPushButton::clicked, this, &SettingsWindow::onShutdownTimeSaved);
}
SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::storeOption(const char* field, bool on) {
    TableDatabase& db = m_program.db();
    db.select(schema::kSettingsAlias);
    db.goFirst();
    db.write(field, on);
}

void SettingsWindow::onHotKeyClicked(bool on) {
    storeOption(schema::kHideAfterStart, on);
    if (!on) m_hooks.releaseHotKey();
    showMessage({kInfoCaption, on ? "注册热键成功！" : "注销热键成功！"}, QMessageBox::NoIcon);
    m_hooks.applySettings();
}

void SettingsWindow::onAutostartClicked(bool on) {
    if (on) {
        const bool written = writeAutostart(m_hooks.autostartFolder, m_hooks.programPath);
        showMessage({kInfoCaption, written ? "已设置开机启动" : "设置注册表失败，请检查注册表是否损坏！"},
                    QMessageBox::NoIcon);
    } else if (deleteAutostart(m_hooks.autostartFolder)) {
        showMessage({kInfoCaption, "已设置开机不启动！"}, QMessageBox::NoIcon);
    }
}

void SettingsWindow::onShutdownTimeSaved() {
    // Stored as the clock will compare it: a time like 7:30:00 would never match and the PC
    // would silently stay on.
    const auto time = normaliseTime({m_ui->编辑框1->text().toStdString(), m_ui->编辑框2->text().toStdString(),
                                     m_ui->编辑框3->text().toStdString()});
    if (!time) {
        showMessage({kInfoCaption, "关机时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！"},
                    QMessageBox::NoIcon);
        return;
    }
    TableDatabase& db = m_program.db();
    db.select(schema::kSettingsAlias);
    db.goFirst();
    db.write(schema::kShutdownTime, *time);
    db.goFirst();
    if (auto stored = db.readText(schema::kShutdownTime); stored.isOk())
        m_program.ring().shutdownPlan().time = stored.value();
}

}  // namespace tolvane
