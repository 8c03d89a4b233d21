// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane {
class TableDatabase;
}

namespace tolvane::cli {

// tolvanectl list/add/change/delete: args are the words after the command name. Each prints the
// caption and message the window would show as "CAPTION: MESSAGE", and returns 0 when the
// table was changed (list: when it was read), 1 otherwise, 2 for bad arguments.
int listCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int addCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int changeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int deleteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Opens the program's tables in dir as the program does at start (making what is missing); says
// why not on err.
bool openTables(TableDatabase& db, const std::string& dir, std::ostream& err);

// How add and change judge a music file before they warn that it will not play here (the
// decoder's verdict where tolvanectl has one); by default, whether the file is there.
void judgeMusicFilesWith(std::function<std::string(const std::string& file)> fileUnplayableBecause);
// Why music (a file or a folder) will not play on this computer, in the reader's words; empty
// when it will.
std::string musicUnplayableHere(const std::string& music);

}  // namespace tolvane::cli
