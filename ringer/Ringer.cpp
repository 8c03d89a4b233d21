// SPDX-License-Identifier: GPL-3.0-or-later
#include "ringer/Ringer.h"

#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "base/PathText.h"
#include "bells/audio/AudioPlayback.h"
#include "bells/audio/Mp3Decoder.h"
#include "bells/core/RingRequest.h"
#include "bells/core/RingerStateFile.h"
#include "bells/log/FileRingLog.h"
#include "bells/qt/RingController.h"
#include "bells/qt/TableFollower.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "platform/TextCodec.h"
#include "platform/TimeSync.h"
#include "ringer/RingerWeb.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/SilentDays.h"
#include "schedule/core/Timetables.h"
#include "settings/core/Password.h"
#include "speech/make/SpeechMaking.h"

namespace tolvane {

namespace {

// A millisecond tick count seeds each random folder order.
uint64_t millisecondTicks() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::unique_ptr<RingLog> defaultRingLog(const std::string& folder) {
    return std::make_unique<FileRingLog>(FileRingLog::Options{folder});
}

Status fatalStatus(int code, const QString& message) {
    return code == Status::kTypeMismatchErrorCode ? Status::typeMismatch()
                                                  : Status::ioError(message.toStdString());
}

}  // namespace

Ringer::Ringer(Options options)
    : m_folder(std::move(options.folder)),
      m_powerOff(options.powerOff),
      m_log(options.log ? std::move(options.log) : defaultRingLog(m_folder)),
      m_inhibitor(options.inhibitor ? std::move(options.inhibitor)
                                    : std::make_unique<SystemSleepInhibitor>()),
      m_clock(options.clock ? *options.clock : m_systemClock),
      m_playback(std::make_unique<AudioPlayback>(
          options.sinks ? options.sinks  // copied: looked at again below
                        : audioSinkFactory([this] { return outputChoice(); }),
          engineHooks([this] { return m_engineReady ? &m_ring->engine() : nullptr; }))),
      m_sound(std::make_unique<PlaylistBellSound>(*m_playback, millisecondTicks)),
      m_ring(std::make_unique<RingController>(m_db, m_clock, *m_sound, m_powerOff,
                                              std::move(options.tickTimer))),
      m_follower(std::make_unique<TableFollower>(m_db, m_folder)),
      m_readClockSync(options.readClockSync ? std::move(options.readClockSync) : readClockSync),
      m_watchOutput(options.watchOutput ? std::move(options.watchOutput)
                    : options.sinks     ? nullptr
                                        : decltype(m_watchOutput)(tolvane::watchOutput)),
      m_webEnglish(options.webEnglish),
      m_web(std::make_unique<RingerWeb>(*this)) {
    m_ring->setObjectName(QStringLiteral("时钟2"));
    m_counting = std::make_unique<CountingRingLog>(
        *m_log, readBellCounts(*FileSystem::platform(), m_folder), [this] {
            // From the player thread: taken in on the ringing thread.
            QMetaObject::invokeMethod(
                m_ring.get(), [this] { countsChanged(); }, Qt::QueuedConnection);
        });
    m_ring->engine().setLog(*m_counting);
    m_engineReady = true;
    m_sound->setRandomPlay(true);  // until the settings are read
    const auto speechFile = [this](const std::string& text) { return readySpeechFile(text); };
    m_sound->setSpeechFile(speechFile);
    m_ring->engine().setSpeechFile(speechFile);
    m_inhibitor->onAnswer = [log = m_log.get()](const std::string& answer) { log->note(answer); };
    m_powerOff.onAnswer = [log = m_log.get()](const std::string& answer) {
        log->note("自动关机：系统回答：" + answer);
    };
    m_follower->onReloaded = [this](const ReloadedTables& r) { onTablesChanged(r); };
    m_follower->onOptionsChanged = [this] { applyOptions(); };
    m_follower->onRequestWaiting = [this] { takeRequest(); };
    m_follower->onPolled = [this] {
        sayDueNotices();
        checkMusicWhilePaused();
        checkSilentDays(false);
    };
    m_notices = readTimedNotices(*FileSystem::platform(), m_folder);
    m_ringingNowWatch.setInterval(kRingingNowWatchMs);
    QObject::connect(&m_ringingNowWatch, &QTimer::timeout, [this] { followRingingNow(); });
    // The tick always rings the schedule as it is on disk: the files are checked just before it.
    m_ring->beforeTick = [this] { m_follower->check(); };
    m_ring->afterTick = [this] {
        followPlayingBell();
        sayDueNotices();
        checkMusicBeforeNextBell();
        checkSilentDays(false);
        afterTick.notify();
    };
    m_metricsTimer.setInterval(kMetricsEveryMs);
    QObject::connect(&m_metricsTimer, &QTimer::timeout, [this] { writeMetrics(); });
    m_clockCheck.setInterval(kClockCheckMs);
    QObject::connect(&m_clockCheck, &QTimer::timeout, [this] { checkClock(); });
    m_trialEnd.setSingleShot(true);
    m_trialEnd.setInterval(kTrialMs);
    QObject::connect(&m_trialEnd, &QTimer::timeout, [this] {
        if (!m_ring->engine().bellPlaying()) m_playback->stop();
    });
    m_musicCheck.setInterval(kMusicCheckMs);
    QObject::connect(&m_musicCheck, &QTimer::timeout, [this] { checkMusic(); });
    QObject::connect(m_ring.get(), &RingController::fatalError, m_ring.get(),
                     [this](int code, const QString& message) {
                         m_log->warn("运行时出错：" + message.toStdString());
                         onFatal.notify(fatalStatus(code, message));
                     });
}

Ringer::~Ringer() {
    m_web.reset();
    m_outputWatch.reset();
    if (m_musicChecker.joinable()) m_musicChecker.join();
    if (m_requestReader.joinable()) m_requestReader.join();
    // The engine goes before the playback: the player thread's reports from now on go nowhere.
    m_engineReady = false;
    m_powerOff.onAnswer = [](const std::string&) {};
}

PlaybackService& Ringer::playback() {
    return *m_playback;
}

// A new school's library starts with the bells we ship, and says where they came from, or that
// none were found; one it has is left alone.
void Ringer::makeLibrary() {
    const std::string library = bellLibraryFolder(m_folder);
    std::error_code ec;
    if (std::filesystem::is_directory(pathFromUtf8(library), ec)) return;
    const std::string shipped = shippedBellsFolder();
    if (Status s = makeBellLibrary(m_folder, shipped); !s.isOk())
        m_log->warn("铃声库不能建立：" + s.message());
    else if (shipped.empty())
        m_log->warn("铃声库 " + library +
                    " 是空的：没有找到自带的铃声（程序旁边的 media 文件夹，或安装的 "
                    "share/tolvane/media）；请把 MP3 放进铃声库");
    else
        m_log->note("铃声库已建立：" + library + "，放入了自带的铃声（来自 " + shipped + "）");
}

OpenedTables Ringer::openTables() {
    applyOptions();
    OpenedTables opened = openOrCreateTables(m_db, m_folder);
    for (const std::string& e : opened.errors) m_log->warn("铃声计划不能打开：" + e);
    for (const std::string& moved : opened.setAside) {
        m_log->warn("损坏的表文件已改名保存为 " + moved);
        m_setAsideAtStart.push_back(moved);
    }
    for (const std::string& reason : opened.readOnly) m_log->warn("铃声计划只能读取：" + reason);
    m_scheduleReadOnly = !opened.readOnly.empty();
    if (opened.usable()) {
        m_tablesOpen = true;
        sayIndexProblems();
        checkSilentDays(true);
        if (!m_scheduleReadOnly) makeLibrary();
        checkMusic();
        m_musicCheck.start();
    }
    return opened;
}

Result<SettingsRecord> Ringer::applySettings() {
    Status s = selectSettingsRecord(m_db);
    auto settings = s.isOk() ? readSettings(m_db) : Result<SettingsRecord>(s);
    if (!settings.isOk()) return settings;
    m_ring->shutdownPlan() = {settings.value().autoShutdown, settings.value().shutdownTime};
    m_sound->setRandomPlay(settings.value().randomPlay);
    const SpeechVoiceChoice speech{settings.value().voice, settings.value().speechRate};
    // Another voice or rate: every bell's words are made again with it, ahead of the bells.
    if (std::exchange(m_speechChoice, speech) != speech && m_tablesOpen) checkMusic();
    followClock(settings.value().autoCorrectTime);
    // A plan paused by the user stays paused: an option is no reason to ring again.
    if (m_plan == PlanState::kRunning) setPlan(PlanState::kRunning);
    onSettingsApplied.notify(settings.value());
    followWeb();
    return settings;
}

Status Ringer::applyShutdownPlan() {
    if (Status s = selectSettingsRecord(m_db); !s.isOk()) return s;
    auto time = m_db.readText(schema::kShutdownTime);
    if (!time.isOk()) return time.status();
    auto flag = m_db.readLogical(schema::kAutoShutdown);
    if (!flag.isOk()) return flag.status();
    m_ring->shutdownPlan() = {flag.value(), time.value()};
    return Status::ok();
}

void Ringer::followClock(bool checked) {
    if (checked == m_clockCheck.isActive()) return;
    if (!checked) {
        m_clockCheck.stop();
        if (m_clockProblem.empty()) return;
        m_clockProblem.clear();
        stateChanged();
        return;
    }
    m_clockCheck.start();
    checkClock();
}

void Ringer::applyOptions() {
    auto read = readProgramOptions(*FileSystem::platform(), m_folder);
    if (!read.isOk()) {
        if (read.status().message() != m_optionsError)
            m_log->warn("选项不能读取，仍用原来的：" + read.status().message());
        m_optionsError = read.status().message();
        return;
    }
    m_optionsError.clear();
    const ProgramOptions options = std::move(read).value();
    const ProgramOptions before = std::exchange(m_options, options);
    if (options.clockOffsetSeconds != before.clockOffsetSeconds) {
        m_clock.setOffsetSeconds(options.clockOffsetSeconds);
        const int offset = options.clockOffsetSeconds;
        m_log->note(offset == 0 ? std::string("时钟偏移改为 0 秒：铃声按系统时间响起")
                                : "时钟偏移改为 " + std::string(offset > 0 ? "+" : "") +
                                      std::to_string(offset) + " 秒：铃声按系统时间" +
                                      (offset > 0 ? "加 " : "减 ") +
                                      std::to_string(offset > 0 ? offset : -offset) + " 秒响起");
        stateChanged();
    }
    if (options.volumePercent != before.volumePercent)
        m_log->note("铃声音量改为 " + std::to_string(options.volumePercent) + "%");
    {
        std::lock_guard lock(m_choiceMutex);
        m_choice = {options.output, options.volumePercent};
    }
    if (options.output != before.output || (m_watchOutput && !m_outputWatch)) {
        if (options.output != before.output)
            m_log->note(options.output.empty() ? std::string("声音输出改为系统默认的输出")
                                               : "声音输出改为 " + options.output);
        followOutput();
    }
    if (m_tablesOpen) followWeb();
    followMetrics(before);
}

void Ringer::followWeb() {
    if (!m_web) return;  // ringing has ended
    const auto hash = readPasswordHash(m_db);
    // A settings record that cannot be read now keeps the page as it is.
    if (!hash.isOk()) return;
    if (m_web->follow(m_options, !hash.value().empty())) stateChanged();
}

std::string Ringer::webProblem() const {
    return m_web ? m_web->problem() : std::string();
}

const std::string& Ringer::webAddress() const {
    static const std::string none;
    return m_web ? m_web->address() : none;
}

const std::string& Ringer::webFingerprint() const {
    static const std::string none;
    return m_web ? m_web->fingerprint() : none;
}

OutputChoice Ringer::outputChoice() const {
    std::lock_guard lock(m_choiceMutex);
    return m_choice;
}

void Ringer::followOutput() {
    if (!m_watchOutput) return;
    m_outputWatch.reset();  // its reports still queued are for the output before
    const std::string name = m_options.output;
    m_outputWatch = m_watchOutput(name, [this, name](const OutputReport& report) {
        QMetaObject::invokeMethod(
            m_ring.get(),
            [this, report, name] {
                if (name == m_options.output) outputReported(report);
            },
            Qt::QueuedConnection);
    });
}

void Ringer::outputReported(const OutputReport& report) {
    m_outputReport = report;
    m_outputReportFor = m_options.output;
    const std::string problem = [&] {
        const UiTextLanguage ringLogWords(nullptr);  // not for the windows told of it below
        return tolvane::outputProblem(report, m_outputReportFor);
    }();
    if (problem == m_outputProblem) return writeMetrics();  // the volume moved, say
    if (problem.empty())
        m_log->note("声音输出正常：" + report.name);
    else
        m_log->warn(problem);
    m_outputProblem = problem;
    stateChanged();
}

std::string Ringer::outputProblem() const {
    return m_outputProblem.empty() ? std::string()
                                   : tolvane::outputProblem(m_outputReport, m_outputReportFor);
}

bool Ringer::outputCanBeFixed() const {
    return !m_outputProblem.empty() && m_outputReport.present &&
           (m_outputReport.state.muted ||
            m_outputReport.state.volumePercent < kAudibleVolumePercent);
}

Status Ringer::fixOutput() {
    Status s = makeOutputAudible(m_options.output);
    if (s.isOk())
        m_log->note("声音输出已按用户的要求取消静音，音量至少 " +
                    std::to_string(kAudibleVolumePercent) + "%");
    else
        m_log->warn("声音输出不能修复：" + s.message());
    return s;
}

void Ringer::checkClock() {
    const ClockSync sync = m_readClockSync();
    m_clockSync = sync;
    const std::string problem = [&] {
        const UiTextLanguage ringLogWords(nullptr);
        return tolvane::clockProblem(sync);
    }();
    if (problem == m_clockProblem) return;
    if (problem.empty())
        m_log->note("时钟已同步");
    else
        m_log->warn(problem);
    m_clockProblem = problem;
    m_timeSyncOffer = false;
    stateChanged();
    if (problem.empty()) return;
    askTimeSyncOffer([this, alive = std::weak_ptr<int>(m_alive)](bool offered) {
        if (alive.expired() || offered == m_timeSyncOffer) return;
        m_timeSyncOffer = offered;
        stateChanged();
    });
}

std::string Ringer::clockProblem() const {
    return m_clockProblem.empty() ? std::string() : tolvane::clockProblem(m_clockSync);
}

void Ringer::turnOnTimeSync(std::function<void(const std::string&)> done) {
    tolvane::turnOnTimeSync([this, alive = std::weak_ptr<int>(m_alive),
                             done = std::move(done)](const std::string& refusal) {
        if (alive.expired()) return;
        if (refusal.empty()) {
            m_log->note("系统的时间同步（NTP）已按用户的要求开启");
            m_timeSyncOffer = false;
            stateChanged();
        } else {
            m_log->warn("系统的时间同步（NTP）没有开启：" + refusal);
        }
        done(refusal);
    });
}

void Ringer::checkMusic() {
    if (m_musicChecker.joinable()) {
        m_musicCheckAgain = true;  // once the running check has reported
        return;
    }
    auto bells = readBellMusic(m_db);
    if (!bells.isOk()) return;  // the tick says so, and ends the run
    m_musicChecker = std::thread([this, bells = std::move(bells).value(),
                                  spoken = spokenBells(m_db), choice = m_speechChoice] {
        auto unplayable = findUnplayableMusic(bells, unplayableBecause);
        QMetaObject::invokeMethod(
            m_ring.get(),
            [this, unplayable = std::move(unplayable)]() mutable {
                musicChecked(std::move(unplayable));
            },
            Qt::QueuedConnection);
        // Said after the music: making words takes a voice a moment for each text.
        MissingSpeechMade speech = makeMissingSpeech(m_folder, spoken, choice);
        QMetaObject::invokeMethod(
            m_ring.get(),
            [this, speech = std::move(speech)]() mutable {
                speechChecked(std::move(speech.made), std::move(speech.unmade));
            },
            Qt::QueuedConnection);
    });
}

std::string Ringer::readySpeechFile(const std::string& text) const {
    const std::string path = speechFilePath(m_folder, text, m_speechChoice);
    return FileSystem::platform()->exists(path) ? path : std::string();
}

// The checker's last word: it has ended.
void Ringer::speechChecked(std::vector<std::string> made, std::vector<UnmadeSpeech> unmade) {
    m_musicChecker.join();
    for (const std::string& text : made) m_log->note("语音播报已做好：" + text);
    if (unmade != m_unmadeSpeech) {
        for (const UnmadeSpeech& u : unmade)
            if (std::find(m_unmadeSpeech.begin(), m_unmadeSpeech.end(), u) == m_unmadeSpeech.end())
                m_log->warn("语音播报没有做成，铃声只响音乐：" + u.bell.start + " “" + u.bell.text +
                            "”（" + u.why + "）");
        m_unmadeSpeech = std::move(unmade);
        stateChanged();
    }
    if (std::exchange(m_musicCheckAgain, false)) checkMusic();
}

// The next bell's music looked at again a minute before it: a file deleted or damaged since the
// last check is said while there is still time to put it back, not at the bell.
void Ringer::checkMusicBeforeNextBell() {
    constexpr int64_t kAheadS = 60, kLookEveryS = 10;
    const int64_t now = m_clock.nowMs() / 1000;
    if (now < m_nextBellLook) return;
    m_nextBellLook = now + kLookEveryS;
    const auto ms = msToNextBell();
    if (!ms || *ms > kAheadS * 1000) return;
    const int64_t bellWall = (m_clock.nowMs() + *ms) / 1000;
    if (bellWall == m_musicCheckedBefore) return;
    m_musicCheckedBefore = bellWall;
    checkMusic();
}

// A paused plan rings nothing, but the caretaker still sees the list: music deleted or damaged
// meanwhile is marked within half a minute, not only once the plan runs again.
void Ringer::checkMusicWhilePaused() {
    constexpr int64_t kLookEveryS = 30;
    const int64_t now = m_clock.nowMs() / 1000;
    if (m_plan != PlanState::kPaused || now < m_pausedMusicLook) return;
    m_pausedMusicLook = now + kLookEveryS;
    checkMusic();
}

std::optional<int64_t> Ringer::msToNextBell() {
    const auto next = nextBellOf(m_db, m_clock);
    if (!next) return std::nullopt;
    const int64_t nowMs = m_clock.nowMs();
    return secondsUntil(*next, m_clock.toLocal(nowMs / 1000)) * 1000 - nowMs % 1000;
}

// The music's verdict, while the checker goes on to make the bells' words.
void Ringer::musicChecked(std::vector<UnplayableMusic> unplayable) {
    if (unplayable != m_unplayable) {
        // One line for each music newly found, with the times of its bells.
        std::vector<std::pair<std::string, std::string>> lines;  // music and why, then times
        for (const UnplayableMusic& u : unplayable) {
            if (std::find(m_unplayable.begin(), m_unplayable.end(), u) != m_unplayable.end())
                continue;
            const std::string head = u.bell.music + "（" + u.why + "）";
            auto line = std::find_if(lines.begin(), lines.end(),
                                     [&](const auto& l) { return l.first == head; });
            if (line == lines.end()) line = lines.insert(lines.end(), {head, "铃声"});
            line->second += " " + u.bell.start;
        }
        for (const auto& [head, times] : lines)
            m_log->warn("铃声的音乐不能播放：" + head + "：" + times);
        if (unplayable.empty()) m_log->note("每个铃声的音乐都能播放");
        m_unplayable = std::move(unplayable);
        stateChanged();
    }
}

void Ringer::setPlan(PlanState plan) {
    const bool changed = plan != m_plan;
    m_plan = plan;
    const bool running = plan == PlanState::kRunning;
    m_ring->setRunning(running);
    // Awake while bells are due; a paused plan lets the machine sleep.
    if (running)
        m_inhibitor->hold();
    else
        m_inhibitor->release();
    // The clock timer checks the files before each second; a paused plan needs a poll of its own.
    m_follower->setPolling(!running);
    if (changed) stateChanged();
}

PlanState Ringer::togglePlan() {
    setPlan(toggled(m_plan));
    m_log->note(m_plan == PlanState::kRunning ? "计划恢复运行" : "计划暂停");
    return m_plan;
}

void Ringer::changePlan(PlanState plan) {
    setPlan(plan);
}

void Ringer::stopSound() {
    if (m_heldRingNow)
        m_log->note("立即播放取消：停止播放（" + std::exchange(m_heldRingNow, std::nullopt)->who +
                    "）");
    if (m_ringingNow) endRingingNow("立即播放结束：停止播放");
    m_ring->engine().stopByHand();
    followPlayingBell();
}

Status Ringer::ringNow(const std::string& music, bool repeat, const std::string& who) {
    if (const std::string why = unstorableTextReason(music); !why.empty())
        return Status::invalidArgument(why);
    // Looked at before the file is opened: in the second before a bell, not even a decode.
    if (bellInTheWay()) {
        if (m_heldRingNow)
            m_log->note("立即播放取消：又有新的立即播放（" + m_heldRingNow->who + "）");
        m_heldRingNow = HeldRingNow{music, repeat, who};
        m_log->note("立即播放等铃声响完再进行：" + music + "（" + who + "）");
        m_ringingNowWatch.start();
        return Status::ok();
    }
    // The first frame of a file is decoded here, on the ringing thread: a moment, asked by a
    // person, never at a bell's second.
    if (auto why = unplayableWarning(music, unplayableBecause)) return Status::notFound(*why);
    m_log->note("立即播放：" + music + (repeat ? "，重复播放直到停止" : "") + "（" + who + "）");
    startRingingNow(music, repeat);
    return Status::ok();
}

bool Ringer::bellInTheWay() {
    if (m_ring->engine().bellPlaying()) return true;
    if (m_plan != PlanState::kRunning) return false;
    const auto ms = msToNextBell();
    return ms && *ms <= kRingNowHoldMs;
}

void Ringer::startRingingNow(const std::string& music, bool repeat) {
    m_trialEnd.stop();
    m_sound->start(music, {});
    m_ringingNow = RingingNow{music, repeat, m_playback->lastRequest()};
    m_ringingNowWatch.start();
    stateChanged();
}

void Ringer::followRingingNow() {
    if (m_heldRingNow && !bellInTheWay()) {
        const HeldRingNow held = *std::exchange(m_heldRingNow, std::nullopt);
        if (Status s = ringNow(held.music, held.repeat, held.who); !s.isOk())
            m_log->warn("立即播放没有进行：" + s.message() + "（" + held.who + "）");
    }
    if (!m_ringingNow) {
        if (!m_heldRingNow) m_ringingNowWatch.stop();
        return;
    }
    if (m_playback->lastRequest() != m_ringingNow->request) {
        // Another play or a stop took the output: a bell of the schedule, at its second.
        if (const auto bell = m_ring->engine().playingBell())
            return endRingingNow("立即播放被 " + timeText(bell->second) + " 的铃声打断");
        return endRingingNow("立即播放结束");
    }
    if (m_playback->playing()) return;
    if (!m_ringingNow->repeat) return endRingingNow("立即播放结束：播放完毕");
    m_sound->start(m_ringingNow->music, {});
    m_ringingNow->request = m_playback->lastRequest();
}

void Ringer::endRingingNow(const std::string& why) {
    m_ringingNow.reset();
    if (!m_heldRingNow) m_ringingNowWatch.stop();
    m_log->note(why);
    stateChanged();
}

void Ringer::takeRequest() {
    if (m_requestReader.joinable()) {
        m_requestAgain = true;  // once the running read has reported
        return;
    }
    m_requestReader = std::thread([this] {
        TakenRingRequest taken =
            takeRingRequest(*FileSystem::platform(), m_folder, std::to_string(currentProcessId()),
                            systemClock().nowMs());
        QMetaObject::invokeMethod(
            m_ring.get(), [this, taken = std::move(taken)] { requestTaken(taken); },
            Qt::QueuedConnection);
    });
}

void Ringer::requestTaken(const TakenRingRequest& taken) {
    m_requestReader.join();
    if (std::exchange(m_requestAgain, false)) takeRequest();
    if (!taken.refused.empty())
        m_log->warn(std::string(kRingRequestFile) + " 不是 tolvanectl 放的请求，已删除：" +
                    taken.refused);
    const std::optional<RingRequest>& request = taken.request;
    if (!request) return;
    if (request->kind == RingRequest::Kind::kStop) {
        m_log->note("停止播放（" + request->who + "）");
        return stopSound();
    }
    // A request by file may ring what the school put in its library or schedule, nothing else.
    if (const std::string why = ringNowMusicProblem(m_db, m_folder, request->music); !why.empty())
        return m_log->warn("立即播放没有进行：" + why + "（" + request->who + "）");
    if (Status s = ringNow(request->music, request->repeat, request->who); !s.isOk())
        m_log->warn("立即播放没有进行：" + s.message() + "（" + request->who + "）");
}

std::optional<RingerState::Bell> Ringer::playingBell() {
    const auto playing = m_ring->engine().playingBell();
    if (!playing) return std::nullopt;
    RingerState::Bell bell{playing->second, playing->music, {}};
    // Its end as the table has it: the bell of that second with that music.
    const auto& t = playing->second;
    if (auto bells = readBells(m_db, ringDayOf(m_db, t).bells); bells.isOk())
        for (const BellRecord& b : bells.value())
            if (b.sortValue == sortValue(t.hour, t.minute, t.second) && b.music == bell.music)
                bell.end = b.end;
    return bell;
}

void Ringer::followPlayingBell() {
    const auto playing = m_ring->engine().playingBell();
    const bool same = playing.has_value() == m_playingTold.has_value() &&
                      (!playing || (timeText(playing->second) == timeText(m_playingTold->start) &&
                                    playing->music == m_playingTold->music));
    if (same) return;
    m_playingTold = playing ? std::optional<RingerState::Bell>(
                                  RingerState::Bell{playing->second, playing->music, {}})
                            : std::nullopt;
    stateChanged();
}

void Ringer::stateChanged() {
    publishState();
    writeMetrics();
    onStateChanged.notify();
}

void Ringer::publishState() {
    if (m_shutDown) return;
    const UiTextLanguage ringLogWords(nullptr);
    const Status s = writeRingerState(*FileSystem::platform(), m_folder,
                                      std::to_string(currentProcessId()), state());
    // Said once: a folder that cannot be written keeps refusing, and the bells ring all the same.
    if (!s.isOk() && s.message() != m_stateFileError)
        m_log->warn("响铃状态不能写入（tolvanectl status 只能推测）：" + s.message());
    m_stateFileError = s.isOk() ? std::string() : s.message();
}

RingerState Ringer::state() {
    RingerState s;
    s.plan = m_plan;
    s.playing = playingBell();
    if (m_ringingNow) {
        s.ringingNow = m_ringingNow->music;
        s.ringingNowRepeats = m_ringingNow->repeat;
    }
    s.notices = m_notices;
    s.next = nextBellOf(m_db, m_clock);
    s.clockOffsetSeconds = m_options.clockOffsetSeconds;
    using Kind = RingerProblemKind;
    if (m_scheduleReadOnly)
        s.problems.push_back({Kind::kScheduleReadOnly,
                              uiText("Ringer", "铃声计划只能读取：铃声照常响起，但不能修改")});
    for (const DamagedFile& d : m_damaged)
        s.problems.push_back(
            {Kind::kScheduleDamaged,
             fillIn(uiText("Ringer", "表文件 %1 已损坏（%2）：铃声按原来读到的计划响起%3"),
                    {d.table.path, d.table.why,
                     d.copy.empty()
                         ? ""
                         : fillIn(uiText("Ringer", "；损坏的文件已复制为 %1"), {d.copy})})});
    for (const std::string& p : readTimetableIndex(m_db).problems)
        s.problems.push_back({Kind::kScheduleDamaged, p});
    for (const std::string& moved : m_setAsideAtStart)
        s.problems.push_back(
            {Kind::kScheduleDamaged,
             fillIn(uiText("Ringer", "表文件已损坏，不能读取：已改名保存为 %1，并新建了一个空的表"),
                    {moved})});
    // Found in the log's Chinese; said again in the reader's language, only when there are any.
    if (!m_silentDays.empty())
        for (const std::string& p : silentDayProblems(m_db, m_silentDaysDate))
            s.problems.push_back({Kind::kSilentDays, p});
    if (const std::string said = outputProblem(); !said.empty())
        s.problems.push_back({Kind::kOutput, said});
    if (const std::string said = clockProblem(); !said.empty())
        s.problems.push_back({Kind::kClock, said});
    if (const std::string said = webProblem(); !said.empty())
        s.problems.push_back({Kind::kWeb, said});
    for (const UnplayableMusic& u : m_unplayable) {
        const RingerProblem music{Kind::kMusic, unplayableSaid(u)};
        if (std::find(s.problems.begin(), s.problems.end(), music) == s.problems.end())
            s.problems.push_back(music);
    }
    for (const UnmadeSpeech& u : m_unmadeSpeech)
        s.problems.push_back({Kind::kSpeech, unmadeSpeechSaid(u)});
    if (!m_metricsProblem.empty())
        s.problems.push_back({Kind::kMetrics, fillIn(uiText("Ringer", "监控指标不能写入 %1：%2"),
                                                     {m_options.metricsDir, m_metricsProblem})});
    s.unplayableBells = m_unplayable.size();
    s.unplayable = m_unplayable;
    s.outputCanBeFixed = outputCanBeFixed();
    s.timeSyncCanBeTurnedOn = timeSyncCanBeTurnedOn();
    s.webAddress = webAddress();
    s.webFingerprint = webFingerprint();
    if (m_web) s.webAddresses = m_web->addresses();
    return s;
}

void Ringer::makeSpeechThen(const std::string& text,
                            std::function<void(Result<std::string> file)> done) {
    const SpeechVoiceChoice choice = speechVoiceChoice(m_db);
    auto made = std::make_shared<Status>();
    // Never on this thread: it ticks the bells, and a voice reads for a moment.
    QThread* maker = QThread::create(
        [made, folder = m_folder, text, choice] { *made = makeSpeech(folder, text, choice); });
    QObject::connect(
        maker, &QThread::finished, m_ring.get(),
        [made, done = std::move(done), file = speechFilePath(m_folder, text, choice)] {
            done(made->isOk() ? Result<std::string>(file) : Result<std::string>(*made));
        });
    QObject::connect(maker, &QThread::finished, maker, &QObject::deleteLater);
    maker->start();
}

void Ringer::trySpeech(std::function<void(const std::string& why)> done) {
    // Chinese whatever the window's language: the voices are Chinese.
    makeSpeechThen("语音播报试听：第3节课上课，请同学们在8:05前回到教室。",
                   [this, done = std::move(done)](Result<std::string> file) {
                       if (!file.isOk()) return done(file.status().message());
                       m_trialEnd.stop();
                       m_playback->play({file.value()}, 1);
                       done({});
                   });
}

bool Ringer::tryNextBell() {
    m_follower->check();  // the bells as they are on disk this moment
    const auto next = nextBellOf(m_db, m_clock);
    if (!next) return false;
    m_sound->start(next->bell.music, next->bell.spoken());
    m_trialEnd.start();
    return true;
}

std::optional<ClockMatch> Ringer::offsetToNearestBell() {
    m_follower->check();
    const Clock& system = systemClock();
    return tolvane::offsetToNearestBell(m_db, system.toLocal(system.nowMs() / 1000));
}

void Ringer::calendarChanged() {
    m_ring->engine().forgetCalendarDay();
}

// A file that turned damaged (cut short by a copy caught halfway, say) is never written over: its
// table rings as last read whole, and a copy of the file as it is now is kept beside it once, for
// whoever mends it; the file itself stays, as the copy may yet finish.
void Ringer::followDamagedTables(const std::vector<DamagedTable>& now) {
    std::vector<DamagedFile> damaged;
    for (const DamagedTable& table : now) {
        const auto known =
            std::find_if(m_damaged.begin(), m_damaged.end(),
                         [&](const DamagedFile& d) { return d.table.path == table.path; });
        if (known != m_damaged.end()) {
            damaged.push_back({table, known->copy});
            continue;
        }
        auto copy = copyAside(*FileSystem::platform(), table.path);
        const std::string kept =
            copy.isOk() ? "已复制为 " + copy.value() : "不能复制：" + copy.status().message();
        m_log->warn("表文件已损坏，不能读取，仍按原来读到的响铃：" + table.path + "：" + table.why +
                    "；" + kept);
        damaged.push_back({table, copy.isOk() ? copy.value() : std::string()});
    }
    for (const DamagedFile& before : m_damaged)
        if (std::none_of(damaged.begin(), damaged.end(),
                         [&](const DamagedFile& d) { return d.table.path == before.table.path; }))
            m_log->note("表文件又能读取了：" + before.table.path);
    const bool said =
        damaged.size() != m_damaged.size() ||
        !std::equal(damaged.begin(), damaged.end(), m_damaged.begin(),
                    [](const DamagedFile& a, const DamagedFile& b) { return a.table == b.table; });
    m_damaged = std::move(damaged);
    if (said) stateChanged();
}

// Each once, when the index comes to hold it.
void Ringer::sayIndexProblems() {
    std::vector<std::string> now = readTimetableIndex(m_db).problems;
    for (const std::string& p : now)
        if (std::find(m_indexProblems.begin(), m_indexProblems.end(), p) == m_indexProblems.end())
            m_log->warn(std::string(schema::kTimetableFile) + "：" + p);
    m_indexProblems = std::move(now);
}

void Ringer::onTablesChanged(const ReloadedTables& reloaded) {
    for (const std::string& e : reloaded.errors)
        m_log->warn("表文件被更改但不能读取，仍用原来的：" + e);
    followDamagedTables(reloaded.damaged);
    if (reloaded.bells) {
        m_log->note(std::string(schema::kBellFile) + " 被更改：重新读取铃声计划");
        checkMusic();
    }
    if (reloaded.calendar) {
        m_log->note(std::string(schema::kCalendarFile) + " 被更改：重新读取校历");
        calendarChanged();
    }
    if (reloaded.timetables) {
        m_log->note(std::string(schema::kTimetableFile) + " 被更改：重新读取作息表");
        sayIndexProblems();
        // Today's timetable may be another now, or hold other bells.
        calendarChanged();
        checkMusic();
    }
    Status settings = Status::ok();
    if (reloaded.settings) {
        m_log->note(std::string(schema::kSettingsFile) + " 被更改：重新读取设置");
        // A settings table that cannot be read now ends nothing: the settings in use stay.
        settings = applySettings().status();
        if (!settings.isOk()) m_log->warn("设置不能读取，仍用原来的：" + settings.message());
    }
    if (reloaded.bells || reloaded.calendar || reloaded.timetables) checkSilentDays(true);
    onReloaded.notify(reloaded, settings);
}

// Looked at when the tables change and once a day (a calendar day passed is no longer said);
// each new cause is written to the ring log once.
void Ringer::checkSilentDays(bool tablesChanged) {
    const std::string today = dateText(m_clock.toLocal(m_clock.nowMs() / 1000));
    if (!tablesChanged && today == m_silentDaysDate) return;
    m_silentDaysDate = today;
    std::vector<std::string> now;
    {
        const UiTextLanguage ringLogWords(nullptr);
        now = silentDayProblems(m_db, today);
    }
    if (now == m_silentDays) return;
    for (const std::string& p : now)
        if (std::find(m_silentDays.begin(), m_silentDays.end(), p) == m_silentDays.end())
            m_log->warn(p);
    m_silentDays = std::move(now);
    stateChanged();
}

void Ringer::shutDown(const std::string& lastLine) {
    if (m_shutDown) return;
    m_shutDown = true;
    m_web.reset();
    m_outputWatch.reset();
    m_engineReady = false;
    m_ring->setRunning(false);
    m_follower->setPolling(false);
    m_clockCheck.stop();
    m_musicCheck.stop();
    m_playback->stop();
    m_inhibitor->release();
    m_metricsTimer.stop();
    writeMetrics(false);
    removeRingerState(*FileSystem::platform(), m_folder);
    // Whoever reads the log after a stop learns at once whether bells went unrung for it.
    const int left = m_tablesOpen ? bellsLeftToday(m_db, m_clock) : 0;
    m_log->note(lastLine + (left > 0 ? "：今天还有 " + std::to_string(left) + " 个铃声不会响起"
                                     : std::string("：今天没有要响的铃声了")));
    m_log->flush();
}

}  // namespace tolvane
