#include "platform/ClockSync.h"

namespace tolvane {

// The time service's state is not read yet: nothing is said of the clock on Windows.
ClockSync readClockSync() {
    return {};
}

}  // namespace tolvane
