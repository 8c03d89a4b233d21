// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

#include "platform/TerminationSignals.h"

namespace tolvane {

namespace {

int g_signalSocket[2] = {-1, -1};
volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

void onSignal(int signal) {
    const char byte = static_cast<char>(signal);
    // Only async-signal-safe calls here: the event loop reads the byte and ends the run.
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[1], &byte, 1);
}

}  // namespace

int watchTerminationSignals() {
    if (g_signalSocket[0] >= 0) return g_signalSocket[0];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0) return -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return g_signalSocket[0];
}

int takeTerminationSignal() {
    char signal = 0;
    if (g_signalSocket[0] < 0 || ::read(g_signalSocket[0], &signal, 1) != 1) return 0;
    return signal;
}

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    ::sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT}) ::sigaction(signal, &action, nullptr);
}

bool interrupted() {
    return g_interrupted != 0;
}

const char* terminationSignalName(int signal) {
    switch (signal) {
        case SIGTERM:
            return "SIGTERM";
        case SIGINT:
            return "SIGINT";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "signal";
    }
}

bool watchConsoleControl(std::function<void(const char*)>) {
    return false;
}

}  // namespace tolvane
