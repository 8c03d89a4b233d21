// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the main window looks before anything is in it: its pictures (the header, the digit strip,
// the picture buttons), the date's font, the names screen readers say for the controls that show
// a picture, and the order Tab goes through the controls.

#include <QPixmap>

namespace Ui {
class MainWindow;
}

namespace tolvane {

// Returns the background's one column, which the window tiles across itself as it paints.
QPixmap dressMainWindow(Ui::MainWindow& ui);

}  // namespace tolvane
