// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every secondary window shares: the fixed single border, opening modal and centred on the
// screen, the message box, and the Time spinner rule bound to an edit box.

#include <QDialog>
#include <QMessageBox>
#include <array>
#include <functional>
#include <optional>

#include "base/UiText.h"

class QLineEdit;

namespace tolvane {

class SpinArrows;

// The fixed single border of the secondary windows: a title bar with only the close button, and
// the size of the window's description.
void makeFixedWindow(QDialog* window);

// The one Time spinner rule for all fifteen spinners: an arrow press rewrites the edit box; max
// is 23 for hours and 59 for minutes and seconds.
void bindTimeSpinner(QLineEdit* edit, SpinArrows* arrows, int max);
// Names a time's hour, minute and second boxes for screen readers: "开始时间：时" ...
void nameTimeBoxes(const std::array<QLineEdit*, 3>& boxes, const QString& time);
// Typing runs on from box to box as on a digital watch: "0750" typed into the hour lands as
// 07 and 50, and a ':' typed after one digit moves on too.
void chainTimeBoxes(const std::array<QLineEdit*, 3>& boxes);
inline constexpr int kMaxHours = 23;
inline constexpr int kMaxMinutes = 59;

// Opens a window modal and centred on the screen; returns when it is closed.
int openModalCentred(QDialog& window);

// Shows a message: one OK button, no owner, modal for the program. Tests put a recorder here.
using MessagePresenter = std::function<void(const FlowMessage&, QMessageBox::Icon)>;
MessagePresenter messageBoxPresenter();

// Asks for a password (typed without showing it); nullopt when the person cancelled.
using SecretAsker = std::function<std::optional<QString>(const QString& prompt)>;
SecretAsker passwordDialogAsker(QWidget* parent);

}  // namespace tolvane
