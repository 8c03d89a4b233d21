// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ringing as a Windows service, so that bells ring from boot with nobody logged in (a school's PC
// restarted at night by Windows Update rings the next morning). The service is one process,
// `tolvanectl.exe service run DIR`, that Windows' service manager starts at boot and stops at
// shutdown; the desktop program, started later, finds the folder's one-ringer lock held by it.
// Windows only (WindowsService_win32.cpp); Linux has systemd units instead.

#include <functional>
#include <string>

#include "base/Status.h"

namespace tolvane {

// The service's name in the service manager (sc query Tolvane).
inline constexpr wchar_t kServiceName[] = L"Tolvane";

// Installs the service to start at boot as `"PROGRAM" service run "FOLDER"` under the local
// system account, restarted by Windows a minute after it fails, and starts it now; replaces the
// command line of one already installed. Needs an administrator.
struct ServiceInstall {
    Status installed;
    Status started;  // ok when it runs now; otherwise it rings from the next start of Windows
};
ServiceInstall installService(const std::string& program, const std::string& folder);

// Stops the service (waiting up to 30 s for it to end) and removes it. Removing one that is not
// installed succeeds.
Status removeService();

// Starts the installed service; starting one that runs succeeds. NotFound when none is installed.
Status startService();
// Stops it, waiting up to 30 s; stopping one that is stopped succeeds.
Status stopService();
// Whether it is installed and runs: "running", "stopped", "starting", "stopping"; NotFound when
// none is installed.
Result<std::string> serviceState();

// The service's side of the service manager's conversation. connect() is called first thing in
// the process; when the process was not started by the service manager it returns false and the
// caller says so. Otherwise the manager's stop and shutdown requests reach onStopAsked (on the
// manager's thread), and the process tells how far it is with running() and stopped().
class ServiceSession {
public:
    ServiceSession() = default;
    ~ServiceSession();
    ServiceSession(const ServiceSession&) = delete;
    ServiceSession& operator=(const ServiceSession&) = delete;

    // What asked the service to end, in words for the ring log.
    using StopAsked = std::function<void(const std::string& why)>;
    bool connect(StopAsked onStopAsked);
    void running();
    // Said last; the manager may end the process at once.
    void stopped(int exitCode);
};

}  // namespace tolvane
