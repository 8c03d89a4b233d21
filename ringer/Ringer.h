// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ringer: everything that rings one folder's bells, composed once — the tables, the ring log,
// playback and the bell sound, the clock timer and its engine, the table follower and the sleep
// inhibitor — and the one place that decides what opening the tables, a changed table, a changed
// setting, a pause and a resume do. The desktop program and `tolvanectl ring` each make one and
// are fronts on it; nothing above composes these services again.
//
// Lives on the thread that made it, whose event loop rings the bells: every call comes from there.
// Nothing rings until openTables() succeeded and setPlan(kRunning) was called.

#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/Clock.h"
#include "base/Listeners.h"
#include "base/Status.h"
#include "base/UiText.h"
#include "bells/audio/PcmSink.h"
#include "bells/core/BellCounts.h"
#include "bells/core/MusicCheck.h"
#include "bells/core/PlanState.h"
#include "bells/core/PlayList.h"
#include "bells/core/RingLog.h"
#include "bells/core/RingRequest.h"
#include "bells/core/RingerMetrics.h"
#include "bells/core/RingerState.h"
#include "bells/core/TimedNotices.h"
#include "bells/qt/RingController.h"
#include "platform/ClockSync.h"
#include "platform/PowerOff.h"
#include "platform/SleepInhibitor.h"
#include "platform/SoundOutput.h"
#include "schedule/core/Schema.h"
#include "settings/core/ProgramOptions.h"
#include "settings/core/Settings.h"
#include "speech/core/SpeechFiles.h"
#include "storage/TableDatabase.h"

namespace tolvane {

class AudioPlayback;
class RingerWeb;
class TableFollower;

class Ringer {
public:
    struct Options {
        // Holds px.edb, db.edb, xl.edb and, unless log is given, tolvane.log.
        std::string folder;
        // Must outlive the ringer; its answers go to the ring log.
        PowerOff& powerOff;
        // Default: the system's output chosen in tolvane.conf, at its bell volume.
        PcmSinkFactory sinks = nullptr;
        // Default: tolvane.log in folder (and the journal).
        std::unique_ptr<RingLog> log = nullptr;
        // Default: the system's (logind, SetThreadExecutionState).
        std::unique_ptr<SleepInhibitor> inhibitor = nullptr;
        // The clock every front reads too (the face, the date); default: the system's. Must
        // outlive the ringer. Tests give a manual one, and a manual timer with it.
        const Clock* clock = nullptr;
        std::unique_ptr<TickTimer> tickTimer = nullptr;
        // Reads the system clock's synchronisation; default: the system's.
        std::function<ClockSync()> readClockSync = nullptr;
        // Follows the output the bells play on; default: the system's (watchOutput) when sinks
        // was not given, none otherwise.
        std::function<std::unique_ptr<OutputWatch>(
            const std::string& name, std::function<void(const OutputReport&)> onChange)>
            watchOutput = nullptr;
        // The English texts the web page answers an English browser with; none: Chinese only.
        const UiTextTranslator* webEnglish = nullptr;
    };

    // How often the clock's synchronisation is read while 自动校正时间 is on.
    static constexpr int kClockCheckMs = 60'000;
    // tolvane.prom is written at least this often: a collector sees a ringer that stopped by the
    // file's age.
    static constexpr int kMetricsEveryMs = 60'000;
    // How often every bell's music is looked at again (besides at start and at each reload).
    static constexpr int kMusicCheckMs = 24 * 3600 * 1000;

    explicit Ringer(Options options);
    ~Ringer();
    Ringer(const Ringer&) = delete;
    Ringer& operator=(const Ringer&) = delete;

    // Opens (creating or repairing) the folder's tables, and writes what was set aside or found
    // read-only to the ring log. Leaves the settings record current.
    OpenedTables openTables();

    // Reads the options of px.edb and applies those that ringing uses (automatic power-off, random
    // play, the clock check of 自动校正时间); a running plan's clock timer is (re)started, a paused
    // plan stays paused. On failure
    // the options in use stay. Calls onSettingsApplied with the record when it succeeded.
    Result<SettingsRecord> applySettings();
    // Reads tolvane.conf and applies it: the clock offset at once, the output and bell volume from
    // the next bell, the output's watch anew. Each change is said in the ring log; a file that
    // cannot be read leaves the options in use (said once).
    void applyOptions();
    const ProgramOptions& options() const { return m_options; }
    // Only the power-off flag and time, as the Settings window stores them (they take effect at
    // once; the other options at the next applySettings).
    Status applyShutdownPlan();

