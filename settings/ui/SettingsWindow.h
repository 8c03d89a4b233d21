// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Settings window: each option is stored the moment its box is clicked; the power-off time
// when "修改" is pressed. Built from SettingsWindow.ui; opens modal, centred on the screen.

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Listeners.h"
#include "base/Status.h"
#include "schedule/core/Calendar.h"
#include "settings/ui/PasswordGate.h"
#include "ui/SecondaryWindow.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QLineEdit;
class QPushButton;

namespace Ui {
class SettingsWindow;
}

namespace tolvane {

class TableDatabase;

// What the Settings window asks of the main window and the system.
struct SettingsHooks {
    std::function<void()> applySettings;
    // The power-off flag or time was stored: they take effect at once.
    std::function<void()> shutdownPlanStored;
    std::function<void()> releaseHotKey;
    // Registers Shift+T now; false when another program holds it or the desktop does not allow it.
    std::function<bool()> registerHotKey;
    std::string autostartFolder;
    std::string programPath;
    // The folder of tolvane.conf: the clock offset, the output and the bell volume.
    std::string dataFolder;
    // An option of tolvane.conf was written: the ringer takes it in now.
    std::function<void()> applyOptions = [] {};
    // 对时: the offset that puts today's nearest bell at this moment, and that bell; nullopt when
    // none is near.
    std::function<std::optional<ClockMatch>()> offsetToNearestBell = [] { return std::nullopt; };
    // 试听: plays the next bell's music briefly as a bell would sound; what to say when it cannot.
    std::function<std::string()> tryNextBell = [] { return std::string(); };
    // The Chinese voices of this computer: name and what a person picks it by, the default first.
    std::function<std::vector<std::pair<std::string, std::string>>()> voices = [] {
        return std::vector<std::pair<std::string, std::string>>{};
    };
    // Says a sentence with the voice and rate stored, once it is made; done hears what to say
    // when it cannot (empty when it can).
    std::function<void(std::function<void(const std::string& why)> done)> trySpeech =
        [](std::function<void(const std::string&)> done) { done({}); };
    // 软件密码 was set, changed or cleared: whoever had it open must give it again.
    std::function<void()> passwordChanged = [] {};
    // What the desktop bound the key to, where it says (a Wayland desktop); else empty.
    std::function<QString()> hotKeyTrigger = [] { return QString(); };
    // The web page as the ringer serves it now: its address and certificate fingerprint, or why
    // it is not served; all empty when it is off.
    struct WebPageShown {
        std::vector<std::string> addresses;  // by IP address first: an office PC may not know
                                             // the computer's name
        std::string fingerprint;
        std::string problem;
    };
    std::function<WebPageShown()> webPage = [] { return WebPageShown{}; };
    // Calls changed whenever the page may have changed (turned on or off here or elsewhere, its
    // certificate, a problem), while the Subscription lives.
    std::function<Subscription(std::function<void()> changed)> watchWebPage =
        [](std::function<void()>) { return Subscription(); };
    // The main window's gate: the old password's tries count against its guess limit. None: the
    // window's own.
    PasswordGate* passwordGate = nullptr;
};

// The controls of the Settings window by role; the description names them 选择框1.. and 编辑框1...
struct SettingsControls {
    QCheckBox* autostart = nullptr;
    QCheckBox* randomPlay = nullptr;
    QCheckBox* autoShutdown = nullptr;
    QCheckBox* autoUpdate = nullptr;
    // 自动校正时间: whether the clock's synchronisation is checked (the 选择框7 the program adds).
    QCheckBox* autoCorrectTime = nullptr;
    QCheckBox* showDate = nullptr;
    QCheckBox* hotKey = nullptr;
    std::array<QLineEdit*, 3> shutdownTime{};  // hours, minutes, seconds
    QPushButton* saveTime = nullptr;
    QSpinBox* clockOffset = nullptr;
    QPushButton* matchClock = nullptr;  // 对时
    QComboBox* output = nullptr;
    QSpinBox* volume = nullptr;
    QPushButton* tryBell = nullptr;      // 试听
    QPushButton* setPassword = nullptr;  // 设置密码 / 修改密码
    QPushButton* clearPassword = nullptr;
    QSpinBox* webPort = nullptr;
    QPushButton* webSwitch = nullptr;  // 开启 / 关闭
    QLabel* webPage = nullptr;
    QLabel* fingerprint = nullptr;
    QComboBox* voice = nullptr;  // the voice bells speak with (语音播报提醒)
    QSpinBox* speechRate = nullptr;
    QPushButton* trySpeech = nullptr;
    QLineEdit* metricsDir = nullptr;  // where tolvane.prom goes; empty: nowhere
    QPushButton* chooseMetricsDir = nullptr;
};
SettingsControls settingsControls(Ui::SettingsWindow& ui);

class SettingsWindow final : public QDialog {
    Q_OBJECT
public:
    // db holds the settings table and must outlive the window.
    SettingsWindow(TableDatabase& db, SettingsHooks hooks, QWidget* parent = nullptr);
    ~SettingsWindow() override;
    Ui::SettingsWindow& ui() { return *m_ui; }
    MessagePresenter showMessage = messageBoxPresenter();
    // A yes-or-no question; true for yes.
    std::function<bool(const QString&)> confirm = [this](const QString& question) {
        return QMessageBox::question(this, tr("信息："), question) == QMessageBox::Yes;
    };
    SecretAsker askSecret = passwordDialogAsker(this);
    // Asks for a folder with the system's dialog; empty when none was chosen.
    std::function<QString(const QString& caption, const QString& start)> chooseFolder =
        [this](const QString& caption, const QString& start) {
            return QFileDialog::getExistingDirectory(this, caption, start);
        };

private:
    void loadStoredSettings();
    void showPasswordState();
    void showWebPage();
    void loadSpeechVoice();
    void storeSpeechVoice();
    void storeMetricsDir(const QString& folder);
    bool passwordIsSet();
    void onWebSwitchClicked();
    // The password as it is now, when one is set; false (having said why) when not given right.
    bool oldPasswordGiven();
    void onSetPassword();
    void onClearPassword();
    // Stores one option of the settings record; false (having said why) when it could not.
    bool storeOption(const char* field, bool on);
    void reportFailure(const Status& status);
    void onAutostartClicked(bool on);
    void onHotKeyClicked(bool on);
    void onShutdownTimeSaved();
    void loadOptions();
    // Writes one option of tolvane.conf; false (having said why, the controls as the file has
    // them) when it could not.
    bool storeProgramOption(const std::string& name, const std::string& value);
    void onMatchClock();

    TableDatabase& m_db;
    SettingsHooks m_hooks;
    PasswordGate m_ownGate{m_db};
    const std::unique_ptr<Ui::SettingsWindow> m_ui;
    SettingsControls m_controls;
    Subscription m_webWatch;
};

}  // namespace tolvane
