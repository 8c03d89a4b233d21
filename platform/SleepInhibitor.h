#pragma once

// Keeping the machine awake while bells are due: an idle desktop that suspends silences every
// bell. One back-end per system: a systemd-logind inhibitor on Linux, SetThreadExecutionState on
// Windows. Automatic power-off is not affected (logind lets an inhibitor's owner power off).

#include <string>

namespace tolvane {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Takes the inhibitor when not held; the answer in words for the ring log ("" when nothing
    // changed). Where the system has no such service, nothing fails: the answer says so.
    virtual std::string hold() = 0;
    // Lets the machine sleep again; "" when nothing was held.
    virtual std::string release() = 0;
};

#ifndef _WIN32
// logind's Inhibit("sleep:idle", "Tolvane", why, "block") on the system bus; the descriptor it
// returns is kept open while held and closed to release.
class LogindSleepInhibitor final : public SleepInhibitor {
public:
    LogindSleepInhibitor();
    ~LogindSleepInhibitor() override;
    std::string hold() override;
    std::string release() override;

private:
    int m_fd = -1;
};
using SystemSleepInhibitor = LogindSleepInhibitor;
#else
// SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) from the thread that holds it.
class Win32SleepInhibitor final : public SleepInhibitor {
public:
    ~Win32SleepInhibitor() override;
    std::string hold() override;
    std::string release() override;

private:
    bool m_held = false;
};
using SystemSleepInhibitor = Win32SleepInhibitor;
#endif

}  // namespace tolvane
