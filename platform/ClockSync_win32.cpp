// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <string>
#include <vector>

#include "base/UiText.h"
#include "platform/ClockSync.h"

namespace tolvane {

namespace {

// What the Windows Time service is set to do: "NTP" or "AllSync" synchronise, "NoSync" does
// not; read from its parameters, which every user may read.
std::wstring timeServiceType() {
    wchar_t type[32] = {};
    DWORD size = sizeof type;
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SYSTEM\\CurrentControlSet\\Services\\W32Time\\Parameters", L"Type",
                     RRF_RT_REG_SZ, nullptr, type, &size) != ERROR_SUCCESS)
        return {};
    return type;
}

// Whether the Windows Time service is disabled (its configuration may be queried without
// privileges); false when it cannot be told.
bool timeServiceDisabled() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return false;
    SC_HANDLE service = OpenServiceW(manager, L"W32Time", SERVICE_QUERY_CONFIG);
    bool disabled = false;
    DWORD needed = 0;
    if (service && !QueryServiceConfigW(service, nullptr, 0, &needed) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        std::vector<char> buffer(needed);
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
        if (QueryServiceConfigW(service, config, needed, &needed))
            disabled = config->dwStartType == SERVICE_DISABLED;
    }
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return disabled;
}

}  // namespace

// The time service's own report of its last synchronisation (w32tm /query /status) needs an
// administrator; what any user can read is whether it runs and whether it is set to synchronise.
// A service started on demand (the default on a PC outside a domain) runs only around its weekly
// synchronisation, so a stopped one is no problem; a disabled one is.
ClockSync readClockSync() {
    const std::wstring type = timeServiceType();
    if (type.empty()) return {};
    if (type == L"NoSync")
        return {true, false, UI_TEXT_NOOP("ClockSync", "Windows 时间服务被设置为不同步时间")};
    if (timeServiceDisabled())
        return {true, false, UI_TEXT_NOOP("ClockSync", "Windows 时间服务已被禁用")};
    return {true, true, {}};
}

}  // namespace tolvane
