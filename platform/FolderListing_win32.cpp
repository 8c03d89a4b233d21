// SPDX-License-Identifier: GPL-3.0-or-later
// The folder listing behind listMp3Files: FindFirstFileA/FindNextFileA on folder + "\*.mp3", in
// the order the file system returns; directories skipped.

#include <windows.h>

#include "platform/FolderListing.h"
#include "platform/TextCodec.h"

namespace tolvane {

std::vector<std::string> listMp3Files(const std::string& folder) {
    std::vector<std::string> names;
    // Paths are UTF-8 here and the system's ANSI code page on the A functions: GBK on the
    // target systems, so convert through it.
    auto pattern = utf8ToGbk(folder + "\\*.mp3");
    if (!pattern.isOk()) return names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.value().c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(gbkToUtf8(found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::string> listVolumes() {
    std::vector<std::string> volumes;
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter)
        if (drives & (1u << letter)) volumes.push_back(std::string(1, char('A' + letter)) + ":\\");
    return volumes;
}

bool pathsIgnoreCase() {
    return true;
}

}  // namespace tolvane
