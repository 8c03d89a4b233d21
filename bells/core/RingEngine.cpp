// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingEngine.h"

#include <algorithm>
#include <optional>

#include "bells/core/PlayList.h"
#include "platform/FolderListing.h"
#include "schedule/core/Schema.h"

namespace tolvane {

namespace {
int64_t floorDiv1000(int64_t ms) {
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}
}  // namespace

// The tick's sound, with each start and stop told to the log.
class RingEngine::LoggedSound final : public BellSound {
public:
    LoggedSound(RingEngine& engine, const LocalTime& second, int64_t epochMs)
        : m_engine(engine), m_second(second), m_epochMs(epochMs) {}
    void start(const std::string& music, const std::string& speech) override {
        const std::string speechFile = speech.empty() || !m_engine.m_speechFile
                                           ? std::string()
                                           : m_engine.m_speechFile(speech);
        {
            std::lock_guard<std::mutex> lock(m_engine.m_bellMutex);
            if (m_engine.m_playing) m_engine.stoppedLocked("被下一个铃声替换");
            m_engine.m_playing = true;
            m_engine.m_awaitingFirstSample = true;
            m_engine.m_inaudibleBecause.clear();
            m_engine.m_lastSkip.clear();
            m_engine.m_bellSecond = m_second;
            m_engine.m_bellMusic = music;
            m_engine.m_bellEpochMs = m_epochMs;
            m_engine.m_bellSpeech = speech;
            m_engine.m_bellSpeechFile = speechFile;
            m_engine.m_awaitingSpeech = !speechFile.empty();
        }
        m_engine.m_log->bellStarted(m_second, music);
        // Without a way to find speech (a dry run), nothing is said of it.
        if (!speech.empty() && speechFile.empty() && m_engine.m_speechFile)
            m_engine.m_log->warn(m_engine.speechLine(m_second, speech, "语音还没有做好，只响音乐"));
        if (!countsAsFile(music) && listMp3Files(music).empty()) {
            m_engine.m_log->warn("跳过铃声：文件夹里没有MP3文件（" + music + "）");
            std::lock_guard<std::mutex> lock(m_engine.m_bellMutex);
            m_engine.m_lastSkip = "文件夹里没有MP3文件（" + music + "）";
        }
        m_engine.m_sound.start(music, speech);
    }
    void stop() override {
        m_engine.stopped("到了结束时间");
        m_engine.m_sound.stop();
    }

private:
    RingEngine& m_engine;
    LocalTime m_second;
    int64_t m_epochMs;
};

class RingEngine::LoggedPowerOff final : public PowerOff {
public:
    explicit LoggedPowerOff(RingEngine& engine) : m_engine(engine) {}
    void requestPowerOff() override {
        m_engine.m_log->note("自动关机：请求关机（" + m_engine.m_shutdown.time + "）");
        m_engine.m_powerOff.requestPowerOff();
    }

private:
    RingEngine& m_engine;
};

RingEngine::RingEngine(TableDatabase& db, const Clock& clock, BellSound& sound, PowerOff& powerOff)
    : m_db(db), m_clock(clock), m_sound(sound), m_powerOff(powerOff) {}

int RingEngine::msToNextSecond() const {
    const int64_t now = m_clock.nowMs();
    return static_cast<int>((floorDiv1000(now) + 1) * 1000 - now);
}

void RingEngine::noteClockStep(int64_t wall) {
    const int64_t step = wall - (m_lastWall + 1);
    // A jump forward is told with the bells it passed over (ringPassedOver).
    if (m_lastWall != 0 && step < 0) nameBellsSteppedBack(wall, -step);
    m_lastWall = wall;
}

// The day's calendar and timetable, said when the day begins and when a change of the tables
// makes them another; a change that leaves them as they were (a bell edited) says nothing.
void RingEngine::noteDay(const LocalTime& t, const RingDay& day) {
    std::vector<std::string> lines;
    if (day.fromCalendar)
        lines.push_back(day.startsBells ? "校历：" + dateText(t) + " 按" +
                                              weekdayFieldName(day.weekday) + "响铃"
                                        : "校历：" + dateText(t) + " 放假，不响铃");
    if (!day.timetableLine.empty()) lines.push_back(day.timetableLine);
    const std::string noted = dateText(t) + "\n" + (lines.empty() ? "" : lines[0]) + "\n" +
                              (lines.size() > 1 ? lines[1] : "");
    if (noted == m_dayNoted) return;
    m_dayNoted = noted;
    for (const std::string& line : lines) m_log->note(line);
}

Status RingEngine::processDueSeconds() {
    // Paced on the local wall clock as one line of seconds: the autumn hour, which repeats the
    // same local times, is then a step back like an NTP correction, and rings nothing twice.
    const int64_t epoch = floorDiv1000(m_clock.nowMs());
    const int64_t wall = civilToEpochSeconds(m_clock.toLocal(epoch));
    if (wall == m_lastWall) return Status::ok();
    const int64_t previousWall = m_lastWall;
    noteClockStep(wall);
    const std::vector<int64_t> due = m_pacer.secondsDue(wall);
    if (due.size() > 1) m_log->warn("补响迟到的 " + std::to_string(due.size() - 1) + " 秒");
    LoggedPowerOff powerOff(*this);
    std::optional<RingDay> today;  // of wall, once it is processed
    for (int64_t second : due) {
        const LocalTime t = civilFromEpochSeconds(second);
        bool newDay = false;
        const RingDay day = m_ringDay.of(m_db, t, &newDay);
        if (newDay) noteDay(t, day);
        if (second == wall && previousWall != 0 &&
            wall - (previousWall + 1) > SecondPacer::kMaxCatchUp)
            if (Status s = ringPassedOver(previousWall, wall, epoch, t, day); !s.isOk()) return s;
        LoggedSound sound(*this, t, (epoch - (wall - second)) * 1000);
        if (Status s = runClockTick(m_db, t, day, m_shutdown, powerOff, sound); !s.isOk()) return s;
        if (second == wall) today = day;
    }
    if (today && m_sound.preparesAhead()) prepareNextSecond(wall, *today);
    return Status::ok();
}

void RingEngine::prepareNextSecond(int64_t wall, const RingDay& day) {
    // Not across midnight: the next day's calendar is read when the day comes.
    const LocalTime next = civilFromEpochSeconds(wall + 1);
    if (next.hour == 0 && next.minute == 0 && next.second == 0) return;
    const std::string text = timeText(next);
    Result<std::vector<ScheduledBell>> bells = bellsStartingBetween(m_db, day, text, text);
    // The last one started is the one heard. A table that cannot be read now is the tick's to
    // report, next second.
    if (bells.isOk() && !bells.value().empty())
        m_sound.prepare(bells.value().back().music, bells.value().back().speech);
}

namespace {

// A stored start reads as a time of day; one that does not (a table edited by hand) as
// midnight, whose bells a jump of the clock never passes over.
int64_t secondOfDay(const std::string& clockText) {
    return parseTimeOfDay(clockText).value_or(0);
}

}  // namespace

Status RingEngine::ringPassedOver(int64_t previousWall, int64_t wall, int64_t epoch,
                                  const LocalTime& now, const RingDay& day) {
    const std::string jump = "时钟向前跳了 " + std::to_string(wall - (previousWall + 1)) + " 秒：";
    const int64_t midnight = wall - secondOfDay(now);
    const int64_t from = std::max(previousWall + 1, midnight);
    Result<std::vector<ScheduledBell>> passed = std::vector<ScheduledBell>{};
    if (from <= wall - 1)
        passed = bellsStartingBetween(m_db, day, timeText(civilFromEpochSeconds(from)),
                                      timeText(civilFromEpochSeconds(wall - 1)));
    if (!passed.isOk()) return passed.status();
    if (passed.value().empty()) {
        m_log->warn(jump + "其间没有铃声");
        return Status::ok();
    }
    // The latest start wins, as when bells start on one second: the last one started plays.
    size_t latest = 0;
    for (size_t i = 1; i < passed.value().size(); ++i)
        if (passed.value()[i].start >= passed.value()[latest].start) latest = i;
    const std::string nowText = timeText(now);
    for (size_t i = 0; i < passed.value().size(); ++i) {
        const ScheduledBell& bell = passed.value()[i];
        const int64_t lateS = (wall - midnight) - secondOfDay(bell.start);
        const bool stillOn = bell.end.empty() ? lateS <= kRingLateAtMostS : bell.end > nowText;
        if (i != latest || !stillOn) {
            m_log->bellSkipped(jump + bell.start + " 的铃声没有响（" + bell.music + "）");
            continue;
        }
        m_log->warn(jump + bell.start + " 的铃声现在补响，迟到 " + std::to_string(lateS) + " 秒");
        const int64_t bellWall = wall - lateS;
        m_pacer.treatAsProcessed(bellWall);
        LoggedSound sound(*this, civilFromEpochSeconds(bellWall), (epoch - lateS) * 1000);
        sound.start(bell.music, bell.speech);
    }
    return Status::ok();
}

void RingEngine::nameBellsSteppedBack(int64_t wall, int64_t back) {
    const std::string jump = "时钟向回调了 " + std::to_string(back) + " 秒：";
    const LocalTime now = civilFromEpochSeconds(wall);
    const LocalTime last = civilFromEpochSeconds(m_lastWall);
    if (now.year != last.year || now.month != last.month || now.day != last.day) {
        m_log->warn(jump + "跨过了午夜，其间的铃声不会再响");
        return;
    }
    // The seconds from wall to the last one come round again: those already processed are not
    // processed again; those a jump forward passed over still ring at their seconds.
    Result<std::vector<ScheduledBell>> bells =
        bellsStartingBetween(m_db, ringDayOf(m_db, now), timeText(now), timeText(last));
    if (!bells.isOk() || bells.value().empty()) {
        m_log->warn(jump + "其间没有铃声");
        return;
    }
    const int64_t midnight = wall - secondOfDay(now);
    for (const ScheduledBell& bell : bells.value()) {
        const bool again = !m_pacer.wasProcessed(midnight + secondOfDay(bell.start));
        m_log->warn(jump + bell.start + (again ? " 的铃声到时会响（" : " 的铃声不会再响（") +
                    bell.music + "）");
    }
}

void RingEngine::stopped(const std::string& why) {
    std::lock_guard<std::mutex> lock(m_bellMutex);
    stoppedLocked(why);
}

void RingEngine::stoppedLocked(const std::string& why) {
    if (!m_playing) return;
    m_playing = false;
    // Its words were still to come: cut as the music was.
    if (std::exchange(m_awaitingSpeech, false))
        m_log->warn(speechLine(m_bellSecond, m_bellSpeech, "语音没有播出：" + why));
    m_log->note("铃声停止：" + why);
}

std::string RingEngine::speechLine(const LocalTime& second, const std::string& text,
                                   const std::string& what) {
    return "语音播报：" + text + "（" + timeText(second) + " 的铃声，" + what + "）";
}

void RingEngine::setSpeechFile(std::function<std::string(const std::string& text)> speechFile) {
    std::lock_guard<std::mutex> lock(m_bellMutex);
    m_speechFile = std::move(speechFile);
}

bool RingEngine::bellPlaying() {
    std::lock_guard lock(m_bellMutex);
    return m_playing;
}

std::optional<RingEngine::PlayingBell> RingEngine::playingBell() {
    std::lock_guard lock(m_bellMutex);
    if (!m_playing) return std::nullopt;
    return PlayingBell{m_bellSecond, m_bellMusic};
}

void RingEngine::stopByHand() {
    stopped("停止按钮");
    m_sound.stop();
}

void RingEngine::onFirstSample(const std::string& file, const std::string& inaudibleBecause,
                               bool audibilityKnown) {
    std::lock_guard<std::mutex> lock(m_bellMutex);
    if (m_awaitingSpeech && file == m_bellSpeechFile) {
        m_awaitingSpeech = false;
        if (!inaudibleBecause.empty())
            m_log->warn(
                speechLine(m_bellSecond, m_bellSpeech, "语音没有被听到：" + inaudibleBecause));
        else
            m_log->note(speechLine(m_bellSecond, m_bellSpeech,
                                   audibilityKnown ? "语音响起" : "语音已播放，能否听到未知"));
    }
    if (!m_awaitingFirstSample) return;
    m_awaitingFirstSample = false;
    m_inaudibleBecause = inaudibleBecause;
    const int64_t lateMs = m_clock.nowMs() - m_bellEpochMs;
    if (!inaudibleBecause.empty())
        m_log->bellInaudible(m_bellSecond, inaudibleBecause);
    else if (audibilityKnown)
        m_log->bellHeard(m_bellSecond, lateMs);
    else
        m_log->bellPlayedUnverified(m_bellSecond, lateMs);
}

void RingEngine::onListEnded() {
    std::string why;
    {
        std::lock_guard<std::mutex> lock(m_bellMutex);
        // Nothing of the list was played (its files missing or damaged): a bell nobody heard,
        // never one played out.
        if (m_playing && m_awaitingFirstSample) {
            m_awaitingFirstSample = false;
            m_log->bellInaudible(m_bellSecond,
                                 m_lastSkip.empty() ? "没有可以播放的文件" : m_lastSkip);
            why = "没有放出任何声音";
        }
    }
    if (!why.empty()) return stopped(why);
    {
        std::lock_guard<std::mutex> lock(m_bellMutex);
        why = m_inaudibleBecause;
    }
    stopped(why.empty() ? "播放完毕" : "放完了，但没有人听得到（" + why + "）");
}

void RingEngine::onFileSkipped(const std::string& file, const std::string& why) {
    m_log->warn("跳过文件：" + file + "（" + why + "）");
    std::lock_guard<std::mutex> lock(m_bellMutex);
    m_lastSkip = file + "（" + why + "）";
}

void RingEngine::onNoOutput() {
    m_log->warn("没有声音输出：没有声音服务器或设备接收声音");
    // The list ends here unplayed: its end is not "played out".
    stopped("没有声音输出");
}

}  // namespace tolvane
