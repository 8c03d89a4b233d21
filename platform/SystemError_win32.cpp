// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/SystemError.h"

namespace tolvane {

std::string systemErrorText(int code, const std::string& fallback) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || !text) return fallback;
    std::wstring wide(text, length);
    LocalFree(text);
    // The system ends its sentence with a full stop and a line break; the log line goes on.
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ' ||
                             wide.back() == L'.' || wide.back() == L'\x3002'))
        wide.pop_back();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return fallback;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    return utf8;
}

}  // namespace tolvane
