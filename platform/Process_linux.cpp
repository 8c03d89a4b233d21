// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Process.h"

namespace tolvane {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

bool processIsRunning(long pid) {
    if (pid <= 0) return false;
    // Signal 0 only asks: EPERM means it runs as another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool lowerThisThreadsPriority() {
    // On Linux a nice value belongs to the thread its id names.
    constexpr int kNice = 10;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNice) == 0;
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

}  // namespace tolvane
