#include "ui/SecondaryWindow.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "ui/SpinArrows.h"
#include "ui/core/TimeSpinner.h"

namespace tolvane {

void makeFixedWindow(QDialog* window) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
}

void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max) {
    QObject::connect(arrows, &SpinArrows::spun, edit, [edit, max](int direction) {
        edit->setText(
            QString::fromStdString(spinTimeText(edit->text().toStdString(), max, direction)));
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
        QMessageBox box(icon, QString::fromStdString(m.caption), QString::fromStdString(m.text),
                        QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    };
}

}  // namespace tolvane
