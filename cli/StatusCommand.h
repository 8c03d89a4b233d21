// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"

namespace tolvane::cli {

// Where a folder's ringing stands, as an administrator asks about it from a terminal: whether a
// ringer runs on it and its plan, the next bell, the clock, the sound output, the last bell heard,
// and the problems that keep bells from being heard at the true second.
struct RingerProcess {
    std::string pid;                  // of the process that rings the folder; empty when none does
    std::optional<bool> planRunning;  // as it says; unknown without a ringer
};

// The plan as the ring log's lines since the last start say, for a ringer that publishes no state
// (an older copy of the program): paused after "计划暂停" until "计划恢复运行"; running otherwise.
bool planRunsByLog(const std::vector<std::string>& lines);

// Why the running ringer could not serve its web page (another program holds the port, say),
// which only it can know: "网页没有开启：…" when its log's last word on the page since the last
// start says so; empty otherwise.
std::string webRefusalByLog(const std::vector<std::string>& lines);

// The last "铃声响起" line of the log; empty when none.
std::string lastHeardLine(const std::vector<std::string>& lines);

// The next bell after now by the schedule and the school calendar in dir, within two weeks:
// "YYYY-MM-DD HH:MM:SS MUSIC"; empty when none.
std::string nextBell(const std::string& dir, const Clock& clock);

// The next bell, and today's 作息表 with why it rules (empty for a school with only one).
struct Schedule {
    std::string next;
    std::string timetable, why;
};
Schedule scheduleOf(const std::string& dir, const Clock& clock);

// tolvanectl status DIR [--json].
int statusCommand(const std::string& dir, bool json, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
