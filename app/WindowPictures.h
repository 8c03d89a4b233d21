// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's own pictures, PNGs among the program's resources. Decoding them takes a few
// milliseconds of the start: readWindowPicturesAhead decodes them on another thread while the
// application connects to the display, and windowPicture takes what it decoded.

#include <QPixmap>
#include <QString>

namespace tolvane {

// Decodes every picture of the main window; from any thread, once the resources are registered.
void readWindowPicturesAhead();

// A picture by its name ("header", "close-hot"): the one read ahead if it was, else read now.
QPixmap windowPicture(const QString& name);

}  // namespace tolvane
