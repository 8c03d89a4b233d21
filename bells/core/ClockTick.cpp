// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/ClockTick.h"

#include <array>

#include "schedule/core/Schema.h"

namespace tolvane {

const char* weekdayFieldName(int weekday) {
    static constexpr std::array<const char*, 7> kNames = {"周日", "周一", "周二", "周三",
                                                          "周四", "周五", "周六"};
    return kNames[static_cast<size_t>(((weekday % 7) + 7) % 7)];
}

void checkShutdown(const ShutdownPlan& plan, std::string_view timeText, PowerOff& powerOff) {
    if (plan.enabled && plan.time == timeText) powerOff.requestPowerOff();
}

namespace {

// The day's timetable's table; the default's when that timetable went since the day began (deleted
// by another program before its change was followed): a day rings on rather than the program
// stopping.
const std::string& bellTableOf(const TableDatabase& db, const RingDay& day) {
    static const std::string kDefault = schema::kBellAlias;
    return db.hasTable(day.bells) ? day.bells : kDefault;
}

// The fields each scan reads, looked up once per tick.
struct ScanFields {
    FieldRef time;
    FieldRef today;
};

Result<ScanFields> scanFields(const TableDatabase& db, const char* timeField, const char* today) {
    auto time = db.fieldRef(timeField);
    if (!time.isOk()) return time.status();
    auto day = db.fieldRef(today);
    if (!day.isOk()) return day.status();
    return ScanFields{time.value(), day.value()};
}

// True when the current record's time field is the current time text and it rings today.
Result<bool> dueNow(const TableDatabase& db, const ScanFields& fields,
                    const std::string& timeText) {
    auto equal = db.textEquals(fields.time, timeText);
    if (!equal.isOk() || !equal.value()) return equal;
    return db.readLogical(fields.today);
}

// What the current record's bell says after its music; empty when it says nothing (or its table
// has no such fields).
std::string spokenText(const TableDatabase& db) {
    auto speaks = db.readLogical(schema::kReminderFlag);
    if (!speaks.isOk() || !speaks.value()) return {};
    auto text = db.readText(schema::kReminderText);
    return text.isOk() ? std::move(text).value() : std::string();
}

}  // namespace

Status runClockTick(TableDatabase& db, const LocalTime& t, const ShutdownPlan& shutdown,
                    PowerOff& powerOff, BellSound& sound) {
    RingDay own;
    own.weekday = t.weekday;
    return runClockTick(db, t, own, shutdown, powerOff, sound);
}

Status runClockTick(TableDatabase& db, const LocalTime& t, const RingDay& day,
                    const ShutdownPlan& shutdown, PowerOff& powerOff, BellSound& sound) {
    const std::string now = timeText(t);
    const char* today = weekdayFieldName(day.weekday);
    checkShutdown(shutdown, now, powerOff);

    if (Status s = db.select(bellTableOf(db, day)); !s.isOk()) return s;
    auto starts = scanFields(db, schema::kStart, today);
    auto ends = scanFields(db, schema::kEnd, today);
    if (!starts.isOk()) return starts.status();
    if (!ends.isOk()) return ends.status();

    for (db.goFirst(); day.startsBells && !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        auto due = dueNow(db, starts.value(), now);
        if (!due.isOk()) return due.status();
        if (!due.value()) continue;
        auto music = db.readText(schema::kMusic);
        if (!music.isOk()) return music.status();
        sound.start(music.value(), spokenText(db));
    }
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        auto due = dueNow(db, ends.value(), now);
        if (!due.isOk()) return due.status();
        if (due.value()) sound.stop();
    }
    return Status::ok();
}

namespace {

// Only a start time written as the tick compares it ("07:30:00") ever rings.
bool isClockText(const std::string& text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
    for (size_t i : {0, 1, 3, 4, 6, 7})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

Result<std::vector<ScheduledBell>> bellsStartingBetween(TableDatabase& db, const RingDay& day,
                                                        const std::string& from,
                                                        const std::string& to) {
    std::vector<ScheduledBell> found;
    if (!day.startsBells) return found;
    if (Status s = db.select(bellTableOf(db, day)); !s.isOk()) return s;
    auto today = db.fieldRef(weekdayFieldName(day.weekday));
    if (!today.isOk()) return today.status();
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        auto start = db.readText(schema::kStart);
        if (!start.isOk()) return start.status();
        if (!isClockText(start.value()) || start.value() < from || start.value() > to) continue;
        auto rings = db.readLogical(today.value());
        if (!rings.isOk()) return rings.status();
        if (!rings.value()) continue;
        auto end = db.readText(schema::kEnd);
        if (!end.isOk()) return end.status();
        auto music = db.readText(schema::kMusic);
        if (!music.isOk()) return music.status();
        found.push_back({start.value(), end.value(), music.value(), spokenText(db)});
    }
    return found;
}

}  // namespace tolvane
