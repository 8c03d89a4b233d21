// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a ringer knows of itself, in one value: the plan, the bell playing, the next bell, and
// what keeps the bells from being heard at the true second, each problem with its kind. The
// ringer makes it (Ringer::state) and says when it changed; the window, the tray, the page and
// tolvanectl status each say it in their reader's words and derive none of it again.

#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "bells/core/MusicCheck.h"
#include "bells/core/PlanState.h"
#include "bells/core/TimedNotices.h"
#include "schedule/core/Calendar.h"

namespace tolvane {

enum class RingerProblemKind {
    kScheduleReadOnly,  // the tables cannot be written: bells ring, changes are refused
    kScheduleDamaged,   // a table file is damaged: its table rings as last read whole
    kSilentDays,        // the timetable rules leave school days without a bell
    kOutput,            // the output cannot be heard (missing, muted, too low, unplugged)
    kClock,             // the system clock is not synchronised
    kWeb,               // the page was asked for and is not served
    kMusic,             // a bell's music will not play (one problem for each music and why)
    kSpeech,            // a bell's words could not be made ahead: it rings its music alone
    kMetrics,           // the metrics file cannot be written: the district's monitoring is blind
};

struct RingerProblem {
    RingerProblemKind kind;
    std::string text;  // in the language of the thread that asked for the state
    bool operator==(const RingerProblem&) const = default;
};

struct RingerState {
    PlanState plan = PlanState::kPaused;

    struct Bell {
        LocalTime start;
        std::string music;
        std::string end;  // the end time as the table has it; empty when the bell has none
    };
    // The bell playing now (the school's clock), and the next one due within two weeks.
    std::optional<Bell> playing;
    std::optional<NextBell> next;
    // 立即播放 sounding now, outside the schedule: its music, empty when none.
    std::string ringingNow;
    bool ringingNowRepeats = false;
    // 广播通知 to be said later today, in time order.
    std::vector<TimedNotice> notices;

    // The school's clock ahead of (positive) or behind the system's, in seconds: the bells ring by
    // it.
    int clockOffsetSeconds = 0;

    // In the order every front says them: the schedule, the output, the clock, the page, music.
    std::vector<RingerProblem> problems;
    // How many bells' music will not play (several bells may share one music), and each of them
    // with why, so that its row can be marked.
    size_t unplayableBells = 0;
    std::vector<UnplayableMusic> unplayable;
    // What the user can mend from the window: the output (unmute, raise), else the clock (turn
    // the system's time synchronisation on).
    bool outputCanBeFixed = false;
    bool timeSyncCanBeTurnedOn = false;

    // The page, served while a password is set: its address and certificate's fingerprint (both
    // empty when it is not served).
    std::string webAddress;
    std::string webFingerprint;
    // Every address it answers at, by IP address first.
    std::vector<std::string> webAddresses;

    bool has(RingerProblemKind kind) const {
        for (const RingerProblem& p : problems)
            if (p.kind == kind) return true;
        return false;
    }
};

}  // namespace tolvane
