// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The file search behind a folder bell: which MP3 files a folder holds, in the order they play
// (and the music chooser lists them). FolderListing_linux.cpp reads the directory and sorts by
// name; FolderListing_win32.cpp uses FindFirstFileA/FindNextFileA as the program always has.

#include <string>
#include <vector>

namespace tolvane {

// Names of the regular files in folder matching "*.mp3" (extension in any letter case), in name
// order on Linux (letters without case), the file search's order on Windows; sub-folders never.
// Empty when the folder cannot be listed.
std::vector<std::string> listMp3Files(const std::string& folder);

// The volumes the music chooser offers: "/" and the mounted volumes under /media, /run/media and
// /mnt (USB sticks) on Linux, each once, in mount order; the drives ("C:\") on Windows.
std::vector<std::string> listVolumes();

// Whether this system's paths ignore letter case: Windows' drive letters and names do, Linux's
// do not.
bool pathsIgnoreCase();

}  // namespace tolvane
