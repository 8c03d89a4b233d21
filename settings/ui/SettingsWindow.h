#pragma once

// The Settings window: each option is stored the moment its box is clicked; the power-off time
// when "修改" is pressed. Built from SettingsWindow.ui; opens modal, centred on the screen.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "base/Status.h"
#include "ui/SecondaryWindow.h"

class QCheckBox;
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

private:
    void loadStoredSettings();
    // Stores one option of the settings record; false (having said why) when it could not.
    bool storeOption(const char* field, bool on);
    void reportFailure(const Status& status);
    void onAutostartClicked(bool on);
    void onHotKeyClicked(bool on);
    void onShutdownTimeSaved();

    TableDatabase& m_db;
    SettingsHooks m_hooks;
    const std::unique_ptr<Ui::SettingsWindow> m_ui;
    SettingsControls m_controls;
};

}  // namespace tolvane
