// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which 作息表 (timetable) rings on a day. A school keeps several: the default one, 常规作息
// (db.edb, which older copies of the program ring every day), and others taking over by season
// (夏季作息 from 05-01 to 09-30), by week (odd and even weeks alternating) or for a day the school
// calendar names (an exam day). One rule decides, in this order:
//   1. a day of the school calendar that names a timetable (that still exists);
//   2. the timetable whose season holds the day's month-day (a season may wrap the new year,
//      10-01..04-30; seasons never overlap);
//   3. the week rotation: its timetables in turn, one week each, from the week of its start date
//      (weeks from Monday), on and after that date;
//   4. else the default.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/Status.h"

namespace tolvane {

inline constexpr char kDefaultTimetable[] = "常规作息";

// A yearly range of month-days, both ends in it; from > to wraps the new year.
struct Season {
    int from = 0;  // month * 100 + day: 501 is 05-01
    int to = 0;
    bool holds(const LocalTime& day) const;
    bool overlaps(const Season& other) const;
    bool operator==(const Season&) const = default;
};
// "05-01" (or "5-1", "5/1") as month * 100 + day; refused naming what is wrong (no such month,
// a day the month does not have). Any day of a leap year may be named (02-29 too).
Result<int> parseMonthDay(const std::string& text);
// "05-01" and "09-30" as a season.
Result<Season> parseSeason(const std::string& from, const std::string& to);
// A season typed in one piece: "05-01 至 09-30", "5-1 到 9-30", "05-01 to 09-30".
Result<Season> parseSeasonText(const std::string& text);
// "05-01 至 09-30", as the ring log writes it.
std::string seasonText(const Season& season);
// The same in the reader's language ("05-01 to 09-30").
std::string seasonShownText(const Season& season);

struct TimetablePlan {
    struct Timetable {
        std::string name;
        std::optional<Season> season;
    };
    std::vector<Timetable> timetables;  // the default among them
    // The rotation: these timetables in turn, a week each, from the week of start ("YYYY-MM-DD").
    std::vector<std::string> rotation;
    std::string rotationStart;
    // Days of the school calendar that name a timetable: date ("YYYY-MM-DD") -> its name.
    std::map<std::string, std::string> days;

    bool has(const std::string& name) const;
};

struct DaysTimetable {
    std::string name;
    enum class Why { kCalendarDay, kSeason, kRotation, kDefault } why = Why::kDefault;
    // The timetable a calendar day names when it is gone (the day then follows the rest of the
    // rule, and this is said).
    std::string missing;
    bool operator==(const DaysTimetable&) const = default;
};
DaysTimetable timetableOn(const TimetablePlan& plan, const LocalTime& day);

// Why name's season may not be season: it overlaps another timetable's. Empty when it may.
std::string seasonOverlap(const TimetablePlan& plan, const std::string& name, const Season& season);

inline constexpr char kTimetableLinePrefix[] = "今天的作息表：";
// The ring log's line for the day: "今天的作息表：夏季作息（05-01 至 09-30）", in the log's
// Chinese; with ringDay (1..7) the weekday whose bells it rings: "考试（校历指定，按周一）".
std::string timetableLogLine(const TimetablePlan& plan, const DaysTimetable& today,
                             int ringDay = 0);

}  // namespace tolvane
