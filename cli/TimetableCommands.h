// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane::cli {

// tolvanectl timetable DIR [list | add | rename | delete | season | rotate | generate | import |
// export …]: the school's 作息表. args are the words after "timetable". Exits 0 when done, 1 with
// a message naming the problem (nothing written then), 2 for a usage error.
int timetableCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
