#pragma once

// The file search behind a folder bell: which MP3 files a folder holds, in the order the system's
// file search returns them. FolderListing_linux.cpp reads the directory; FolderListing_win32.cpp
// uses FindFirstFileA/FindNextFileA as the program always has.

#include <string>
#include <vector>

namespace tolvane {

// Names of the regular files in folder matching "*.mp3" (extension in any letter case), in the
// order the platform lists them; sub-folders never. Empty when the folder cannot be listed.
std::vector<std::string> listMp3Files(const std::string& folder);

}  // namespace tolvane
