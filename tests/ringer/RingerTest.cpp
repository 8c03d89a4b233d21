// SPDX-License-Identifier: GPL-3.0-or-later
// The ringer as both programs compose it, on real table files, with a manual clock and clock
// timer, and the ring log and sleep inhibitor recorded: what a changed table, a changed setting, a
// pause and the end do.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bells/qt/TableFollower.h"
#include "ringer/Ringer.h"
#include "schedule/core/BellEditing.h"
#include "tests/support/ManualTickTimer.h"
#include "tests/support/Recorders.h"
#include "tests/support/SilentBell.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

class RecordingLog final : public RingLog {
public:
    void note(const std::string& line) override { lines.push_back(line); }
    void warn(const std::string& line) override { lines.push_back("! " + line); }
    void flush() override { flushed = true; }
    bool has(const std::string& piece) const {
        for (const std::string& line : lines)
            if (line.find(piece) != std::string::npos) return true;
        return false;
    }
    std::vector<std::string> lines;
    bool flushed = false;
};

class RecordingInhibitor final : public SleepInhibitor {
public:
    void hold() override { held = true; }
    void release() override { held = false; }
    bool held = false;
};

class RingerTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto log = std::make_unique<RecordingLog>();
        auto inhibitor = std::make_unique<RecordingInhibitor>();
        auto tick = std::make_unique<test::ManualTickTimer>();
        m_log = log.get();
        m_inhibitor = inhibitor.get();
        m_tick = tick.get();
        m_ringer = std::make_unique<Ringer>(Ringer::Options{
            m_dir.path(), m_powerOff,
            [](const PcmFormat&) { return std::unique_ptr<PcmSink>(new test::EndlessSink); },
            std::move(log), std::move(inhibitor), &m_clock, std::move(tick),
            [this] {
                ++m_clockReads;
                return m_clockSync;
            }});
        ASSERT_TRUE(m_ringer->openTables().usable());
        ASSERT_TRUE(m_ringer->applySettings().isOk());
        m_ringer->setPlan(PlanState::kRunning);
    }
    // Another program (tolvanectl, a synchronised copy) changes the settings table.
    void changeSettingsElsewhere(const char* field, bool on) {
        TableDatabase other;
        openOrCreateTables(other, m_dir.path());
        ASSERT_TRUE(selectSettingsRecord(other).isOk());
        ASSERT_TRUE(other.write(field, on).isOk());
    }

    test::TempDir m_dir;
    test::RecordingSound m_powerOff;
    ManualClock m_clock{int64_t{1796724000} * 1000 + 250};  // 2026-12-08 10:00:00.250
    RecordingLog* m_log = nullptr;
    RecordingInhibitor* m_inhibitor = nullptr;
    test::ManualTickTimer* m_tick = nullptr;
    ClockSync m_clockSync{true, true, {}};
    int m_clockReads = 0;
    std::unique_ptr<Ringer> m_ringer;
};

TEST_F(RingerTest, TheStateSaysThePlanAndTheBellPlayingAndEveryListenerHearsEachChange) {
    int first = 0, second = 0;
    const Subscription kept = m_ringer->onStateChanged.add([&] { ++first; });
    {
        const Subscription gone = m_ringer->onStateChanged.add([&] { ++second; });
        m_ringer->togglePlan();
        EXPECT_EQ(m_ringer->state().plan, PlanState::kPaused);
        m_ringer->setPlan(PlanState::kPaused);  // no change, no news
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 1);
    }
    m_ringer->togglePlan();
    EXPECT_EQ(m_ringer->state().plan, PlanState::kRunning);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1) << "a listener whose subscription ended was told";

    // A bell at 10:00:01 until 10:00:30: the second that starts it is news once, and so is Stop.
    const std::string music = m_dir.file("bell.mp3");
    test::writeSilentMp3(music, 400);
    BellForm form{{"10", "00", "01"}, true, {"10", "00", "30"}, music, {}};
    form.weekdays.fill(true);
    ASSERT_TRUE(addBell(m_ringer->db(), form).changed);
    ASSERT_TRUE(m_ringer->state().next.has_value());
    EXPECT_EQ(m_ringer->state().next->bell.start, "10:00:01");
    EXPECT_FALSE(m_ringer->state().playing.has_value());
    for (int tick = 0; tick < 2; ++tick) {
        m_clock.advanceMs(1000);
        m_tick->onTimeout();
    }
    const RingerState playing = m_ringer->state();
    ASSERT_TRUE(playing.playing.has_value());
    EXPECT_EQ(timeText(playing.playing->start), "10:00:01");
    EXPECT_EQ(playing.playing->music, music);
    EXPECT_EQ(playing.playing->end, "10:00:30");
    EXPECT_EQ(first, 3) << "the bell's start was told other than once";
    m_ringer->stopSound();
    EXPECT_FALSE(m_ringer->state().playing.has_value());
    EXPECT_EQ(first, 4);
}

