// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

namespace tolvane::cli {

// A dry run of the schedule in dir, one tick per second from `from` to `to` (both
// "YYYY-MM-DD HH:MM:SS", inclusive), printing each power-off, start and stop the tick makes.
int planCommand(const std::string& dir, const std::string& from, const std::string& to,
                std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
