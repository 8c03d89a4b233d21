#pragma once

// The three secondary windows, built from their descriptions (app/ui/*.ui). Each opens modal,
// centred on the screen, and closes on Esc.

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class AddBellWindow;
class ChangeBellWindow;
class SettingsWindow;
}  // namespace Ui

namespace tolvane {

class SpinArrows;

// The one Time spinner rule for all fifteen spinners: an arrow press rewrites the edit box.
void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max);

// Opens a window modal and centred on the screen; returns when it is closed.
int openModalCentred(QDialog& window);

class AddBellWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AddBellWindow(QWidget* parent = nullptr);
    ~AddBellWindow() override;
    Ui::AddBellWindow& ui() { return *m_ui; }

private:
    const std::unique_ptr<Ui::AddBellWindow> m_ui;
};

class ChangeBellWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ChangeBellWindow(QWidget* parent = nullptr);
    ~ChangeBellWindow() override;
    Ui::ChangeBellWindow& ui() { return *m_ui; }

private:
    const std::unique_ptr<Ui::ChangeBellWindow> m_ui;
};

class SettingsWindow final : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget* parent = nullptr);
    ~SettingsWindow() override;
    Ui::SettingsWindow& ui() { return *m_ui; }

private:
    const std::unique_ptr<Ui::SettingsWindow> m_ui;
};

}  // namespace tolvane
