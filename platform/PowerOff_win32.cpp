// SPDX-License-Identifier: GPL-3.0-or-later
// Power-off on Windows: enable the shutdown privilege, then ExitWindowsEx(EWX_POWEROFF |
// EWX_FORCE). Qt-free so that it builds with mingw-w64. Silent on failure.

#include <windows.h>

#include "platform/PowerOff.h"

namespace tolvane {

void Win32PowerOff::requestPowerOff() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        onAnswer("OpenProcessToken failed: system error " + std::to_string(GetLastError()));
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool found =
        LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    SetLastError(0);
    if (found) AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = found ? GetLastError() : ERROR_NO_SUCH_PRIVILEGE;
    CloseHandle(token);
    // ERROR_NOT_ALL_ASSIGNED and the like: the system would refuse, so do not ask.
    if (error != 0) {
        onAnswer("no shutdown privilege: system error " + std::to_string(error));
        return;
    }
    const bool accepted = exitWindows ? exitWindows(EWX_POWEROFF | EWX_FORCE, 0)
                                      : ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0) != 0;
    onAnswer(accepted ? "ExitWindowsEx accepted"
                      : "ExitWindowsEx failed: system error " + std::to_string(GetLastError()));
}

}  // namespace tolvane
