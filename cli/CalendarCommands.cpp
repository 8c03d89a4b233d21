// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CalendarCommands.h"

#include <map>
#include <ostream>

#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"
#ifdef TOLVANE_HAVE_ICAL
#include "schedule/ical/HolidayPlan.h"
#endif

namespace tolvane::cli {

namespace {

constexpr char kHolidayUsage[] = "holiday DIR FROM [TO] [--note TEXT]";
constexpr char kWorkdayUsage[] =
    "workday DIR DATE [--as DAY] [--timetable NAME] [--note TEXT]  (--as, --timetable or both)";

int usageError(std::ostream& err, const char* usage) {
    err << "usage: tolvanectl " << usage << "\n";
    return 2;
}

int failed(std::ostream& err, const Status& s) {
    err << "tolvanectl: " << s.message() << "\n";
    return 1;
}

// 1..7 for 周一..周日 or mon..sun; 0 when unknown.
int ringDayNamed(const std::string& name) {
    static const char* const kChinese[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    static const char* const kShort[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    for (int d = 0; d < 7; ++d)
        if (name == kChinese[d] || name == kShort[d]) return d + 1;
    return 0;
}

// Positional words and "--name value" pairs after the folder.
struct Words {
    std::vector<std::string> positional;
    std::string note, as, timetable;
    bool ok = true;
};
Words splitWords(const std::vector<std::string>& args) {
    Words w;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--note" || args[i] == "--as" || args[i] == "--from" || args[i] == "--to" ||
            args[i] == "--timetable") {
            if (i + 1 >= args.size()) {
                w.ok = false;
                break;
            }
            const std::string& value = args[++i];
            if (args[i - 1] == "--note") w.note = value;
            if (args[i - 1] == "--as") w.as = value;
            if (args[i - 1] == "--timetable") w.timetable = value;
            if (args[i - 1] == "--from") w.positional.insert(w.positional.begin(), "from=" + value);
            if (args[i - 1] == "--to") w.positional.push_back("to=" + value);
        } else if (args[i].rfind("--", 0) == 0) {
            w.ok = false;
        } else {
            w.positional.push_back(args[i]);
        }
    }
    return w;
}

bool openForChange(TableDatabase& db, const std::string& dir, std::ostream& err) {
    const OpenedTables opened = openOrCreateTables(db, dir);
    if (opened.calendar != TableOrigin::kUnavailable && opened.calendar != TableOrigin::kReadOnly)
        return true;
    for (const std::string& e : opened.errors) err << "tolvanectl: " << e << "\n";
    if (opened.calendar == TableOrigin::kReadOnly)
        err << "tolvanectl: " << dir << ": the school calendar may not be written by this user\n";
    return false;
}

}  // namespace

int calendarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, "calendar DIR [--from YYYY-MM-DD] [--to YYYY-MM-DD]");
    const Words w = splitWords(args);
    std::string from, to;
    for (const std::string& p : w.positional) {
        if (p.rfind("from=", 0) == 0)
            from = p.substr(5);
        else if (p.rfind("to=", 0) == 0)
            to = p.substr(3);
        else
            return usageError(err, "calendar DIR [--from YYYY-MM-DD] [--to YYYY-MM-DD]");
    }
    if (!w.ok || (!from.empty() && !parseDate(from)) || (!to.empty() && !parseDate(to)))
        return usageError(err, "calendar DIR [--from YYYY-MM-DD] [--to YYYY-MM-DD]");
    TableDatabase db;
    if (Status s = openTablesForReading(db, args[0]); !s.isOk()) return failed(err, s);
    std::map<std::string, CalendarEntry> entries;  // by date
    for (CalendarEntry& e : readCalendar(db, from, to)) entries[e.date] = std::move(e);
    const std::map<std::string, std::string> timetables = calendarTimetables(db, from, to);
    for (const auto& [date, timetable] : timetables)
        if (!entries.count(date)) entries[date] = {date, -1, ""};
    for (const auto& [date, e] : entries) {
        const auto named = timetables.find(date);
        out << date << " "
            << (named != timetables.end() ? timetableDayText(named->second, e.ringDay)
                                          : ringDayText(e.ringDay))
            << (e.note.empty() ? "" : " " + e.note) << "\n";
    }
    return 0;
}

int holidayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    const Words w = splitWords(args);
    if (args.empty() || !w.ok || !w.as.empty() || w.positional.empty() || w.positional.size() > 2)
        return usageError(err, kHolidayUsage);
    TableDatabase db;
    if (!openForChange(db, args[0], err)) return 1;
    const std::string to = w.positional.size() == 2 ? w.positional[1] : "";
    if (Status s = setCalendarDays(db, w.positional[0], to, kNoBells, w.note); !s.isOk())
        return failed(err, s);
    return 0;
}

int workdayCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    const Words w = splitWords(args);
    if (args.empty() || !w.ok || w.positional.size() != 1 || (w.as.empty() && w.timetable.empty()))
        return usageError(err, kWorkdayUsage);
    // A day given a timetable rings that timetable's 周一 unless told another weekday.
    const int day = w.as.empty() ? (w.timetable.empty() ? 0 : 1) : ringDayNamed(w.as);
    if (!w.as.empty() && day == 0) {
        err << "tolvanectl: unknown weekday: " << w.as << " (周一..周日 or mon..sun)\n";
        return 1;
    }
    TableDatabase db;
    if (!openForChange(db, args[0], err)) return 1;
    const Status s = w.timetable.empty() ? setCalendarDays(db, w.positional[0], "", day, w.note)
                                         : setCalendarTimetableDays(db, w.positional[0], "",
                                                                    w.timetable, day, w.note);
    return s.isOk() ? 0 : failed(err, s);
}

int normalCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)out;
    const Words w = splitWords(args);
    if (args.empty() || !w.ok || w.positional.empty() || w.positional.size() > 2 ||
        !w.note.empty() || !w.as.empty())
        return usageError(err, "normal DIR FROM [TO]");
    TableDatabase db;
    if (!openForChange(db, args[0], err)) return 1;
    const std::string to = w.positional.size() == 2 ? w.positional[1] : "";
    const size_t named =
        calendarTimetables(db, w.positional[0], to.empty() ? w.positional[0] : to).size();
    if (Status s = setCalendarTimetable(db, w.positional[0], to, ""); !s.isOk())
        return failed(err, s);
    auto removed = clearCalendarDays(db, w.positional[0], to);
    if (!removed.isOk()) return failed(err, removed.status());
    if (removed.value() == 0 && named == 0) {
        err << "tolvanectl: no calendar entries in that range\n";
        return 1;
    }
    return 0;
}

int calendarImportCommand(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    const Words w = splitWords(args);
    if (args.empty() || !w.ok || w.positional.size() != 1 || !w.note.empty())
        return usageError(err, "calendar-import DIR FILE.ics [--as DAY]");
#ifdef TOLVANE_HAVE_ICAL
    const int makeUp = w.as.empty() ? 1 : ringDayNamed(w.as);
    if (makeUp == 0) {
        err << "tolvanectl: unknown weekday: " << w.as << " (周一..周日 or mon..sun)\n";
        return 1;
    }
    auto plan = readHolidayPlan(w.positional[0], makeUp);
    if (!plan.isOk()) return failed(err, plan.status());
    for (const std::string& name : plan.value().skipped)
        err << "tolvanectl: skipped an event that could not be read: " << name << "\n";
    if (plan.value().entries.empty()) {
        err << "tolvanectl: " << w.positional[0] << ": no days to set\n";
        return 1;
    }
    TableDatabase db;
    if (!openForChange(db, args[0], err)) return 1;
    if (Status s = setCalendarEntries(db, plan.value().entries); !s.isOk()) return failed(err, s);
    out << "set " << plan.value().entries.size() << " days\n";
    return 0;
#else
    (void)out;
    err << "tolvanectl: this build cannot read iCalendar files\n";
    return 1;
#endif
}

}  // namespace tolvane::cli
