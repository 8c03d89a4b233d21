// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/Calendar.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "base/UiText.h"
#include "platform/TextCodec.h"
#include "schedule/core/Timetables.h"
#include "settings/core/ProgramOptions.h"

namespace tolvane {

using namespace schema;

namespace {
constexpr int kNoteWidth = 60;
// A range longer than this is a typing error, not a vacation.
constexpr int kMaxRangeDays = 400;
constexpr int64_t kDaySeconds = 86400;

int weekdayOfRingDay(int ringDay) {
    return ringDay % 7;  // 7 (周日) is weekday 0
}

// Finds the live record of date in the current (calendar) table; the pointer stays on it.
bool findDate(TableDatabase& db, const std::string& date) {
    db.goFirst();
    return db.find([&] {
        if (!db.currentIsLive()) return false;
        auto text = db.readText(kDate);
        return text.isOk() && text.value() == date;
    });
}

}  // namespace

Status checkCalendarEntry(const CalendarEntry& e) {
    if (!parseDate(e.date))
        return Status::invalidArgument(fillIn(uiText("Calendar", "没有这一天：%1"), {e.date}));
    if (e.ringDay < 0 || e.ringDay > 7)
        return Status::invalidArgument(
            uiText("Calendar", "铃声日只能是 0（放假）或 1..7（按周一..周日响铃）"));
    if (const std::string reason = unstorableTextReason(e.note); !reason.empty())
        return Status::invalidArgument(fillIn(uiText("Calendar", "备注不能保存：%1"), {reason}));
    auto gbk = utf8ToGbk(e.note);
    if (!gbk.isOk()) return gbk.status();
    if (gbk.value().size() > static_cast<size_t>(kNoteWidth))
        return Status::invalidArgument(
            fillIn(uiText("Calendar", "备注太长：最多 %1 字节"), {std::to_string(kNoteWidth)}));
    return Status::ok();
}

Result<std::vector<std::string>> datesFromTo(const std::string& from, const std::string& to) {
    const auto first = parseDate(from);
    if (!first)
        return Status::invalidArgument(fillIn(uiText("Calendar", "没有这一天：%1"), {from}));
    const auto last = parseDate(to.empty() ? from : to);
    if (!last) return Status::invalidArgument(fillIn(uiText("Calendar", "没有这一天：%1"), {to}));
    const int64_t a = dayNumber(*first), b = dayNumber(*last);
    if (b < a)
        return Status::invalidArgument(
            fillIn(uiText("Calendar", "结束日期 %1 在开始日期 %2 之前"), {to, from}));
    if (b - a >= kMaxRangeDays)
        return Status::invalidArgument(
            fillIn(uiText("Calendar", "一次最多设置 %1 天"), {std::to_string(kMaxRangeDays)}));
    std::vector<std::string> dates;
    for (int64_t d = a; d <= b; ++d)
        dates.push_back(dateText(civilFromEpochSeconds(d * kDaySeconds)));
    return dates;
}

namespace {

Status selectCalendar(TableDatabase& db) {
    if (!db.hasTable(kCalendarAlias))
        return Status::notFound("the school calendar (xl.edb) is not open");
    return db.select(kCalendarAlias);
}

}  // namespace

std::vector<FieldDef> calendarTableFields() {
    return {{kDate, kFieldText, 10}, {kRingDay, kFieldInteger, 0}, {kNote, kFieldText, kNoteWidth}};
}

int ringDayOfWeekday(int weekday) {
    return weekday == 0 ? 7 : weekday;
}

std::string ringDayText(int ringDay) {
    static const char* const kDays[] = {
        UI_TEXT_NOOP("Calendar", "按周一"), UI_TEXT_NOOP("Calendar", "按周二"),
        UI_TEXT_NOOP("Calendar", "按周三"), UI_TEXT_NOOP("Calendar", "按周四"),
        UI_TEXT_NOOP("Calendar", "按周五"), UI_TEXT_NOOP("Calendar", "按周六"),
        UI_TEXT_NOOP("Calendar", "按周日")};
    if (ringDay < 1 || ringDay > 7) return uiText("Calendar", "放假");
    return uiText("Calendar", kDays[ringDay - 1]);
}

namespace {

RingDay calendarDayOf(TableDatabase& db, const LocalTime& t) {
    RingDay day;
    day.weekday = t.weekday;
    if (!selectCalendar(db).isOk() || !findDate(db, dateText(t))) return day;
    auto ringDay = db.readInteger(kRingDay);
    if (!ringDay.isOk() || ringDay.value() < 0 || ringDay.value() > 7) return day;
    day.fromCalendar = true;
    if (ringDay.value() == kNoBells)
        day.startsBells = false;
    else
        day.weekday = weekdayOfRingDay(static_cast<int>(ringDay.value()));
    return day;
}

}  // namespace

RingDay ringDayOf(TableDatabase& db, const LocalTime& t) {
    RingDay day = calendarDayOf(db, t);
    const TimetablePlan plan = timetablePlan(db);
    day.timetable = timetableOn(plan, t);
    if (plan.timetables.size() > 1 || !plan.days.empty()) {
        day.bells = bellTableOf(db, day.timetable.name).value_or(kBellAlias);
        // A day the calendar gives a timetable says which weekday's bells of it ring.
        const bool namedWeekday = day.fromCalendar && day.startsBells &&
                                  day.timetable.why == DaysTimetable::Why::kCalendarDay;
        day.timetableLine =
            timetableLogLine(plan, day.timetable, namedWeekday ? ringDayOfWeekday(day.weekday) : 0);
    }
    return day;
}

const RingDay& RingDayCache::of(TableDatabase& db, const LocalTime& t, bool* changed) {
    const std::string date = dateText(t);
    if (changed) *changed = date != m_date;
    if (date != m_date) {
        m_day = ringDayOf(db, t);
        m_date = date;
    }
    return m_day;
}

std::vector<CalendarEntry> readCalendar(TableDatabase& db, const std::string& from,
                                        const std::string& to) {
    std::vector<CalendarEntry> entries;
    if (!selectCalendar(db).isOk()) return entries;
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        CalendarEntry e;
        e.date = db.readText(kDate).isOk() ? db.readText(kDate).value() : std::string();
        auto day = db.readInteger(kRingDay);
        e.ringDay = day.isOk() ? static_cast<int>(day.value()) : kNoBells;
        e.note = db.readText(kNote).isOk() ? db.readText(kNote).value() : std::string();
        if ((!from.empty() && e.date < from) || (!to.empty() && e.date > to)) continue;
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const CalendarEntry& a, const CalendarEntry& b) { return a.date < b.date; });
    return entries;
}

