// SPDX-License-Identifier: GPL-3.0-or-later
// GB18030 conversion through code page 54936 (GB18030, GBK's superset); where the system lacks it
// (Wine 8), code page 936 (GBK), which keeps every GBK text the same.

#include <windows.h>

#include <string>
#include <string_view>

namespace tolvane {

namespace {

UINT gbCodePage() {
    static const UINT page = IsValidCodePage(54936) ? 54936 : 936;
    return page;
}

std::wstring toWide(UINT codePage, std::string_view in, DWORD flags) {
    if (in.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage, flags, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, in.data(), static_cast<int>(in.size()), wide.data(), n);
    return wide;
}

std::string fromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}
}  // namespace

std::string platformUtf8ToGb18030(std::string_view utf8) {
    return fromWide(gbCodePage(), toWide(CP_UTF8, utf8, 0));
}

// Converts the longest prefix that decodes cleanly; *consumed tells how far it got.
std::string platformGb18030ToUtf8(std::string_view gb, size_t* consumed) {
    size_t good = gb.size();
    while (good > 0 && toWide(gbCodePage(), gb.substr(0, good), MB_ERR_INVALID_CHARS).empty())
        --good;
    *consumed = good;
    return fromWide(CP_UTF8, toWide(gbCodePage(), gb.substr(0, good), MB_ERR_INVALID_CHARS));
}

}  // namespace tolvane
