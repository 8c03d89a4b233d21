// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the ring log back: tolvane.log beside the tables and its rotated predecessors
// (tolvane.1.log, the newest of them, up to tolvane.4.log), for tolvanectl log and the
// "运行日志" window. Each line starts with its local time, "[YYYY-MM-DD HH:MM:SS.mmm]".

#include <string>
#include <vector>

namespace tolvane {

inline constexpr char kRingLogFile[] = "tolvane.log";

// The lines of the log in folder, oldest first; only those of day ("YYYY-MM-DD") when it is not
// empty. Empty when there is no log.
std::vector<std::string> readRingLog(const std::string& folder, const std::string& day = "");

}  // namespace tolvane
