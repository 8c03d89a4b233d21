// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// School days the timetable rules leave without a bell, found before they come: a season or the
// week rotation handing its days to a timetable that holds no bells, or a calendar day naming a
// timetable that has none on the weekday the day rings as. A holiday is meant to be silent and is
// never among them.

#include <string>
#include <vector>

#include "storage/TableDatabase.h"

namespace tolvane {

// One line per cause, in the reader's language; empty when every school day rings something.
// today: "YYYY-MM-DD"; calendar days before it are past and not said.
std::vector<std::string> silentDayProblems(TableDatabase& db, const std::string& today);

}  // namespace tolvane
