// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ProgramFolder.h"

namespace tolvane {

std::string programFolder() {
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : executable.parent_path().string();
}

std::string userDataHome() {
    const auto variable = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    if (std::string xdg = variable("XDG_DATA_HOME"); !xdg.empty()) return xdg;
    const std::string home = variable("HOME");
    return (home.empty() ? std::string("/tmp") : home) + "/.local/share";
}

}  // namespace tolvane
