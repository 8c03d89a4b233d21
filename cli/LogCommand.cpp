// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "bells/core/RingLogFiles.h"
#include "cli/RingCommand.h"

namespace tolvane::cli {

int logCommand(const std::string& dir, const std::string& day) {
    const std::vector<std::string> lines = readRingLog(dir, day);
    if (lines.empty()) {
        std::cerr << "tolvanectl: " << dir << ": no ring log" << (day.empty() ? "" : " for " + day)
                  << "\n";
        return 1;
    }
    for (const std::string& line : lines) std::cout << line << "\n";
    return 0;
}

}  // namespace tolvane::cli
