// The folder listing behind listMp3Files: readdir order, as the file system returns it.

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <memory>

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
    return names;
}

}  // namespace tolvane