TEST_F(RingerTest, AClockThatIsNotSynchronisedIsSaidOnceUntilItIsAgainOrNotChecked) {
    EXPECT_EQ(m_clockReads, 1) << "自动校正时间 is on in a new settings table: checked at once";
    int changes = 0;
    const Subscription counted = m_ringer->onStateChanged.add([&] { ++changes; });
    m_clockSync = {true, false, "没有时间同步（NTP）在校正系统时钟"};
    {
        // Found while this thread reads English (the web page's reader): said to it in English,
        // and in the ring log's own words.
        const UiTextTranslator english = [](const char*, const char* source) -> std::string {
            const std::string text = source;
            if (text == "时钟未同步：%1") return "The clock is not synchronised: %1";
            if (text == "没有时间同步（NTP）在校正系统时钟") return "no NTP";
            return {};
        };
        const UiTextLanguage reader(&english);
        m_ringer->checkClock();
        EXPECT_EQ(m_ringer->clockProblem(), "The clock is not synchronised: no NTP");
    }
    m_ringer->checkClock();
    EXPECT_EQ(m_ringer->clockProblem(), "时钟未同步：没有时间同步（NTP）在校正系统时钟");
    const std::vector<RingerProblem> problems = m_ringer->state().problems;
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, RingerProblemKind::kClock);
    EXPECT_EQ(problems[0].text, m_ringer->clockProblem());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(std::count(m_log->lines.begin(), m_log->lines.end(),
                         "! 时钟未同步：没有时间同步（NTP）在校正系统时钟"),
              1);
    m_clockSync.synchronised = true;
    m_ringer->checkClock();
    EXPECT_TRUE(m_ringer->clockProblem().empty());
    EXPECT_EQ(m_log->lines.back(), "时钟已同步");

    // Turned off: nothing is said of the clock, and it is no longer read.
    m_clockSync.synchronised = false;
    m_ringer->checkClock();
    changeSettingsElsewhere(schema::kAutoCorrectTime, false);
    m_ringer->follower().check();
    EXPECT_TRUE(m_ringer->clockProblem().empty());
    EXPECT_EQ(changes, 4);
    const int reads = m_clockReads;
    changeSettingsElsewhere(schema::kRandomPlay, false);
    m_ringer->follower().check();
    EXPECT_EQ(m_clockReads, reads);
}

TEST_F(RingerTest, APauseHoldsThroughChangedSettingsAndTheMachineMaySleepMeanwhile) {
    EXPECT_TRUE(m_inhibitor->held);
    EXPECT_GE(m_tick->armedMs, 0);
    EXPECT_EQ(m_ringer->togglePlan(), PlanState::kPaused);
    EXPECT_FALSE(m_inhibitor->held);
    EXPECT_EQ(m_tick->armedMs, -1);
    EXPECT_TRUE(m_log->has("计划暂停"));

    changeSettingsElsewhere(schema::kRandomPlay, false);
    changeSettingsElsewhere(schema::kAutoShutdown, true);
    m_ringer->follower().check();
    EXPECT_FALSE(m_ringer->sound().randomPlay());
    EXPECT_TRUE(m_ringer->ring().shutdownPlan().enabled);
    EXPECT_EQ(m_ringer->plan(), PlanState::kPaused) << "a changed setting resumed a paused plan";
    EXPECT_EQ(m_tick->armedMs, -1);
    EXPECT_FALSE(m_inhibitor->held);

    EXPECT_EQ(m_ringer->togglePlan(), PlanState::kRunning);
    EXPECT_TRUE(m_inhibitor->held);
    EXPECT_TRUE(m_log->has("计划恢复运行"));
}

