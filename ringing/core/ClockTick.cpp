#include "ClockTick.h"

#include <array>
#include <cstdio>

#include "Schema.h"

namespace tolvane {

std::string currentTimeText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

const char* weekdayFieldName(int weekday) {
    static constexpr std::array<const char*, 7> kNames = {"周日", "周一", "周二", "周三",
                                                          "周四", "周五", "周六"};
    return kNames[static_cast<size_t>(((weekday % 7) + 7) % 7)];
}

void checkShutdown(const ShutdownPlan& plan, std::string_view timeText, PowerOff& powerOff) {
    if (plan.enabled && plan.time == timeText) powerOff.requestPowerOff();
}

namespace {

// True when the current record's text field equals timeText and it rings today.
Result<bool> dueNow(const TableDatabase& db, const char* timeField, const std::string& timeText,
                    const char* today) {
    auto time = db.readText(timeField);
    if (!time.isOk()) return time.status();
    if (time.value() != timeText) return false;
    return db.readLogical(today);
}

}  // namespace

Status runClockTick(TableDatabase& db, const LocalTime& t, const ShutdownPlan& shutdown,
                    PowerOff& powerOff, BellSound& sound) {
    const std::string now = currentTimeText(t);
    const char* today = weekdayFieldName(t.weekday);
    checkShutdown(shutdown, now, powerOff);

    if (Status s = db.select(schema::kBellAlias); !s.isOk()) return s;
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        auto due = dueNow(db, schema::kStart, now, today);
        if (!due.isOk()) return due.status();
        if (!due.value()) continue;
        auto music = db.readText(schema::kMusic);
        if (!music.isOk()) return music.status();
        sound.start(music.value());
    }
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        auto ends = dueNow(db, schema::kEnd, now, today);
        if (!ends.isOk()) return ends.status();
        if (ends.value()) sound.stop();
    }
    return Status::ok();
}

}  // namespace tolvane
