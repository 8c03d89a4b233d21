// SPDX-License-Identifier: GPL-3.0-or-later
// The executable's path from GetModuleFileName. The wide call is used: the ANSI one turns every
// character outside the code page into '?', and a program folder read wrongly means tables that
// are not found, which looks to the user like a lost schedule.

#include <windows.h>

#include "base/PathText.h"
#include "platform/ProgramFolder.h"

namespace tolvane {

std::string programFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);  // cut off: a long path
    }
    return utf8FromPath(std::filesystem::path(buffer).parent_path());
}

std::string userDataHome() {
    // The wide call again: a user name outside the code page is common in %APPDATA%.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData && *appData) return utf8FromPath(std::filesystem::path(appData));
    return programFolder();
}

}  // namespace tolvane
