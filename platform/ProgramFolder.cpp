// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramFolder.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/PathText.h"

namespace tolvane {

namespace {
// Whether a file can be made in folder: asked by making one, which is what matters.
bool canWriteIn(const std::string& folder) {
    const std::filesystem::path probe = pathFromUtf8(folder) / ".tolvane-write-test";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

}  // namespace

bool holdsTables(const std::string& folder) {
    std::error_code ec;
    for (const char* table : {"db.edb", "px.edb"})
        if (std::filesystem::exists(pathFromUtf8(folder) / table, ec)) return true;
    return false;
}

// The folder a package installs the programs in; a build tree's bin folder is never it.
bool isInstalledProgramFolder(const std::string& folder) {
#ifdef TOLVANE_INSTALLED_BINDIR
    std::error_code ec;
    return std::filesystem::equivalent(pathFromUtf8(folder), TOLVANE_INSTALLED_BINDIR, ec);
#else
    (void)folder;
    return false;
#endif
}

std::string chooseDataFolder(const std::string& programFolder, const std::string& dataHome) {
    if (!isInstalledProgramFolder(programFolder) &&
        (holdsTables(programFolder) || canWriteIn(programFolder)))
        return programFolder;
    const std::filesystem::path fallback = pathFromUtf8(dataHome) / "tolvane";
    std::error_code ec;
    std::filesystem::create_directories(fallback, ec);
    return utf8FromPath(fallback);
}

std::string shippedBellsFolder() {
    // Beside the program (a build, the Windows folder or a copy of it), else where the package
    // puts them: programs copied to a folder of their own still find the bells.
    std::vector<std::filesystem::path> places;
    const std::string program = programFolder();
    if (!program.empty()) places.push_back(pathFromUtf8(program) / "media");
#ifdef TOLVANE_INSTALLED_DATADIR
    places.push_back(std::filesystem::path(TOLVANE_INSTALLED_DATADIR) / "tolvane" / "media");
#endif
    std::error_code ec;
    for (const std::filesystem::path& folder : places)
        if (std::filesystem::is_directory(folder, ec)) return utf8FromPath(folder);
    return {};
}

std::string defaultDataFolder() {
    return chooseDataFolder(programFolder(), userDataHome());
}

}  // namespace tolvane
