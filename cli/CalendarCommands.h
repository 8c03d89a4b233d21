// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane::cli {

// The school calendar in DIR (xl.edb). Each editing command exits 0 when the calendar changed,
// 1 with a message naming the problem (nothing written then), 2 for a usage error.
int calendarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int holidayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int workdayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int normalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int calendarImportCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

}  // namespace tolvane::cli
