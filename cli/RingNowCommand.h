// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane::cli {

// tolvanectl ring-now DIR MUSIC [--repeat] and tolvanectl stop DIR: asked of the ringer that runs
// on DIR (the program or tolvanectl ring), which plays or silences at once and logs who asked.
// 0 once the ringer took the request, 1 when none runs, the music cannot play or the ringer did
// not take it, 2 for bad arguments.
int ringNowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int stopCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