TEST_F(RingerTest, ASettingsFileArrivingDamagedKeepsTheSettingsInUseAndSaysSo) {
    changeSettingsElsewhere(schema::kRandomPlay, false);
    m_ringer->follower().check();
    ASSERT_FALSE(m_ringer->sound().randomPlay());
    bool told = false;
    const Subscription heard = m_ringer->onReloaded.add(
        [&](const ReloadedTables& r, const Status&) { told = !r.damaged.empty(); });
    std::filesystem::resize_file(m_dir.file("px.edb"), 300);
    m_ringer->follower().check();
    EXPECT_TRUE(told) << "the window was not told";
    EXPECT_FALSE(m_ringer->sound().randomPlay()) << "the settings in use were replaced";
    EXPECT_EQ(m_ringer->plan(), PlanState::kRunning);
    EXPECT_TRUE(m_log->has("! 表文件已损坏，不能读取，仍按原来读到的响铃："))
        << m_log->lines.back();
    EXPECT_EQ(300u, std::filesystem::file_size(m_dir.file("px.edb"))) << "it was written over";
    EXPECT_EQ(300u, std::filesystem::file_size(m_dir.file("px.edb.damaged")));
    EXPECT_TRUE(m_ringer->state().has(RingerProblemKind::kScheduleDamaged));
}

