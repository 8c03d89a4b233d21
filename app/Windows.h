#pragma once

// The three secondary windows, built from their descriptions (app/ui/*.ui). Each opens modal,
// centred on the screen, and closes on Esc. Handlers read controls, call the core flows and show
// what they return.

#include <QDialog>
#include <QMessageBox>

#include <functional>
#include <memory>

#include "BellEditing.h"

class QCheckBox;
class QLineEdit;

namespace Ui {
class AddBellWindow;
class ChangeBellWindow;
class SettingsWindow;
}  // namespace Ui

namespace tolvane {

class MusicChooser;
class Program;
class SpinArrows;

// The one Time spinner rule for all fifteen spinners: an arrow press rewrites the edit box.
void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max);

// Opens a window modal and centred on the screen; returns when it is closed.
int openModalCentred(QDialog& window);

// Shows a message: one OK button, no owner, modal for the program. Tests put a recorder here.
using MessagePresenter = std::function<void(const FlowMessage&, QMessageBox::Icon)>;
MessagePresenter messageBoxPresenter();

// What both editing windows share: the time group, the music chooser, test play and the flow
// button; Ui is the window's generated description.
class BellWindow : public QDialog {
    Q_OBJECT
public:
    MessagePresenter showMessage = messageBoxPresenter();

protected:
    BellWindow(Program& program, std::function<void()> refreshList);
    template <typename Ui>
    void setUp(Ui& ui);
    BellForm readForm() const;
    void testPlay(const char* refusal);
    void finishFlow(const FlowResult& result);

    Program& m_program;
    std::function<void()> m_refreshList;
    MusicChooser* m_chooser = nullptr;
    std::array<QLineEdit*, 3> m_start{};
    std::array<QLineEdit*, 3> m_end{};
    std::array<SpinArrows*, 3> m_endArrows{};
    QCheckBox* m_endSwitch = nullptr;
    std::array<QCheckBox*, 7> m_days{};
    QLineEdit* m_path = nullptr;

    void enableEnd(bool on);
};

class AddBellWindow final : public BellWindow {
    Q_OBJECT
public:
    AddBellWindow(Program& program, std::function<void()> refreshList);
    ~AddBellWindow() override;
    Ui::AddBellWindow& ui() { return *m_ui; }
    void onAdd();

private:
    const std::unique_ptr<Ui::AddBellWindow> m_ui;
};

class ChangeBellWindow final : public BellWindow {
    Q_OBJECT
public:
    // row: the Schedule list's selected row, its ten cells.
    ChangeBellWindow(Program& program, const QStringList& row, std::function<void()> refreshList);
    ~ChangeBellWindow() override;
    Ui::ChangeBellWindow& ui() { return *m_ui; }
    void onChange();

private:
    const std::unique_ptr<Ui::ChangeBellWindow> m_ui;
};

// What the Settings window asks of the main window and the system.
struct SettingsHooks {
    std::function<void()> applySettings;
    std::function<void()> releaseHotKey;
    std::string autostartFolder;
    std::string programPath;
};

class SettingsWindow final : public QDialog {
    Q_OBJECT
public:
    SettingsWindow(Program& program, SettingsHooks hooks, QWidget* parent = nullptr);
    ~SettingsWindow() override;
    Ui::SettingsWindow& ui() { return *m_ui; }
    MessagePresenter showMessage = messageBoxPresenter();

private:
    void storeOption(const char* field, bool on);
    void onAutostartClicked(bool on);
    void onHotKeyClicked(bool on);
    void onShutdownTimeSaved();

    Program& m_program;
    SettingsHooks m_hooks;
    const std::unique_ptr<Ui::SettingsWindow> m_ui;
};

}  // namespace tolvane
