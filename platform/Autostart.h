// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Starting the program with the system. On Linux a freedesktop autostart entry "Tolvane.desktop"
// in an autostart folder (the program uses the machine-wide /etc/xdg/autostart); on Windows the
// value "Tolvane" under HKEY_LOCAL_MACHINE and a key (the Run key). The folder or key is a
// parameter so that tests use their own.

#include <string>

namespace tolvane {

#ifdef _WIN32
inline constexpr char kSystemAutostartFolder[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
#else
inline constexpr char kSystemAutostartFolder[] = "/etc/xdg/autostart";
#endif

// Where this user's start-with-the-system entry goes: on Linux the machine-wide folder for root,
// and $XDG_CONFIG_HOME/autostart (~/.config/autostart) for every other user, who may not write
// the machine-wide one; on Windows the Run key.
std::string userAutostartFolder();

// True when the entry exists, whatever it holds.
bool autostartExists(const std::string& folder);
// Writes (or overwrites) the entry starting programPath; false when it cannot be written.
bool writeAutostart(const std::string& folder, const std::string& programPath);
// Removes the entry; false when there was none or it cannot be removed.
bool deleteAutostart(const std::string& folder);

// A program path as a Desktop Entry Exec argument: quoted, with the characters that desktop
// files reserve inside quotes escaped, then escaped again as a desktop file string.
std::string desktopExecArgument(const std::string& path);

}  // namespace tolvane
