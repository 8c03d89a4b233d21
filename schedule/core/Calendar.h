// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The school calendar (xl.edb, alias "校历"): days without bells (holidays, vacations) and days
// that ring as another weekday (make-up workdays, 调休). A date without an entry rings as its own
// weekday. db.edb and px.edb are untouched, so older copies of the program go on working with the
// folder; they simply ignore the calendar.

#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "schedule/core/Schema.h"
#include "schedule/core/TimetableRule.h"
#include "storage/TableDatabase.h"

namespace tolvane {

namespace schema {
inline constexpr char kCalendarAlias[] = "校历";
inline constexpr char kCalendarFile[] = "xl.edb";
inline constexpr char kDate[] = "日期";
inline constexpr char kRingDay[] = "铃声日";
inline constexpr char kNote[] = "说明";
}  // namespace schema

std::vector<FieldDef> calendarTableFields();

// 铃声日: 0 for a day without bells, 1..7 for a day that rings as 周一..周日.
inline constexpr int kNoBells = 0;

struct CalendarEntry {
    std::string date;  // YYYY-MM-DD
    int ringDay = kNoBells;
    std::string note;
    bool operator==(const CalendarEntry&) const = default;
};

// 1..7 for 周一..周日 of a civil date (LocalTime::weekday counts 0 = Sunday).
int ringDayOfWeekday(int weekday);

// What a day rings as: startsBells false on a day without bells; weekday (0 = Sunday) picks the
// bells' day flags, the day's own weekday or the one it rings as.
struct RingDay {
    int weekday = 0;
    bool startsBells = true;
    bool fromCalendar = false;
    // The alias of the table the day's bells are read from: its 作息表's.
    std::string bells = schema::kBellAlias;
    DaysTimetable timetable;
    // The ring log's line naming the day's timetable; empty for a school with only one.
    std::string timetableLine;
};
// The day of date t by the calendar in db; t's own weekday when there is no calendar table or no
// entry.
RingDay ringDayOf(TableDatabase& db, const LocalTime& t);

// The ring day of the date being ticked, looked up once per date rather than once a second;
// forget() after the calendar changed.
class RingDayCache {
public:
    // changed: the lookup was made now (a new date, or after forget()).
    const RingDay& of(TableDatabase& db, const LocalTime& t, bool* changed = nullptr);
    void forget() { m_date.clear(); }

private:
    std::string m_date;
    RingDay m_day;
};

// The dates from..to (to empty: from alone), both existing and in order; refused naming the
// problem for a date that does not exist, to before from, or a range longer than a typing error's.
Result<std::vector<std::string>> datesFromTo(const std::string& from, const std::string& to);

// The entries from..to (inclusive, either may be empty for open), in date order.
std::vector<CalendarEntry> readCalendar(TableDatabase& db, const std::string& from = "",
                                        const std::string& to = "");

// Each date from..to becomes ringDay with note, replacing any entry it had. One write lock for
// the whole range. Fails naming the problem (a date that does not exist, to before from, a note
// too long, a ring day outside 0..7) before anything is written.
Status setCalendarDays(TableDatabase& db, const std::string& from, const std::string& to,
                       int ringDay, const std::string& note);
// The entries from..to go ("恢复正常"); how many there were.
Result<int> clearCalendarDays(TableDatabase& db, const std::string& from, const std::string& to);
// Why e cannot be stored (a date that does not exist, a ring day outside 0..7, a note too long
// or not GBK); ok when it can.
Status checkCalendarEntry(const CalendarEntry& e);
// Several days at once, as an import sets them.
Status setCalendarEntries(TableDatabase& db, const std::vector<CalendarEntry>& entries);

// "放假" or "按周一" .. "按周日".
std::string ringDayText(int ringDay);

// The first bell to ring after clock's second, by the weekdays and the school calendar, within
// two weeks; nullopt when there is none (or the bell table cannot be read).
struct NextBell {
    LocalTime day;
    BellRecord bell;
};
std::optional<NextBell> nextBellOf(TableDatabase& db, const Clock& clock);
// The second it starts on (the school's civil time), and how many whole seconds from now (on the
// same clock) until it does, 0 once it has: the one countdown the window, the page and the
// ringer say.
LocalTime nextBellStart(const NextBell& next);
int64_t secondsUntil(const NextBell& next, const LocalTime& now);

// How many bells of today's ring day are still to start after clock's second.
int bellsLeftToday(TableDatabase& db, const Clock& clock);

// The clock offset that puts today's nearest bell at now (a system time), and that bell's start:
// the caretaker presses 对时 as the school's old bell rings. nullopt when no bell of today's ring
// day is within the offset's reach.
struct ClockMatch {
    int offset = 0;
    std::string bellStart;
};
std::optional<ClockMatch> offsetToNearestBell(TableDatabase& db, const LocalTime& now);

}  // namespace tolvane
