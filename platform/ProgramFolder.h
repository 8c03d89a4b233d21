// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program's tables live: the folder of its executable (ProgramFolder_linux.cpp reads
// /proc/self/exe, ProgramFolder_win32.cpp GetModuleFileNameW), or the per-user data folder when
// that cannot be written.

#include <string>

namespace tolvane {

// The folder of the running program's executable, as UTF-8 in the platform's own form (with
// backslashes on Windows); empty when the system does not say.
std::string programFolder();

// The program folder when it holds a table (db.edb or px.edb: an administrator put the schedule
// there, even if this user may not change it) or can be written; otherwise the per-user data
// folder (dataHome/tolvane), so that no change is lost. Creates the latter when needed.
// An installed program's folder (/usr/bin) is never used: its tables go to the user's data folder,
// also for root, who could write there.
std::string chooseDataFolder(const std::string& programFolder, const std::string& dataHome);

// The per-user data folder's parent, as UTF-8: %APPDATA% on Windows, otherwise $XDG_DATA_HOME or
// ~/.local/share.
std::string userDataHome();

// The bells the program ships (上课, 下课, 预备, 广播体操): "media" beside the executable (a build,
// the Windows folder, a copy of the programs), else the package's share/tolvane/media; empty when
// there are none.
std::string shippedBellsFolder();

// The folder the program keeps its tables in: chooseDataFolder for this executable and user.
std::string defaultDataFolder();

}  // namespace tolvane
