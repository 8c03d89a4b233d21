// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SecondaryWindow.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "language/Language.h"
#include "ui/SpinArrows.h"
#include "ui/core/TimeSpinner.h"

namespace tolvane {

namespace {
// A control whose translated text (longer than the Chinese) does not fit grows to the right where
// the room is free: inside its parent and over no other control. The Chinese windows keep their
// geometry exactly.
void growToFitText(QWidget* control) {
    const int wanted = control->sizeHint().width();
    if (wanted <= control->width() || !control->parentWidget()) return;
    const QRect grown(control->pos(), QSize(wanted, control->height()));
    if (!control->parentWidget()->rect().contains(grown)) return;
    for (const QObject* o : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(o);
        if (sibling && sibling != control && !sibling->isHidden() &&
            sibling->geometry().intersects(grown))
            return;
    }
    control->resize(grown.size());
}
}  // namespace

void makeFixedWindow(QDialog* window) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setFixedSize(window->size());
    if (!translationInUse()) return;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) growToFitText(button);
    for (QLabel* label : window->findChildren<QLabel*>()) growToFitText(label);
}

void nameTimeBoxes(const std::array<QLineEdit*, 3>& boxes, const QString& time) {
    const char* const pieces[] = {QT_TRANSLATE_NOOP("SecondaryWindow", "时"),
                                  QT_TRANSLATE_NOOP("SecondaryWindow", "分"),
                                  QT_TRANSLATE_NOOP("SecondaryWindow", "秒")};
    for (size_t i = 0; i < 3; ++i)
        boxes[i]->setAccessibleName(time + QStringLiteral("：") +
                                    QCoreApplication::translate("SecondaryWindow", pieces[i]));
}

void chainTimeBoxes(const std::array<QLineEdit*, 3>& boxes) {
    for (size_t i = 0; i + 1 < boxes.size(); ++i) {
        QLineEdit* box = boxes[i];
        QLineEdit* next = boxes[i + 1];
        QObject::connect(box, &QLineEdit::textEdited, box, [box, next](QString text) {
            const bool colon = text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A));
            if (colon) {
                text.chop(1);
                box->setText(text);
            }
            if (!colon && (text.size() < box->maxLength() || box->cursorPosition() < text.size()))
                return;
            next->setFocus();
            next->selectAll();
        });
    }
}

void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max) {
    QObject::connect(arrows, &SpinArrows::spun, edit, [edit, max](int direction) {
        edit->setText(
            QString::fromStdString(spinTimeText(edit->text().toStdString(), max, direction)));
    });
}

int openModalCentred(QDialog& window) {
    // A window sized by its layout knows its size only once polished and adjusted; centring the
    // size it has before (none yet) put it at the screen's corner.
    window.ensurePolished();
    if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.setModal(true);
    return window.exec();
}

SecretAsker passwordDialogAsker(QWidget* parent) {
    return [parent](const QString& prompt) -> std::optional<QString> {
        bool given = false;
        const QString text = QInputDialog::getText(parent, QString::fromStdString(infoCaption()),
                                                   prompt, QLineEdit::Password, QString(), &given);
        if (!given) return std::nullopt;
        return text;
    };
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
