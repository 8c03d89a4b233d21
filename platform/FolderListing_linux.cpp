// SPDX-License-Identifier: GPL-3.0-or-later
// The folder listing behind listMp3Files, in name order. readdir returns a hash order on ext4
// ("02 …" before "01 …"), where the system the format comes from returns names sorted.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/FolderListing.h"

namespace tolvane {

namespace {

// "*.mp3" as the file search matches it: the name ends in ".mp3" in any letter case.
bool matchesMp3Pattern(const std::string& name) {
    static const char kExt[] = ".mp3";
    if (name.size() < 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - 4 + i])) != kExt[i])
            return false;
    return true;
}

// Letters compared without case, as the Windows file search orders them; then byte order, so
// that names differing only in case keep one order.
bool nameOrder(const std::string& a, const std::string& b) {
    const auto folded = [](unsigned char c) { return std::tolower(c); };
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return folded(static_cast<unsigned char>(x)) < folded(static_cast<unsigned char>(y));
        });
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [&](char x, char y) {
            return folded(static_cast<unsigned char>(x)) < folded(static_cast<unsigned char>(y));
        });
    return less || (!greater && a < b);
}

}  // namespace

std::vector<std::string> listMp3Files(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!matchesMp3Pattern(name)) continue;
        struct stat st;
        const std::string path = folder + "/" + name;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), nameOrder);
    return names;
}

std::vector<std::string> listVolumes() {
    std::vector<std::string> volumes{"/"};
    std::ifstream mounts("/proc/mounts");
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        // Mount points escape spaces as \040.
        for (size_t at; (at = point.find("\\040")) != std::string::npos;) point.replace(at, 4, " ");
        for (const char* root : {"/media/", "/run/media/", "/mnt/"})
            if (point.rfind(root, 0) == 0 &&
                std::find(volumes.begin(), volumes.end(), point) == volumes.end())
                volumes.push_back(point);
    }
    return volumes;
}

bool pathsIgnoreCase() {
    return false;
}

}  // namespace tolvane
