// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ringing engine without its timer: for each second due by the clock, the Clock tick over the
// schedule, exactly once (SecondPacer, on the local wall clock); and what it does, told to the
// ring log: each bell started, heard (how late), stopped and why, files skipped, the clock
// stepping, power-off. The program drives it from a Qt timer (RingController), the headless
// ringer the same way; tests call processDueSeconds directly.
//
// A jump of the clock forward (an offset, 对时, a system clock step) rings at once the latest
// bell whose second it passed over, saying how late, when the bell is still on: its end time is
// ahead, or it has none and is at most kRingLateAtMostS late. Every other bell passed over is
// named in the log as not rung, and rings at its second if the clock comes back to it.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "bells/core/ClockTick.h"
#include "bells/core/RingLog.h"
#include "bells/core/SecondPacer.h"
#include "storage/TableDatabase.h"

namespace tolvane {

class RingEngine {
public:
    static constexpr int64_t kRingLateAtMostS = 300;

    // All references must outlive the engine. It logs nowhere until setLog.
    RingEngine(TableDatabase& db, const Clock& clock, BellSound& sound, PowerOff& powerOff);
    void setLog(RingLog& log) { m_log = &log; }

    // Runs the tick for every second due by the clock now. A failure (a field of another type)
    // stops nothing by itself: the caller ends the program.
    Status processDueSeconds();
    // After a pause no second is caught up.
    void forgetLastSecond() {
        m_pacer.forget();
        m_lastWall = 0;
    }
    // Milliseconds from now to the next second boundary.
    int msToNextSecond() const;

    // The shutdown flag and time text.
    ShutdownPlan& shutdownPlan() { return m_shutdown; }

    // The school calendar changed: the day's ring day is looked up again.
    void forgetCalendarDay() { m_ringDay.forget(); }

    // The Stop button silenced the bell.
    void stopByHand();
    // Something else takes the output (立即播放): the bell playing is over, said with why.
    void bellReplaced(const std::string& why) { stopped(why); }
    // A bell of the schedule plays now (started and not yet stopped or ended).
    bool bellPlaying();
    // The bell playing now: the second it started on (the school's clock) and its music.
    struct PlayingBell {
        LocalTime second;
        std::string music;
    };
    std::optional<PlayingBell> playingBell();
    RingLog& log() { return *m_log; }

    // What the Playback service reports, from its player thread. A bell whose output nobody can
    // hear (inaudibleBecause says why) is never logged as heard, nor as played out.
    // audibilityKnown false: the system does not tell whether the output can be heard, so the
    // bell is logged as played, never as heard.
    // file: the file of the list whose first samples these are (a bell's words are told apart
    // from its music by it).
    void onFirstSample(const std::string& file, const std::string& inaudibleBecause = {},
                       bool audibilityKnown = true);
    // The file made ahead that says a bell's text, or empty when there is none yet (the same as
    // the sound's own, PlaylistBellSound::setSpeechFile): a bell's words are logged by it.
    void setSpeechFile(std::function<std::string(const std::string& text)> speechFile);
    void onListEnded();
    void onFileSkipped(const std::string& file, const std::string& why);
    void onNoOutput();

private:
    void noteDay(const LocalTime& t, const RingDay& day);
    void prepareNextSecond(int64_t wall, const RingDay& day);
    // The ring log names each bell of the seconds a step back of the clock repeats.
    void nameBellsSteppedBack(int64_t wall, int64_t back);
    class LoggedSound;
    class LoggedPowerOff;
    void noteClockStep(int64_t wall);
    Status ringPassedOver(int64_t previousWall, int64_t wall, int64_t epoch, const LocalTime& now,
                          const RingDay& day);
    void stopped(const std::string& why);
    void stoppedLocked(const std::string& why);  // m_bellMutex held
    static std::string speechLine(const LocalTime& second, const std::string& text,
                                  const std::string& what);

    TableDatabase& m_db;
    const Clock& m_clock;
    BellSound& m_sound;
    PowerOff& m_powerOff;
    RingLog* m_log = &RingLog::none();
    ShutdownPlan m_shutdown;
    SecondPacer m_pacer;
    RingDayCache m_ringDay;
    std::string m_dayNoted;  // the date and lines noteDay said last
    int64_t m_lastWall = 0;
    // The bell playing now, shared with the player thread.
    std::mutex m_bellMutex;
    bool m_playing = false;
    bool m_awaitingFirstSample = false;
    std::string m_inaudibleBecause;  // of the bell playing
    std::string m_lastSkip;          // the last file of its list skipped, and why
    LocalTime m_bellSecond;
    std::string m_bellMusic;
    int64_t m_bellEpochMs = 0;
    std::function<std::string(const std::string& text)> m_speechFile;
    std::string m_bellSpeech;       // what the bell playing says after its music
    std::string m_bellSpeechFile;   // and the file that says it
    bool m_awaitingSpeech = false;  // its words are still to be heard
};

}  // namespace tolvane