    // Running: the clock timer ticks every second and the machine is kept awake. Paused: nothing
    // rings, the machine may sleep, and the folder is followed by a poll of its own.
    void setPlan(PlanState plan);
    PlanState plan() const { return m_plan; }
    // The user's pause or resume: setPlan to the other state, said in the ring log.
    PlanState togglePlan();
    // The plan set from elsewhere than the window (the web page, which says it in the log);
    // onStateChanged follows.
    void changePlan(PlanState plan);
    // Silences the bell playing now (the Stop button); the plan goes on.
    void stopSound();
    // 试听: the next bell's music for kTrialMs as a bell would sound (the output chosen, the bell
    // volume); a bell of the schedule starting meanwhile is not cut short. False when there is no
    // next bell within two weeks.
    static constexpr int kTrialMs = 5000;
    // How soon a 立即播放 that ended is played again (repeat) or said to be over.
    static constexpr int kRingingNowWatchMs = 100;
    bool tryNextBell();
    // Makes the file that says text with the voice and rate of the settings, off the thread that
    // rings, then tells done, on this thread, the file or why it could not be made.
    void makeSpeechThen(const std::string& text,
                        std::function<void(Result<std::string> file)> done);
    // Says a sentence with the voice and rate of the settings once it is made; done hears why
    // not, or nothing.
    void trySpeech(std::function<void(const std::string& why)> done);
    // 立即播放: music (a file or a folder) at once on the bell output at the bell volume, said in
    // the ring log with who asked. repeat: played again each time it ends until 停止播放 (a
    // drill, a lockdown signal). A bell of the schedule due meanwhile cuts in at its second and
    // ends it: the schedule is never late. A bell always wins: one asked while a bell sounds, or
    // within kRingNowHoldMs before one, waits until that bell is over (the last one asked
    // waits; 停止播放 drops it). Refused, saying why, for music that cannot play.
    static constexpr int64_t kRingNowHoldMs = 1000;
    Status ringNow(const std::string& music, bool repeat, const std::string& who);
    // 广播通知 at a second of today (the school's clock): said then, times times over, as
    // 立即播放 is. Kept in the folder until said, so a ringer started again still says it; a
    // notice missed by more than kNoticeLateSeconds (the plan paused, the program off) is said
    // in the ring log instead. Its file should already be made (the asker makes it, off this
    // thread); one missing is made when due. Refused, saying why, for a time already past.
    Status sayAt(const std::string& text, int times, int secondOfToday, const std::string& who);
    // False when no notice has that number (said already, or cancelled).
    bool cancelNotice(int id, const std::string& who);
    const std::vector<TimedNotice>& timedNotices() const { return m_notices; }
    // 对时: the offset that puts today's nearest bell at the system's time now.
    std::optional<ClockMatch> offsetToNearestBell();
    // The school calendar changed: the engine looks today up again before the next bell.
    void calendarChanged();

    // Why the bells may not ring at the true second: the clock is not synchronised (checked at
    // once and every minute while 自动校正时间 is on). Empty when nothing is known to be wrong. A
    // change is said once in the ring log, and onStateChanged follows. In this thread's
    // language, as are the other problems.
    std::string clockProblem() const;
    void checkClock();
    // The clock is not synchronised, and the system's time synchronisation is off but can be
    // turned on (asked of the system when the clock's problem appears).
    bool timeSyncCanBeTurnedOn() const { return !m_clockProblem.empty() && m_timeSyncOffer; }
    // The user asked: the system turns its time synchronisation on (it may ask for an
    // administrator's password). Said in the ring log; done gets empty text or why not.
    void turnOnTimeSync(std::function<void(const std::string& refusal)> done);
    // The bells whose music will not play (a missing or undecodable file, a missing or empty
    // folder), looked at after the tables open, at each change of the bell table and daily, on a
    // thread of its own; newly found ones are said in the ring log, and onStateChanged follows.
    const std::vector<UnplayableMusic>& unplayableMusic() const { return m_unplayable; }
    const std::vector<UnmadeSpeech>& unmadeSpeech() const { return m_unmadeSpeech; }
    // Why the bells cannot be heard on the output they play on (no server, the output chosen
    // gone, muted, below the audible floor, its port unplugged), as the sound server last told;
    // empty when nothing is known to be wrong. A change is said once in the ring log.
    std::string outputProblem() const;
    // The output is there but muted or turned down: fixOutput() can mend it.
    bool outputCanBeFixed() const;
    // The user asked: unmutes the output and raises it to the audible floor; said in the log.
    Status fixOutput();
    void checkMusic();
    // The web page (web_port in tolvane.conf): served while a password is set, started anew when
    // the options or the password change. Why it is not served although asked for, its address
    // and its certificate's fingerprint; changes are said in the ring log, and onStateChanged
    // follows.
    void followWeb();
    std::string webProblem() const;
    const std::string& webAddress() const;
    const std::string& webFingerprint() const;
    const UiTextTranslator* webEnglish() const { return m_webEnglish; }
    // A look at the music is under way (until its report has been taken in).
    bool checkingMusic() const { return m_musicChecker.joinable(); }

