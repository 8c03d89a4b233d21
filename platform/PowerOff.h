// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Switching the machine off at the automatic power-off time. One interface for the clock tick;
// one back-end per system: systemd-logind on Linux, the shutdown privilege and ExitWindowsEx on
// Windows. The build compiles the one for its system (PowerOff_linux.cpp or PowerOff_win32.cpp).

#include <functional>
#include <string>

namespace tolvane {

class PowerOff {
public:
    virtual ~PowerOff() = default;
    // Asks the system to shut down and switch off, closing programs without asking. Returns at
    // once; a failure ends nothing.
    virtual void requestPowerOff() = 0;

    // Hears the system's answer, in words for the ring log, when it comes.
    std::function<void(const std::string& answer)> onAnswer = [](const std::string&) {};
};

// Linux: org.freedesktop.login1.Manager.PowerOff(false) on the system D-Bus, which needs no prompt.
// Sent without waiting: the answer (or the error, without a bus or permission) comes to onAnswer
// from the event loop.
class LogindPowerOff final : public PowerOff {
public:
    void requestPowerOff() override;
};

// Windows: enable SeShutdownPrivilege, then ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0). Qt-free,
// so that it is cross-built and run under Wine.
class Win32PowerOff final : public PowerOff {
public:
    void requestPowerOff() override;

    // The last step; tests put a recorder here so that the session survives the test.
    std::function<bool(unsigned flags, unsigned long reason)> exitWindows;
};

#ifdef _WIN32
using SystemPowerOff = Win32PowerOff;
#else
using SystemPowerOff = LogindPowerOff;
#endif

}  // namespace tolvane
