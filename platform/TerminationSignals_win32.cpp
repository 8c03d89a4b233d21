#include "platform/TerminationSignals.h"

namespace tolvane {

int watchTerminationSignals() {
    return -1;
}

int takeTerminationSignal() {
    return 0;
}

const char* terminationSignalName(int) {
    return "signal";
}

}  // namespace tolvane
