// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Clock tick: once a second, the automatic-shutdown check, then the bells whose start time is
// this second start, then playback stops for the bells whose end time is this second.
// It keeps no state between runs; which seconds get a tick is SecondPacer's business.

#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/Status.h"
#include "platform/PowerOff.h"
#include "schedule/core/Calendar.h"
#include "storage/TableDatabase.h"

namespace tolvane {

// The Bell record's weekday field for a weekday (0 = Sunday): "周日" .. "周六".
const char* weekdayFieldName(int weekday);

// What the tick does to the sound: start a bell's `音乐` value, followed by what it says (speech,
// empty when it says nothing), or stop whatever plays.
class BellSound {
public:
    virtual ~BellSound() = default;
    virtual void start(const std::string& music, const std::string& speech) = 0;
    virtual void stop() = 0;
    // The bell expected to start next second: what its start needs may be opened now, unheard.
    virtual void prepare(const std::string& music, const std::string& speech) {
        (void)music;
        (void)speech;
    }
    // Whether prepare does anything: the engine looks the next second's bell up only then.
    virtual bool preparesAhead() const { return false; }
};

// The program-wide shutdown values: the flag as read at start, the time as last saved.
struct ShutdownPlan {
    bool enabled = false;
    std::string time;
};

void checkShutdown(const ShutdownPlan& plan, std::string_view timeText, PowerOff& powerOff);

// Runs one tick for the second t on the table "数据库" of db. Fails with Status::typeMismatch()
// when a field it reads has another type, which the program treats as fatal.
Status runClockTick(TableDatabase& db, const LocalTime& t, const ShutdownPlan& shutdown,
                    PowerOff& powerOff, BellSound& sound);
// The same on a day of the school calendar: bells start only when the day rings, with the flags
// of the weekday it rings as, from the day's 作息表; end-time stops and power-off apply on every
// day.
Status runClockTick(TableDatabase& db, const LocalTime& t, const RingDay& day,
                    const ShutdownPlan& shutdown, PowerOff& powerOff, BellSound& sound);

// A bell of the schedule as its record holds it.
struct ScheduledBell {
    std::string start, end, music;
    std::string speech;  // what it says after its music; empty when nothing
};
// The live bells that start on day at a time from from to to (texts "HH:MM:SS" of one day, both
// included), in table order; none when the day rings no bells.
Result<std::vector<ScheduledBell>> bellsStartingBetween(TableDatabase& db, const RingDay& day,
                                                        const std::string& from,
                                                        const std::string& to);

}  // namespace tolvane
