#include <windows.h>

#include <atomic>

#include "platform/TerminationSignals.h"

namespace tolvane {

namespace {
std::atomic<bool> g_interrupted{false};
BOOL WINAPI onConsoleControl(DWORD) {
    g_interrupted = true;
    return TRUE;
}
}  // namespace

void catchInterrupt() {
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

bool interrupted() {
    return g_interrupted;
}

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
