#pragma once

// What the main window needs and no choice of the program's changes, prepared on a thread of its
// own from the program's first moment, while the application connects to the display: the
// system's font configuration, then the window's pictures. Whatever is not ready when the window
// asks for it is waited for.

#include <thread>

namespace tolvane {

class EarlyStart {
public:
    EarlyStart();   // starts; the program's resources must be registered
    ~EarlyStart();  // waits until it is done
    EarlyStart(const EarlyStart&) = delete;
    EarlyStart& operator=(const EarlyStart&) = delete;

private:
    std::thread m_worker;
};

}  // namespace tolvane