TEST_F(RingerTest, TheOptionsFileIsFollowedAndOneEditedWrongKeepsThoseInUse) {
    // The school's clock runs 37 s ahead: the bells, and the face, follow it from the next check.
    ASSERT_TRUE(
        writeProgramOption(*FileSystem::platform(), m_dir.path(), "clock_offset", "37").isOk());
    m_ringer->follower().check();
    EXPECT_EQ(m_ringer->clock().nowMs() - m_clock.nowMs(), 37'000);
    EXPECT_EQ(m_ringer->systemClock().nowMs(), m_clock.nowMs());
    EXPECT_TRUE(m_log->has("时钟偏移改为 +37 秒")) << m_log->lines.back();

    const size_t linesBefore = m_log->lines.size();
    test::writeFile(m_dir.file(kOptionsFile), "[tolvane]\nclock_offset = soon\n");
    m_ringer->follower().check();
    m_ringer->applyOptions();  // read again, as after another change: said once
    EXPECT_EQ(m_ringer->clockOffsetSeconds(), 37) << "the options in use were replaced";
    EXPECT_EQ(m_log->lines.size(), linesBefore + 1);
    EXPECT_TRUE(m_log->has("! 选项不能读取，仍用原来的：")) << m_log->lines.back();

    std::filesystem::remove(m_dir.file(kOptionsFile));
    m_ringer->follower().check();
    EXPECT_EQ(m_ringer->clockOffsetSeconds(), 0);
    EXPECT_TRUE(m_log->has("时钟偏移改为 0 秒")) << m_log->lines.back();
}

TEST_F(RingerTest, TheEndStopsTheClockLetsTheMachineSleepAndWritesTheLastLine) {
    BellForm form{{"11", "00", "00"}, false, {}, "/b/a.mp3", {}};
    form.weekdays.fill(true);
    ASSERT_TRUE(addBell(m_ringer->db(), form).changed);
    form.start = {"09", "00", "00"};  // rung already at 10:00
    ASSERT_TRUE(addBell(m_ringer->db(), form).changed);
    m_ringer->shutDown("程序退出（0）");
    EXPECT_EQ(m_tick->armedMs, -1);
    EXPECT_FALSE(m_inhibitor->held);
    EXPECT_EQ(m_log->lines.back(), "程序退出（0）：今天还有 1 个铃声不会响起");
    EXPECT_TRUE(m_log->flushed);
}

// The music check reports through the event loop: runs it until done says so (5 s at most).
bool runEventsUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

TEST_F(RingerTest, BellsWhoseMusicWillNotPlayAreFoundBeforeTheirTimeAndSaidOnce) {
    const std::string folder = m_dir.file("empty-folder");
    std::filesystem::create_directory(folder);
    std::ofstream(m_dir.file("notes.mp3")) << "not an MP3 at all";
    {
        TableDatabase other;
        openOrCreateTables(other, m_dir.path());
        other.select(schema::kBellAlias);
        for (const BellRecord& b :
             {BellRecord{"08:00:00", "", m_dir.file("gone.mp3"), {true}, 28800},
              BellRecord{"09:00:00", "", m_dir.file("notes.mp3"), {true}, 32400},
              BellRecord{"10:00:00", "", folder, {true}, 36000},
              BellRecord{"11:00:00", "", m_dir.file("gone.mp3"), {true}, 39600}})
            ASSERT_TRUE(other.append(bellValues(b)).isOk());
    }
    int changes = 0;
    const Subscription counted = m_ringer->onStateChanged.add([&] { ++changes; });
    m_ringer->follower().check();  // the bells changed: looked at again
    ASSERT_TRUE(runEventsUntil([&] { return m_ringer->unplayableMusic().size() == 4; }));
    const auto& found = m_ringer->unplayableMusic();
    EXPECT_EQ(found[0].why, "文件不存在");
    EXPECT_EQ(found[1].why, "不能解码为MP3");
    EXPECT_EQ(found[2].why, "文件夹里没有MP3文件");
    // One line for each music, with the times of its bells.
    EXPECT_TRUE(m_log->has("! 铃声的音乐不能播放：" + m_dir.file("gone.mp3") +
                           "（文件不存在）：铃声 08:00:00 11:00:00"));
    EXPECT_EQ(changes, 1);

    // Looked at again, nothing new is said; mended, that is said once.
    const size_t lines = m_log->lines.size();
    m_ringer->checkMusic();
    ASSERT_TRUE(runEventsUntil([&] { return !m_ringer->checkingMusic(); }));
    EXPECT_EQ(m_log->lines.size(), lines);
    {
        TableDatabase other;
        openOrCreateTables(other, m_dir.path());
        for (const char* start : {"08:00:00", "09:00:00", "10:00:00", "11:00:00"})
            ASSERT_TRUE(deleteBell(other, start));
    }
    m_ringer->follower().check();
    ASSERT_TRUE(runEventsUntil([&] { return m_ringer->unplayableMusic().empty(); }));
    EXPECT_TRUE(m_log->has("每个铃声的音乐都能播放"));
}

// A file deleted after the last check is found a minute before its bell, not at it.
TEST_F(RingerTest, TheNextBellsMusicIsLookedAtAgainAMinuteBeforeIt) {
    const std::string music = m_dir.file("bell.mp3");
    test::writeSilentMp3(music, 400);
    BellForm form{{"10", "02", "00"}, false, {}, music, {}};
    form.weekdays.fill(true);
    ASSERT_TRUE(addBell(m_ringer->db(), form).changed);
    m_ringer->checkMusic();
    ASSERT_TRUE(runEventsUntil([&] { return !m_ringer->checkingMusic(); }));
    EXPECT_TRUE(m_ringer->unplayableMusic().empty());
    std::filesystem::remove(music);
    m_clock.advanceMs(1000);
    m_tick->onTimeout();  // two minutes ahead: not yet
    EXPECT_FALSE(m_ringer->checkingMusic());
    m_clock.advanceMs(64 * 1000);
    m_tick->onTimeout();  // 10:01:05
    ASSERT_TRUE(runEventsUntil([&] { return m_ringer->unplayableMusic().size() == 1; }));
    EXPECT_TRUE(m_log->has("! 铃声的音乐不能播放：" + music + "（文件不存在）：铃声 10:02:00"));
}

TEST_F(RingerTest, MusicDeletedWhileThePlanIsPausedIsFoundWithinHalfAMinute) {
    const std::string music = m_dir.file("bell.mp3");
    test::writeSilentMp3(music, 400);
    BellForm form{{"11", "00", "00"}, false, {}, music, {}};
    form.weekdays.fill(true);
    ASSERT_TRUE(addBell(m_ringer->db(), form).changed);
    m_ringer->setPlan(PlanState::kPaused);
    ASSERT_TRUE(runEventsUntil([&] { return !m_ringer->checkingMusic(); }));
    std::filesystem::remove(music);
    m_clock.advanceMs(31 * 1000);  // the paused plan's poll comes within a second of real time
    ASSERT_TRUE(runEventsUntil([&] { return m_ringer->unplayableMusic().size() == 1; }));
    EXPECT_EQ(m_ringer->plan(), PlanState::kPaused);
}

// 广播通知 at a time: kept in the folder until said, said at its second as 立即播放 (from the file
// made when it was asked for), taken back on request, and never said while the plan is paused.
TEST_F(RingerTest, ANoticeForLaterIsKeptSaidAtItsSecondOrTakenBack) {
    const std::string said = noticeSpeech("放学", 2);
    const std::string file = speechFilePath(m_dir.path(), said, speechVoiceChoice(m_ringer->db()));
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    test::writeSilentMp3(file, 40);
    EXPECT_FALSE(m_ringer->sayAt("放学", 1, 10 * 3600, "网页，10.0.0.7").isOk())
        << "a time already past today was taken";
    ASSERT_TRUE(m_ringer->sayAt("放学", 2, 10 * 3600 + 2, "网页，10.0.0.7").isOk());
    ASSERT_TRUE(m_ringer->sayAt("开会", 1, 10 * 3600 + 4, "网页，10.0.0.8").isOk());
    ASSERT_EQ(m_ringer->state().notices.size(), 2u);
    EXPECT_EQ(readTimedNotices(*FileSystem::platform(), m_dir.path()), m_ringer->timedNotices())
        << "a ringer started again would not say them";
    EXPECT_TRUE(m_log->has("广播通知已安排：“放学”（10:00:02，网页，10.0.0.7），说 2 遍"));

    m_clock.advanceMs(1000);
    m_tick->onTimeout();  // 10:00:01
    EXPECT_FALSE(m_log->has("立即播放："));
    m_clock.advanceMs(1000);
    m_tick->onTimeout();  // 10:00:02
    EXPECT_TRUE(m_log->has("立即播放：" + file + "（网页，10.0.0.7，广播通知“放学”）"));
    EXPECT_EQ(m_ringer->state().notices.size(), 1u);

    const int meeting = m_ringer->timedNotices().at(0).id;
    EXPECT_TRUE(m_ringer->cancelNotice(meeting, "网页，10.0.0.9"));
    EXPECT_FALSE(m_ringer->cancelNotice(meeting, "网页，10.0.0.9"));
    EXPECT_TRUE(m_log->has("广播通知已取消：“开会”（10:00:04，网页，10.0.0.8）（网页，10.0.0.9）"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.file(kTimedNoticesFile)));

    ASSERT_TRUE(m_ringer->sayAt("放学", 2, 10 * 3600 + 5, "网页，10.0.0.7").isOk());
    m_ringer->setPlan(PlanState::kPaused);
    m_clock.advanceMs(4000);
    m_ringer->follower().onPolled();  // the paused plan's second
    EXPECT_TRUE(m_log->has("! 广播通知没有进行：计划暂停中：“放学”"));
    EXPECT_TRUE(m_ringer->timedNotices().empty());
}

}  // namespace
}  // namespace tolvane
