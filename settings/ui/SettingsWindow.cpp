// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/SettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <cstdlib>

#include "platform/Autostart.h"
#include "platform/HotKey.h"
#include "platform/SoundOutput.h"
#include "platform/TrayHost.h"
#include "schedule/core/BellEditing.h"
#include "settings/core/Password.h"
#include "settings/core/ProgramOptions.h"
#include "settings/core/Settings.h"
#include "ui_SettingsWindow.h"

namespace tolvane {

namespace {
// 对时 moves the clock this far without asking: the school's bell and this computer's rarely
// differ by more, and a press at the wrong moment usually does.
constexpr int kMatchWithoutAskingS = 60;
}  // namespace

SettingsControls settingsControls(Ui::SettingsWindow& ui) {
    return {ui.选择框1,     ui.选择框2,      ui.选择框3,      ui.选择框4,
            ui.选择框7,     ui.选择框5,      ui.选择框6,      {ui.编辑框1, ui.编辑框2, ui.编辑框3},
            ui.按钮1,       ui.偏移框,       ui.对时按钮,     ui.输出框,
            ui.音量框,      ui.试听按钮,     ui.设置密码按钮, ui.清除密码按钮,
            ui.网页端口框,  ui.网页开关按钮, ui.网页标签,     ui.指纹标签,
            ui.语音框,      ui.语速框,       ui.语音试听按钮, ui.监控指标框,
            ui.监控指标按钮};
}

SettingsWindow::SettingsWindow(TableDatabase& db, SettingsHooks hooks, QWidget* parent)
    : QDialog(parent), m_db(db), m_hooks(std::move(hooks)), m_ui(new Ui::SettingsWindow) {
    m_ui->setupUi(this);
    m_controls = settingsControls(*m_ui);
    makeFixedWindow(this);
    const std::array<SpinArrows*, 3> arrows = {m_ui->调节器1, m_ui->调节器2, m_ui->调节器3};
    const int max[3] = {kMaxHours, kMaxMinutes, kMaxMinutes};
    for (size_t i = 0; i < 3; ++i) bindTimeSpinner(m_controls.shutdownTime[i], arrows[i], max[i]);
    nameTimeBoxes(m_controls.shutdownTime, tr("关机时间"));
    loadStoredSettings();

    connect(m_controls.randomPlay, &QCheckBox::clicked, this,
            [this](bool on) { storeOption(schema::kRandomPlay, on); });
    connect(m_controls.autoUpdate, &QCheckBox::clicked, this,
            [this](bool on) { storeOption(schema::kAutoUpdate, on); });
    connect(m_controls.autoCorrectTime, &QCheckBox::clicked, this, [this](bool on) {
        // Takes effect at once: the clock is checked now, or no longer said to be wrong.
        if (storeOption(schema::kAutoCorrectTime, on)) m_hooks.applySettings();
    });
    connect(m_controls.autoShutdown, &QCheckBox::clicked, this, [this](bool on) {
        // Takes effect at once: cleared at noon, the machine stays on that evening.
        if (storeOption(schema::kAutoShutdown, on)) m_hooks.shutdownPlanStored();
    });
    connect(m_controls.showDate, &QCheckBox::clicked, this, [this](bool on) {
        if (storeOption(schema::kShowDate, on)) m_hooks.applySettings();
    });
    connect(m_controls.hotKey, &QCheckBox::clicked, this, &SettingsWindow::onHotKeyClicked);
    connect(m_controls.autostart, &QCheckBox::clicked, this, &SettingsWindow::onAutostartClicked);
    connect(m_controls.saveTime, &QPushButton::clicked, this, &SettingsWindow::onShutdownTimeSaved);

    if (!trayHostPresent())
        m_controls.hotKey->setToolTip(
            tr("这个桌面没有托盘：“最小化”把窗口放到任务栏。要托盘图标，GNOME 可安装并启用 "
               "AppIndicator 扩展（gnome-shell-extension-appindicator），之后再“最小化”即可。"));
    loadOptions();
    connect(m_controls.clockOffset, &QSpinBox::valueChanged, this,
            [this](int seconds) { storeProgramOption("clock_offset", std::to_string(seconds)); });
    connect(m_controls.volume, &QSpinBox::valueChanged, this,
            [this](int percent) { storeProgramOption("volume", std::to_string(percent)); });
    connect(m_controls.output, &QComboBox::activated, this, [this](int index) {
        storeProgramOption("output", m_controls.output->itemData(index).toString().toStdString());
    });
    connect(m_controls.matchClock, &QPushButton::clicked, this, &SettingsWindow::onMatchClock);
    connect(m_controls.metricsDir, &QLineEdit::editingFinished, this, [this] {
        if (m_controls.metricsDir->isModified()) storeMetricsDir(m_controls.metricsDir->text());
    });
    connect(m_controls.chooseMetricsDir, &QPushButton::clicked, this, [this] {
        const QString folder =
            chooseFolder(tr("写监控指标的文件夹"), m_controls.metricsDir->text());
        if (!folder.isEmpty()) storeMetricsDir(folder);
    });
    showPasswordState();
    showWebPage();
    m_webWatch = m_hooks.watchWebPage([this] { showWebPage(); });
    connect(m_controls.webSwitch, &QPushButton::clicked, this, &SettingsWindow::onWebSwitchClicked);
    connect(m_controls.setPassword, &QPushButton::clicked, this, &SettingsWindow::onSetPassword);
    connect(m_controls.clearPassword, &QPushButton::clicked, this,
            &SettingsWindow::onClearPassword);
    connect(m_controls.tryBell, &QPushButton::clicked, this, [this] {
        if (const std::string why = m_hooks.tryNextBell(); !why.empty())
            showMessage({infoCaption(), why}, QMessageBox::NoIcon);
    });
    loadSpeechVoice();
    connect(m_controls.voice, &QComboBox::activated, this, [this] { storeSpeechVoice(); });
    connect(m_controls.speechRate, &QSpinBox::valueChanged, this, [this] { storeSpeechVoice(); });
    connect(m_controls.trySpeech, &QPushButton::clicked, this, [this] {
        m_controls.trySpeech->setEnabled(false);  // until the sentence is made
        m_hooks.trySpeech([window = QPointer<SettingsWindow>(this)](const std::string& why) {
            if (!window) return;
            window->m_controls.trySpeech->setEnabled(true);
            if (!why.empty()) window->showMessage({infoCaption(), why}, QMessageBox::NoIcon);
        });
    });
}

void SettingsWindow::loadSpeechVoice() {
    const QSignalBlocker voiceQuiet(m_controls.voice), rateQuiet(m_controls.speechRate);
    const auto voices = m_hooks.voices();
    for (const auto& [name, shown] : voices)
        m_controls.voice->addItem(QString::fromStdString(shown), QString::fromStdString(name));
    if (voices.empty()) {
        m_controls.voice->addItem(tr("这台电脑上没有中文语音"), QString());
        m_controls.voice->setEnabled(false);
        m_controls.trySpeech->setEnabled(false);
    }
    if (!selectSettingsRecord(m_db).isOk()) return;
    auto settings = readSettings(m_db);
    if (!settings.isOk()) return;
    const int stored = m_controls.voice->findData(QString::fromStdString(settings.value().voice));
    // A voice another computer chose, which this one lacks, stays stored until one is picked.
    if (!settings.value().voice.empty() && stored < 0)
        m_controls.voice->addItem(
            tr("%1（这台电脑上没有）").arg(QString::fromStdString(settings.value().voice)),
            QString::fromStdString(settings.value().voice));
    m_controls.voice->setCurrentIndex(
        std::max(0, m_controls.voice->findData(QString::fromStdString(settings.value().voice))));
    m_controls.speechRate->setValue(settings.value().speechRate);
}

void SettingsWindow::storeSpeechVoice() {
    // The first voice listed is the machine's default: stored as empty, so that a computer with
    // another default voice uses its own.
    const int index = m_controls.voice->currentIndex();
    const std::string voice =
        index <= 0 ? std::string() : m_controls.voice->currentData().toString().toStdString();
    if (Status s = writeSpeechVoice(m_db, voice, m_controls.speechRate->value()); !s.isOk())
        return reportFailure(s);
    m_hooks.applySettings();
}

bool SettingsWindow::passwordIsSet() {
    const auto hash = readPasswordHash(m_db);
    return hash.isOk() && !hash.value().empty();
}

void SettingsWindow::showPasswordState() {
    const bool set = passwordIsSet();
    m_controls.setPassword->setText(set ? tr("修改密码") : tr("设置密码"));
    m_controls.clearPassword->setEnabled(set);
    m_controls.setPassword->setEnabled(passwordsSupported());
}

void SettingsWindow::showWebPage() {
    const SettingsHooks::WebPageShown page = m_hooks.webPage();
    const auto options = readProgramOptions(*FileSystem::platform(), m_hooks.dataFolder);
    const int port = options.isOk() ? options.value().webPort : 0;
    if (port != 0) {
        const QSignalBlocker quiet(m_controls.webPort);
        m_controls.webPort->setValue(port);
    }
    // The port is chosen before the page is turned on; turned off, it can be chosen again.
    m_controls.webPort->setEnabled(port == 0);
    m_controls.webSwitch->setText(port == 0 ? tr("开启") : tr("关闭"));
    QStringList addresses;
    for (const std::string& a : page.addresses) addresses << QString::fromStdString(a);
    const QString said = !page.problem.empty()  ? QString::fromStdString(page.problem)
                         : !addresses.isEmpty() ? addresses.join(QLatin1Char('\n'))
                         : port != 0            ? tr("正在开启……")
                                                : tr("未开启");
    QLabel* line = m_controls.webPage;
    line->setText(said);
    line->setToolTip(port == 0 ? tr("按“开启”，办公室就能用浏览器查看和修改铃声（用软件密码登录）")
                               : said);
    // 32 bytes in two rows, as the office reads them against the browser's.
    QString fingerprint = QString::fromStdString(page.fingerprint);
    if (fingerprint.size() > 48) fingerprint.insert(48, QLatin1Char('\n'));
    m_controls.fingerprint->setText(
        fingerprint.isEmpty() ? QString() : tr("证书指纹（SHA-256）：\n") + fingerprint);
}

void SettingsWindow::onWebSwitchClicked() {
    const auto options = readProgramOptions(*FileSystem::platform(), m_hooks.dataFolder);
    if (options.isOk() && options.value().webPort != 0) {
        storeProgramOption("web_port", "0");
        return showWebPage();
    }
    // The office signs in with the password: the page is not served without one.
    if (!passwordIsSet()) {
        showMessage({infoCaption(), tr("网页要用软件密码登录：请先设置一个密码。").toStdString()},
                    QMessageBox::NoIcon);
        onSetPassword();
        if (!passwordIsSet()) return;
    }
    storeProgramOption("web_port", std::to_string(m_controls.webPort->value()));
    showWebPage();
}

bool SettingsWindow::oldPasswordGiven() {
    PasswordGate& gate = m_hooks.passwordGate ? *m_hooks.passwordGate : m_ownGate;
    return gate.givenAgain(tr("请输入原来的密码："), tr("原来的密码不对，密码没有改变。"),
                           askSecret, showMessage);
}

void SettingsWindow::onSetPassword() {
    if (!oldPasswordGiven()) return;
    const std::optional<QString> first = askSecret(tr("请输入新密码："));
    if (!first || first->isEmpty()) return;
    const std::optional<QString> again = askSecret(tr("请再输入一次新密码："));
    if (!again) return;
    if (*again != *first) {
        showMessage({infoCaption(), tr("两次输入的密码不一样，密码没有改变。").toStdString()},
                    QMessageBox::Warning);
        return;
    }
    if (Status s = setPassword(m_db, first->toStdString()); !s.isOk()) return reportFailure(s);
    showMessage(
        {infoCaption(),
         tr("密码已设置：修改铃声、设置、校历，暂停、停止和退出都要先输入密码。").toStdString()},
        QMessageBox::NoIcon);
    m_hooks.passwordChanged();
    showPasswordState();
    showWebPage();
}

void SettingsWindow::onClearPassword() {
    if (!oldPasswordGiven()) return;
    if (Status s = clearPassword(m_db); !s.isOk()) return reportFailure(s);
    showMessage({infoCaption(), tr("密码已清除。").toStdString()}, QMessageBox::NoIcon);
    m_hooks.passwordChanged();
    showPasswordState();
    showWebPage();
}

void SettingsWindow::loadOptions() {
    auto options = readProgramOptions(*FileSystem::platform(), m_hooks.dataFolder);
    const ProgramOptions shown = options.isOk() ? options.value() : ProgramOptions{};
    const QSignalBlocker offsetQuiet(m_controls.clockOffset), volumeQuiet(m_controls.volume),
        outputQuiet(m_controls.output), metricsQuiet(m_controls.metricsDir);
    m_controls.metricsDir->setText(QString::fromStdString(shown.metricsDir));
    m_controls.clockOffset->setValue(shown.clockOffsetSeconds);
    m_controls.volume->setValue(shown.volumePercent);
    m_controls.output->clear();
    m_controls.output->addItem(tr("系统默认的输出"), QString());
    for (const OutputName& o : listOutputs())
        m_controls.output->addItem(
            QString::fromStdString(o.description.empty() ? o.name : o.description),
            QString::fromStdString(o.name));
    const QString chosen = QString::fromStdString(shown.output);
    if (m_controls.output->findData(chosen) < 0)  // chosen, but not there now
        m_controls.output->addItem(tr("%1（不存在）").arg(chosen), chosen);
    m_controls.output->setCurrentIndex(m_controls.output->findData(chosen));
}

void SettingsWindow::storeMetricsDir(const QString& folder) {
    const QString trimmed = folder.trimmed();
    m_controls.metricsDir->setText(trimmed);
    m_controls.metricsDir->setModified(false);
    storeProgramOption("metrics_dir", QDir::toNativeSeparators(trimmed).toStdString());
}

bool SettingsWindow::storeProgramOption(const std::string& name, const std::string& value) {
    const Status s = writeProgramOption(*FileSystem::platform(), m_hooks.dataFolder, name, value);
    if (!s.isOk()) {
        reportFailure(s);
        loadOptions();
        return false;
    }
    m_hooks.applyOptions();
    return true;
}

void SettingsWindow::onMatchClock() {
    const std::optional<ClockMatch> match = m_hooks.offsetToNearestBell();
    if (!match) {
        showMessage(
            {infoCaption(),
             tr("附近没有铃声：请在学校原来的铃响起时按“对时”（前后 5 分钟之内）。").toStdString()},
            QMessageBox::NoIcon);
        return;
    }
    // A press at the wrong moment would move every bell: a large move is asked first, naming
    // the bell it would align to.
    const int move = match->offset - m_controls.clockOffset->value();
    if (std::abs(move) > kMatchWithoutAskingS &&
        !confirm(tr("对时会把学校的时钟调 %1 秒，让 %2 的铃声在此刻响起。确定要对时吗？")
                     .arg(move > 0 ? QStringLiteral("+%1").arg(move) : QString::number(move))
                     .arg(QString::fromStdString(match->bellStart))))
        return;
    if (storeProgramOption("clock_offset", std::to_string(match->offset))) {
        const QSignalBlocker quiet(m_controls.clockOffset);
        m_controls.clockOffset->setValue(match->offset);
    }
}
SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::loadStoredSettings() {
    m_controls.autostart->setChecked(autostartExists(m_hooks.autostartFolder));
    if (!selectSettingsRecord(m_db).isOk()) return;  // the boxes keep their description's values
    auto settings = readSettings(m_db);
    if (!settings.isOk()) return;
    m_controls.randomPlay->setChecked(settings.value().randomPlay);
    m_controls.autoUpdate->setChecked(settings.value().autoUpdate);
    m_controls.autoCorrectTime->setChecked(settings.value().autoCorrectTime);
    m_controls.showDate->setChecked(settings.value().showDate);
    m_controls.hotKey->setChecked(settings.value().hideAfterStart);
    m_controls.autoShutdown->setChecked(settings.value().autoShutdown);
    // Fewer than three pieces (the empty text of a new record): the boxes keep 21, 30, 00.
    const QStringList pieces = QString::fromStdString(settings.value().shutdownTime).split(':');
    if (pieces.size() >= 3)
        for (int i = 0; i < 3; ++i)
            m_controls.shutdownTime[static_cast<size_t>(i)]->setText(pieces[i]);
}

void SettingsWindow::reportFailure(const Status& status) {
    showMessage(
        {infoCaption(),
         tr("设置未能保存：%1").arg(QString::fromStdString(status.message())).toStdString()},
        QMessageBox::Warning);
}

bool SettingsWindow::storeOption(const char* field, bool on) {
    Status s = selectSettingsRecord(m_db);
    if (s.isOk()) s = m_db.write(field, on);
    if (!s.isOk()) reportFailure(s);
    return s.isOk();
}

void SettingsWindow::onHotKeyClicked(bool on) {
    // Registered first, so that success is said only when Shift+T really works.
    if (on && !m_hooks.registerHotKey()) {
        m_controls.hotKey->setChecked(false);
        const QString why =
            HotKey::onWaylandSession()
                ? tr("Shift+T 热键注册失败：这个桌面没有提供全局热键。可以在桌面的键盘设置里添加"
                     "自定义快捷键 Shift+T，命令为 tolvane --toggle。")
                : tr("Shift+T 热键注册失败：另一个程序已经占用了它，或者桌面不允许注册全局热键。");
        showMessage({infoCaption(), why.toStdString()}, QMessageBox::Warning);
        return;
    }
    if (!storeOption(schema::kHideAfterStart, on)) {
        if (on) m_hooks.releaseHotKey();
        m_controls.hotKey->setChecked(!on);
        return;
    }
    if (!on) m_hooks.releaseHotKey();
    QString said = on ? tr("注册热键成功！") : tr("注销热键成功！");
    // A desktop may bind another key than the one asked for.
    if (const QString trigger = on ? m_hooks.hotKeyTrigger() : QString();
        !trigger.isEmpty() && trigger.compare(QLatin1String("Shift+T"), Qt::CaseInsensitive) != 0)
        said += QLatin1Char('\n') + tr("桌面把它绑定为 %1。").arg(trigger);
    showMessage({infoCaption(), said.toStdString()}, QMessageBox::NoIcon);
    m_hooks.applySettings();
}

void SettingsWindow::onAutostartClicked(bool on) {
    if (on) {
        const bool written = writeAutostart(m_hooks.autostartFolder, m_hooks.programPath);
        showMessage({infoCaption(),
                     (written ? tr("已设置开机启动") : tr("设置注册表失败，请检查注册表是否损坏！"))
                         .toStdString()},
                    QMessageBox::NoIcon);
    } else if (deleteAutostart(m_hooks.autostartFolder)) {
        showMessage({infoCaption(), tr("已设置开机不启动！").toStdString()}, QMessageBox::NoIcon);
    }
}

void SettingsWindow::onShutdownTimeSaved() {
    // Stored as the clock will compare it: a time like 7:30:00 would never match and the PC
    // would silently stay on.
    const auto time = normaliseTime({m_controls.shutdownTime[0]->text().toStdString(),
                                     m_controls.shutdownTime[1]->text().toStdString(),
                                     m_controls.shutdownTime[2]->text().toStdString()});
    if (!time) {
        showMessage({infoCaption(),
                     tr("关机时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！")
                         .toStdString()},
                    QMessageBox::NoIcon);
        return;
    }
    Status s = selectSettingsRecord(m_db);
    if (s.isOk()) s = m_db.write(schema::kShutdownTime, *time);
    if (!s.isOk()) return reportFailure(s);
    m_hooks.shutdownPlanStored();
}

}  // namespace tolvane