    // Ends ringing for good: the clock timer, the sound, the inhibitor; lastLine goes to the ring
    // log, which is then written out. After the event loop ended, or while the system ends the
    // session (the process may not live to leave the loop); a second call does nothing.
    void shutDown(const std::string& lastLine);

    // Where the ringer stands, in this thread's language: what the window, the tray, the page and
    // tolvanectl status say. onStateChanged tells when it changed (the plan, the bell playing, a
    // problem, the page); the next bell moves with the clock and is not told.
    RingerState state();

    // The ringer's news, for any number of listeners, each heard while its Subscription lives.
    // After tables changed on disk were read again and applied (settings: the status of applying
    // them, ok when they were not among the changed). The list, date and display follow here.
    Listeners<ReloadedTables, Status> onReloaded;
    Listeners<SettingsRecord> onSettingsApplied;
    Listeners<> onStateChanged;
    // After each wake-up of the clock timer (the face is painted here while the plan runs).
    Listeners<> afterTick;
    // A table held a field of another type than its schema: the run must end (after it was
    // written to the ring log).
    Listeners<Status> onFatal;

    const std::string& folder() const { return m_folder; }
    TableDatabase& db() { return m_db; }
    PlaybackService& playback();
    RingLog& log() { return *m_log; }
    // The school's clock: the system's moved by the clock offset. Every bell, end and power-off
    // follows it, and the face shows it.
    const Clock& clock() const { return m_clock; }
    const OffsetClock& schoolClock() const { return m_clock; }
    const Clock& systemClock() const { return m_clock.base(); }
    int clockOffsetSeconds() const { return m_clock.offsetSeconds(); }
    // For tests and benches only: the parts as composed. The fronts read state().
    RingController& ring() { return *m_ring; }
    PlaylistBellSound& sound() { return *m_sound; }
    TableFollower& follower() { return *m_follower; }

private:
    void onTablesChanged(const ReloadedTables& reloaded);
    void followDamagedTables(const std::vector<DamagedTable>& now);
    void sayIndexProblems();
    void musicChecked(std::vector<UnplayableMusic> unplayable);
    void speechChecked(std::vector<std::string> made, std::vector<UnmadeSpeech> unmade);
    // The file made ahead that says text with the voice and rate of the settings; empty when it
    // is not there (yet).
    std::string readySpeechFile(const std::string& text) const;
    void followClock(bool checked);
    void followOutput();
    void outputReported(const OutputReport& report);
    OutputChoice outputChoice() const;
    std::optional<RingerState::Bell> playingBell();
    // Tells the listeners when the bell playing is another than they were last told of.
    void followPlayingBell();
    void checkSilentDays(bool tablesChanged);
    void makeLibrary();
    void checkMusicWhilePaused();
    void checkMusicBeforeNextBell();
    // Reads a request another process left (tolvanectl ring-now, stop) off the ringing thread,
    // then carries it out here: a file put in its place never holds a bell up.
    void takeRequest();
    void requestTaken(const TakenRingRequest& taken);
    // The 立即播放 sounding: played again, ended, or cut in on by a bell.
    void followRingingNow();
    void endRingingNow(const std::string& why);
    // Whether a bell sounds, or starts within kRingNowHoldMs: a 立即播放 waits for it.
    bool bellInTheWay();
    // Milliseconds until the next bell of the schedule starts; none when no bell is ahead.
    std::optional<int64_t> msToNextBell();
    void startRingingNow(const std::string& music, bool repeat);
    // Says the notices due now, and lets the missed ones go, saying so (all of them while the
    // plan is paused: a paused plan says nothing).
    void sayDueNotices();
    void sayNotice(const TimedNotice& notice);
    void keepNotices();
    // The state changed: published for other processes, then told to the listeners.
    void stateChanged();
    // tolvane.prom in the folder metrics_dir names (nothing when it names none), written anew at
    // each change and every minute; up false once ringing has ended. A folder that cannot be
    // written is said once, as a problem, and the bells go on.
    void writeMetrics(bool up = true);
    RingerFacts metricsFacts(const RingerState& state);
    void countsChanged();
    void followMetrics(const ProgramOptions& before);
    void publishState();

