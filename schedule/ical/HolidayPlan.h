// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a published holiday plan (an iCalendar .ics file) into school-calendar entries, with
// libical: each event becomes its days without bells, or make-up workdays (调休) when its summary
// contains "班", ringing as makeUpDay (1..7, 周一 by default).

#include <string>
#include <vector>

#include "base/Status.h"
#include "schedule/core/Calendar.h"

namespace tolvane {

struct HolidayPlan {
    std::vector<CalendarEntry> entries;  // in date order, one per date
    std::vector<std::string> skipped;    // events that could not be read, by summary
};

Result<HolidayPlan> readHolidayPlan(const std::string& icsPath, int makeUpDay = 1);

}  // namespace tolvane
