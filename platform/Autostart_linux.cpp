// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Autostart.h"

namespace tolvane {

namespace {
std::string entryPath(const std::string& folder) {
    return (std::filesystem::path(folder) / "Tolvane.desktop").string();
}
}  // namespace

std::string desktopExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // A desktop file's string values escape backslashes once more.
    std::string value;
    for (char c : quoted) value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return value;
}

std::string userAutostartFolder() {
    if (::geteuid() == 0) return kSystemAutostartFolder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/autostart";
}

bool autostartExists(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::exists(entryPath(folder), ec);
}

bool writeAutostart(const std::string& folder, const std::string& programPath) {
    const std::string path = entryPath(folder);
    const std::string scratch = path + ".tmp";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);  // a new user has no autostart folder yet
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tolvane\n"
               "Comment=Rings the bells on schedule\n"
               "Exec="
            << desktopExecArgument(programPath)
            << "\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n";
        out.flush();
        if (!out) {
            std::remove(scratch.c_str());
            return false;
        }
    }
    std::filesystem::rename(scratch, path, ec);
    if (ec) std::remove(scratch.c_str());
    return !ec;
}

bool deleteAutostart(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::remove(entryPath(folder), ec) && !ec;
}

}  // namespace tolvane
