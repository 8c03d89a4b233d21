// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop session the window is shown in, as far as it matters before the toolkit connects.

namespace tolvane {

// Whether there is a display to show a window on. Linux: an X11 or Wayland display named in the
// environment, or a toolkit platform chosen by hand (QT_QPA_PLATFORM). Windows: always.
bool hasDisplay();

// Prepares the toolkit's connection to the display; called before the application is made.
// Linux: X11 without shared memory unless QT_XCB_NO_MITSHM says otherwise — the window changes a
// clock face of 256 x 49 pixels once a second, which costs nothing over the X socket, while shared
// memory keeps a segment of the whole window and wakes the program again for each completion
// event. Windows: nothing.
void prepareDisplayConnection();

}  // namespace tolvane
