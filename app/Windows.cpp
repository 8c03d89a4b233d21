#include "Windows.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "ShellRules.h"
#include "SpinArrows.h"
#include "ui_AddBellWindow.h"
#include "ui_ChangeBellWindow.h"
#include "ui_SettingsWindow.h"

namespace tolvane {

namespace {
constexpr int kMaxHours = 23;
constexpr int kMaxMinutes = 59;

// The fixed single border of the secondary windows: a title bar with only the close button.
void makeFixedWindow(QDialog* window) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
}

template <typename Ui>
void bindTimeGroup(Ui& ui) {
    bindTimeSpinner(ui.编辑框1, ui.调节器1, kMaxHours);
    bindTimeSpinner(ui.编辑框2, ui.调节器2, kMaxMinutes);
    bindTimeSpinner(ui.编辑框3, ui.调节器3, kMaxMinutes);
    bindTimeSpinner(ui.编辑框8, ui.调节器6, kMaxHours);
    bindTimeSpinner(ui.编辑框7, ui.调节器5, kMaxMinutes);
    bindTimeSpinner(ui.编辑框6, ui.调节器4, kMaxMinutes);
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

AddBellWindow::AddBellWindow(QWidget* parent) : QDialog(parent), m_ui(new Ui::AddBellWindow) {
    m_ui->setupUi(this);
    makeFixedWindow(this);
    bindTimeGroup(*m_ui);
}
AddBellWindow::~AddBellWindow() = default;

ChangeBellWindow::ChangeBellWindow(QWidget* parent) : QDialog(parent), m_ui(new Ui::ChangeBellWindow) {
    m_ui->setupUi(this);
    makeFixedWindow(this);
    bindTimeGroup(*m_ui);
}
ChangeBellWindow::~ChangeBellWindow() = default;

SettingsWindow::SettingsWindow(QWidget* parent) : QDialog(parent), m_ui(new Ui::SettingsWindow) {
    m_ui->setupUi(this);
    makeFixedWindow(this);
    bindTimeSpinner(m_ui->编辑框1, m_ui->调节器1, kMaxHours);
    bindTimeSpinner(m_ui->编辑框2, m_ui->调节器2, kMaxMinutes);
    bindTimeSpinner(m_ui->编辑框3, m_ui->调节器3, kMaxMinutes);
}
SettingsWindow::~SettingsWindow() = default;

}  // namespace tolvane
