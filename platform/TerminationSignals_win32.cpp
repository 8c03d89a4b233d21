// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <atomic>
#include <functional>

#include "platform/TerminationSignals.h"

namespace tolvane {

namespace {
std::atomic<bool> g_interrupted{false};
BOOL WINAPI onConsoleControl(DWORD) {
    g_interrupted = true;
    return TRUE;
}

std::function<void(const char*)> g_heard;

BOOL WINAPI onConsoleEnd(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            g_heard("Ctrl+C");
            return TRUE;
        case CTRL_BREAK_EVENT:
            g_heard("Ctrl+Break");
            return TRUE;
        case CTRL_CLOSE_EVENT:
            g_heard("控制台关闭");
            // Returning ends the process at once; the process ends itself once it has shut down.
            Sleep(5000);
            return TRUE;
        default:
            return FALSE;
    }
}
}  // namespace

bool watchConsoleControl(std::function<void(const char* name)> heard) {
    g_heard = std::move(heard);
    return SetConsoleCtrlHandler(onConsoleEnd, TRUE) != 0;
}

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
