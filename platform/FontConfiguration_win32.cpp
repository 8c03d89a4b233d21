// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <filesystem>
#include <string>

#include "base/PathText.h"
#include "platform/FontConfiguration.h"

namespace tolvane {

// Windows keeps its fonts' list in the system, ready for every program.
void loadFontConfiguration() {}

bool defaultFontShowsChinese() {
    return false;
}

namespace {

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one face is enough
}

bool installed(const std::string& family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = std::filesystem::path(pathFromUtf8(family)).wstring();
    name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    HDC screen = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

// Microsoft YaHei since Vista; SimSun on every Chinese Windows before it; under Wine the host's
// Chinese fonts. Only the installed ones: a family that is not there was still taken for a spin
// box's edit under Wine, which then drew no text at all.
std::vector<std::string> chineseFontFamilies() {
    std::vector<std::string> families;
    for (const char* family :
         {"Microsoft YaHei", "SimSun", "NSimSun", "Noto Sans CJK SC", "WenQuanYi Zen Hei"})
        if (installed(family)) families.push_back(family);
    return families;
}

}  // namespace tolvane
