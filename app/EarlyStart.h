// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window needs and no choice of the program's changes, prepared on a thread of its
// own while the main thread goes on: from the program's first moment the system's font
// configuration (while the application connects to the display), then, once the application
// exists, the toolkit's list of installed fonts and the window's pictures (while the window is
// built). Whatever is not ready when the window asks for it is waited for: the font list is the
// toolkit's own, guarded for use from any thread.

#include <future>
#include <thread>

namespace tolvane {

class EarlyStart {
public:
    EarlyStart();  // starts with the font configuration
    // The application exists: the pictures may be decoded. Image readers are made to be used on
    // other threads once it does; while it is being made, they would race its set-up.
    void applicationMade();
    // Waits until it is done. Call it before the application goes when the program ends without
    // a window: the toolkit's font list is the application's, and reading it while the
    // application is destroyed ends the process (a second start ended so under load).
    void finish();
    ~EarlyStart();  // finish()
    EarlyStart(const EarlyStart&) = delete;
    EarlyStart& operator=(const EarlyStart&) = delete;

private:
    std::promise<bool> m_applicationMade;  // false: the program ends before it needs pictures
    bool m_told = false;
    std::thread m_worker;
};

}  // namespace tolvane
