// SPDX-License-Identifier: GPL-3.0-or-later
// Starting with Windows: the string value "Tolvane" under HKEY_LOCAL_MACHINE\<key>, every key
// handle closed before returning. Written through the wide registry functions: the ANSI ones
// convert with the system's code page, so a Chinese program folder would be garbled on a machine
// set to code page 1252, and Windows reads the value the same whatever code page wrote it.

#include <windows.h>

#include "base/PathText.h"
#include "platform/Autostart.h"

namespace tolvane {

namespace {
constexpr wchar_t kValueName[] = L"Tolvane";

std::wstring wide(const std::string& utf8) {
    return pathFromUtf8(utf8).wstring();
}
}  // namespace

std::string userAutostartFolder() {
    return kSystemAutostartFolder;
}

bool autostartExists(const std::string& key) {
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, KEY_READ, &run) != ERROR_SUCCESS)
        return false;
    const bool found =
        RegQueryValueExW(run, kValueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(run);
    return found;
}

bool writeAutostart(const std::string& key, const std::string& programPath) {
    HKEY run = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &run, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring path = wide(programPath);
    const bool set =
        RegSetValueExW(run, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(run);
    return set;
}

bool deleteAutostart(const std::string& key) {
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, KEY_WRITE, &run) != ERROR_SUCCESS)
        return false;
    bool deleted = RegDeleteValueW(run, kValueName) == ERROR_SUCCESS;
    if (!deleted) deleted = RegDeleteKeyW(run, kValueName) == ERROR_SUCCESS;
    RegCloseKey(run);
    return deleted;
}

std::string desktopExecArgument(const std::string& path) {
    return path;
}

}  // namespace tolvane
