#include "platform/StartupMemory.h"

namespace tolvane {

// Left to the system: Windows trims the working sets of programs that rest.
std::size_t releaseStartupMemory() {
    return 0;
}

}  // namespace tolvane
