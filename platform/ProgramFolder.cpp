// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramFolder.h"

#include <filesystem>
#include <fstream>

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
    const std::string program = programFolder();
    if (program.empty()) return {};
    const std::filesystem::path folder =
        isInstalledProgramFolder(program)
            ? pathFromUtf8(program).parent_path() / "share" / "tolvane" / "media"
            : pathFromUtf8(program) / "media";
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? utf8FromPath(folder) : std::string();
}

std::string defaultDataFolder() {
    return chooseDataFolder(programFolder(), userDataHome());
}

}  // namespace tolvane