Status setCalendarEntries(TableDatabase& db, const std::vector<CalendarEntry>& entries) {
    for (const CalendarEntry& e : entries)
        if (Status s = checkCalendarEntry(e); !s.isOk()) return s;
    if (Status s = selectCalendar(db); !s.isOk()) return s;
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) return lock.status();
    for (const CalendarEntry& e : entries) {
        // At most one entry a date: a new one replaces the old.
        const std::vector<Value> values = {e.date, int64_t{e.ringDay}, e.note};
        const Status s = findDate(db, e.date) ? db.replaceCurrent(values) : db.append(values);
        if (!s.isOk()) return s;
    }
    return Status::ok();
}

Status setCalendarDays(TableDatabase& db, const std::string& from, const std::string& to,
                       int ringDay, const std::string& note) {
    auto dates = datesFromTo(from, to);
    if (!dates.isOk()) return dates.status();
    std::vector<CalendarEntry> entries;
    for (const std::string& date : dates.value()) entries.push_back({date, ringDay, note});
    return setCalendarEntries(db, entries);
}

Result<int> clearCalendarDays(TableDatabase& db, const std::string& from, const std::string& to) {
    auto dates = datesFromTo(from, to);
    if (!dates.isOk()) return dates.status();
    if (Status s = selectCalendar(db); !s.isOk()) return s;
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) return lock.status();
    int deleted = 0;
    for (const std::string& date : dates.value()) {
        if (!findDate(db, date)) continue;
        if (Status s = db.deleteCurrent(); !s.isOk()) return s;
        ++deleted;
    }
    // Marked deleted, the days are normal for every reader already; a purge that fails now is
    // made by the next change.
    if (deleted > 0) db.purge();
    return deleted;
}

namespace {

std::vector<BellRecord> bellsInDayOrder(TableDatabase& db, const std::string& table) {
    auto read = readBells(db, table);
    if (!read.isOk()) return {};
    std::vector<BellRecord> bells = std::move(read).value();
    std::sort(bells.begin(), bells.end(),
              [](const BellRecord& a, const BellRecord& b) { return a.sortValue < b.sortValue; });
    return bells;
}

bool ringsOn(const BellRecord& bell, const RingDay& day) {
    return day.startsBells && bell.weekdays[static_cast<size_t>((day.weekday + 6) % 7)];
}

}  // namespace

std::optional<NextBell> nextBellOf(TableDatabase& db, const Clock& clock) {
    std::map<std::string, std::vector<BellRecord>> tables;  // by alias, read once
    const int64_t now = clock.nowMs() / 1000;
    const int nowInDay = secondOfDay(clock.toLocal(now));
    constexpr int kDaysAhead = 14;
    for (int d = 0; d <= kDaysAhead; ++d) {
        const LocalTime day = clock.toLocal(now + int64_t{d} * 86400);
        const RingDay ringDay = ringDayOf(db, day);
        if (!tables.count(ringDay.bells))
            tables[ringDay.bells] = bellsInDayOrder(db, ringDay.bells);
        for (const BellRecord& bell : tables[ringDay.bells])
            if (ringsOn(bell, ringDay) && (d > 0 || bell.sortValue > nowInDay))
                return NextBell{day, bell};
    }
    return std::nullopt;
}

LocalTime nextBellStart(const NextBell& next) {
    return atSecondOfDay(next.day, next.bell.sortValue);
}

int64_t secondsUntil(const NextBell& next, const LocalTime& now) {
    return std::max<int64_t>(0,
                             civilToEpochSeconds(nextBellStart(next)) - civilToEpochSeconds(now));
}

int bellsLeftToday(TableDatabase& db, const Clock& clock) {
    const LocalTime now = clock.toLocal(clock.nowMs() / 1000);
    const RingDay today = ringDayOf(db, now);
    const std::vector<BellRecord> bells = bellsInDayOrder(db, today.bells);
    return static_cast<int>(std::count_if(bells.begin(), bells.end(), [&](const BellRecord& b) {
        return ringsOn(b, today) && b.sortValue > secondOfDay(now);
    }));
}

std::optional<ClockMatch> offsetToNearestBell(TableDatabase& db, const LocalTime& now) {
    const RingDay today = ringDayOf(db, now);
    std::optional<ClockMatch> nearest;
    for (const BellRecord& bell : bellsInDayOrder(db, today.bells)) {
        const int offset = bell.sortValue - secondOfDay(now);
        if (ringsOn(bell, today) && std::abs(offset) <= kMaxClockOffsetSeconds &&
            (!nearest || std::abs(offset) < std::abs(nearest->offset)))
            nearest = ClockMatch{offset, bell.start};
    }
    return nearest;
}

}  // namespace tolvane
