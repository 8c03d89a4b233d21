// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keeping the machine awake while bells are due: an idle desktop that suspends silences every
// bell. One back-end per system: a systemd-logind inhibitor on Linux, SetThreadExecutionState on
// Windows. Automatic power-off is not affected (logind lets an inhibitor's owner power off).

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tolvane {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // The answers in words, for the ring log: what changed, or why the system would not keep the
    // machine awake (where it has no such service, nothing fails). Called from any thread, and
    // possibly after hold() has returned.
    std::function<void(const std::string&)> onAnswer = [](const std::string&) {};
    // Takes the inhibitor when not held.
    virtual void hold() = 0;
    // Lets the machine sleep again, at once.
    virtual void release() = 0;
};

#ifndef _WIN32
// logind's Inhibit("sleep:idle", "Tolvane", why, "block") on the system bus; the descriptor it
// returns is kept open while held and closed to release. The question goes on a thread of its
// own: connecting to the bus and logind's answer (which may wait on polkit) take milliseconds to
// seconds, and the window's thread rings the bells meanwhile.
class LogindSleepInhibitor final : public SleepInhibitor {
public:
    LogindSleepInhibitor();
    ~LogindSleepInhibitor() override;
    void hold() override;
    void release() override;

private:
    void ask();

    std::mutex m_mutex;
    bool m_wanted = false;
    bool m_asking = false;
    int m_fd = -1;
    std::thread m_asker;
};
using SystemSleepInhibitor = LogindSleepInhibitor;
#else
// SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) from the thread that holds it.
class Win32SleepInhibitor final : public SleepInhibitor {
public:
    ~Win32SleepInhibitor() override;
    void hold() override;
    void release() override;

private:
    bool m_held = false;
};
using SystemSleepInhibitor = Win32SleepInhibitor;
#endif

}  // namespace tolvane
