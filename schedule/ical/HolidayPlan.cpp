// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ical/HolidayPlan.h"

#include <libical/ical.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>

#include "base/PathText.h"
#include "platform/TextCodec.h"

namespace tolvane {

namespace {
constexpr size_t kNoteBytes = 60;
constexpr int64_t kDaySeconds = 86400;
// A published plan has holidays of days or weeks; more is not a holiday.
constexpr int64_t kMaxEventDays = 100;

// The calendar date of an iCalendar time: its own date for a DATE or a floating or zoned
// DATE-TIME (the day where the event is), this machine's local date for a UTC one.
LocalTime dayOf(icaltimetype t) {
    if (!t.is_date && icaltime_is_utc(t)) {
        const LocalTime local = SystemClock().toLocal(icaltime_as_timet(t));
        return civilFromEpochSeconds(
            civilToEpochSeconds(local.year, local.month, local.day, 0, 0, 0));
    }
    return civilFromEpochSeconds(civilToEpochSeconds(t.year, t.month, t.day, 0, 0, 0));
}

struct OwnedComponent {
    icalcomponent* c;
    ~OwnedComponent() {
        if (c) icalcomponent_free(c);
    }
};

}  // namespace

Result<HolidayPlan> readHolidayPlan(const std::string& icsPath, int makeUpDay) {
    if (makeUpDay < 1 || makeUpDay > 7) return Status::invalidArgument("make-up day must be 1..7");
    std::ifstream in(pathFromUtf8(icsPath), std::ios::binary);
    if (!in) return Status::notFound(icsPath + ": cannot read the file");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    OwnedComponent calendar{icalparser_parse_string(text.c_str())};
    if (!calendar.c) return Status::corruption(icsPath + ": not an iCalendar file");

    HolidayPlan plan;
    std::map<std::string, CalendarEntry> byDate;
    for (icalcomponent* event =
             icalcomponent_get_first_component(calendar.c, ICAL_VEVENT_COMPONENT);
         event; event = icalcomponent_get_next_component(calendar.c, ICAL_VEVENT_COMPONENT)) {
        const char* summaryText = icalcomponent_get_summary(event);
        const std::string summary = summaryText ? summaryText : "";
        const icaltimetype start = icalcomponent_get_dtstart(event);
        icaltimetype end = icalcomponent_get_dtend(event);
        if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start)) {
            plan.skipped.push_back(summary.empty() ? "(an event without a summary)" : summary);
            continue;
        }
        const int64_t first = civilToEpochSeconds(dayOf(start)) / kDaySeconds;
        int64_t last = first;
        if (!icaltime_is_null_time(end)) {
            last = civilToEpochSeconds(dayOf(end)) / kDaySeconds;
            // An all-day event ends the day before its DTEND; a timed one on its end's day.
            if (end.is_date || (end.hour == 0 && end.minute == 0 && end.second == 0)) --last;
            last = std::max(last, first);
        }
        if (last - first >= kMaxEventDays) {
            plan.skipped.push_back(summary);
            continue;
        }
        const bool makeUp = summary.find("班") != std::string::npos;
        for (int64_t d = first; d <= last; ++d) {
            const std::string date = dateText(civilFromEpochSeconds(d * kDaySeconds));
            byDate[date] = {date, makeUp ? makeUpDay : kNoBells,
                            cutToGbkBytes(summary, kNoteBytes)};
        }
    }
    for (auto& [date, entry] : byDate) plan.entries.push_back(std::move(entry));
    return plan;
}

}  // namespace tolvane