    std::string m_folder;
    PowerOff& m_powerOff;
    std::unique_ptr<RingLog> m_log;
    std::unique_ptr<SleepInhibitor> m_inhibitor;
    TableDatabase m_db;
    SystemClock m_systemClock;
    OffsetClock m_clock;
    ProgramOptions m_options;
    std::string m_optionsError;
    // The player thread reads the choice as each bell's stream opens.
    mutable std::mutex m_choiceMutex;
    OutputChoice m_choice;
    PlanState m_plan = PlanState::kPaused;
    // Read by the player thread's reports: declared before the playback, so it outlives it.
    std::atomic<bool> m_engineReady{false};
    std::unique_ptr<AudioPlayback> m_playback;
    std::unique_ptr<PlaylistBellSound> m_sound;
    std::unique_ptr<RingController> m_ring;
    std::unique_ptr<TableFollower> m_follower;
    std::function<ClockSync()> m_readClockSync;
    QTimer m_clockCheck;
    ClockSync m_clockSync;
    std::string m_clockProblem;  // in the ring log's words, as are the other problems kept
    bool m_timeSyncOffer = false;
    QTimer m_musicCheck;
    QTimer m_trialEnd;
    struct RingingNow {
        std::string music;
        bool repeat = false;
        uint64_t request = 0;  // the playback's, while it is this one's
    };
    std::optional<RingingNow> m_ringingNow;
    struct HeldRingNow {
        std::string music;
        bool repeat = false;
        std::string who;
    };
    std::optional<HeldRingNow> m_heldRingNow;
    QTimer m_ringingNowWatch;
    std::thread m_requestReader;
    bool m_requestAgain = false;  // another request came while one was read
    std::thread m_musicChecker;
    bool m_musicCheckAgain = false;    // the bells changed while the checker ran
    int64_t m_nextBellLook = 0;        // when the next bell is looked for again (epoch s)
    int64_t m_pausedMusicLook = 0;     // when a paused plan looks at the music again (epoch s)
    int64_t m_musicCheckedBefore = 0;  // the bell (its local wall second) whose music was checked
    std::vector<UnplayableMusic> m_unplayable;
    SpeechVoiceChoice m_speechChoice;             // as the settings last read say
    std::vector<UnmadeSpeech> m_unmadeSpeech;     // bells whose speech could not be made
    std::vector<TimedNotice> m_notices;           // 广播通知 to say later today
    std::unique_ptr<CountingRingLog> m_counting;  // the engine's log, counting the bells
    QTimer m_metricsTimer;
    std::string m_metricsProblem;  // why tolvane.prom could not be written, in the log's words
    std::string m_countsError;     // said once
    bool m_writingMetrics = false;
    std::string m_noticesFileError;  // said once
    std::function<std::unique_ptr<OutputWatch>(const std::string&,
                                               std::function<void(const OutputReport&)>)>
        m_watchOutput;
    std::unique_ptr<OutputWatch> m_outputWatch;
    // Answers from the system bus that come after the ringer went are dropped.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    OutputReport m_outputReport;
    std::string m_outputReportFor;  // the output chosen when it came
    std::string m_outputProblem;
    bool m_tablesOpen = false;
    bool m_scheduleReadOnly = false;
    // Table files that are damaged now, each copied aside once (the copy's path, or why not):
    // their tables ring as last read whole. And those set aside at the start, made anew.
    struct DamagedFile {
        DamagedTable table;
        std::string copy;
    };
    std::vector<DamagedFile> m_damaged;
    std::vector<std::string> m_setAsideAtStart;
    // What of the 作息表 index cannot be used, as last said in the ring log.
    std::vector<std::string> m_indexProblems;
    std::vector<std::string> m_silentDays;  // in the ring log's Chinese
    std::string m_silentDaysDate;
    std::optional<RingerState::Bell> m_playingTold;
    std::string m_stateFileError;
    bool m_shutDown = false;
    const UiTextTranslator* m_webEnglish = nullptr;
    // Last: its threads stop before anything they ask of the ringer goes.
    std::unique_ptr<RingerWeb> m_web;
};

}  // namespace tolvane
