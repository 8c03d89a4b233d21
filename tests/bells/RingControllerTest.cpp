// SPDX-License-Identifier: GPL-3.0-or-later
// The clock timer, driven by a manual clock and timer so each case is exact: every second of a
// running plan ticked once, none while paused, late seconds caught up, the timer armed for just
// after the next boundary, and the fatal error for a damaged table.

#include <gtest/gtest.h>

#include "bells/qt/RingController.h"
#include "schedule/core/Schema.h"
#include "tests/support/ManualTickTimer.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using ManualTimer = test::ManualTickTimer;

// 2026-03-02 (a Monday) 08:00:00.000, as the manual clock's UTC civil time.
constexpr int64_t kEightOClockMs = 1772438400000;

class RingControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(kEightOClockMs, civilToEpochSeconds(2026, 3, 2, 8, 0, 0) * 1000);
        openOrCreateTables(db, dir.path());
        db.select(schema::kBellAlias);
        // A bell for each of the seconds 08:00:01 .. 08:00:09, every day.
        for (int s = 1; s <= 9; ++s)
            db.append(bellValues({"08:00:0" + std::to_string(s),
                                  "",
                                  "bell" + std::to_string(s),
                                  {true, true, true, true, true, true, true},
                                  0}));
        auto owned = std::make_unique<ManualTimer>();
        timer = owned.get();
        controller = std::make_unique<RingController>(db, clock, sound, sound, std::move(owned));
    }

    // Moves the clock to ms past 08:00:00 and fires the timer as Qt would.
    void fireAt(int64_t msAfterEight) {
        clock.setMs(kEightOClockMs + msAfterEight);
        ASSERT_GE(timer->armedMs, 0) << "the timer was not armed";
        timer->onTimeout();
    }

    test::TempDir dir;
    TableDatabase db;
    ManualClock clock{kEightOClockMs + 400};
    test::RecordingSound sound;
    ManualTimer* timer = nullptr;
    std::unique_ptr<RingController> controller;
};

// The manual clock's civil time as local time, until the autumn change at 08:00:05: from then on
// the local clock reads an hour less, so 07:00:05 .. 08:00:04 come round again.
class AutumnClock final : public Clock {
public:
    explicit AutumnClock(const ManualClock& base) : m_base(base) {}
    int64_t nowMs() const override { return m_base.nowMs(); }
    LocalTime toLocal(int64_t second) const override {
        const bool winter = second >= kEightOClockMs / 1000 + 5;
        return civilFromEpochSeconds(second - (winter ? 3600 : 0));
    }

private:
    const ManualClock& m_base;
};

TEST_F(RingControllerTest, AClockSetBackRingsNoBellTwice) {
    controller->setRunning(true);
    fireAt(2003);
    clock.setMs(kEightOClockMs + 3);  // an NTP step of two seconds back
    fireAt(1003);
    fireAt(2003);
    fireAt(3003);
    EXPECT_EQ((std::vector<std::string>{"start bell2", "start bell3"}), sound.take());
    controller->setRunning(false);

    AutumnClock autumn(clock);
    auto owned = std::make_unique<ManualTimer>();
    timer = owned.get();
    RingController local(db, autumn, sound, sound, std::move(owned));
    clock.setMs(kEightOClockMs + 3);
    local.setRunning(true);
    for (int64_t s = 1; s <= 8; ++s) fireAt(s * 1000 + 3);  // past the change at 08:00:05
    EXPECT_EQ(
        (std::vector<std::string>{"start bell1", "start bell2", "start bell3", "start bell4"}),
        sound.take());
    // The repeated hour reaches the bells' local times again: only the new second rings.
    for (int64_t s = 3601; s <= 3605; ++s) fireAt(s * 1000 + 3);
    EXPECT_EQ((std::vector<std::string>{"start bell5"}), sound.take());
}

TEST_F(RingControllerTest, ArmsForJustAfterEachSecondBoundary) {
    controller->setRunning(true);
    EXPECT_EQ(600 + RingController::kMarginMs, timer->armedMs);
    fireAt(1000 + RingController::kMarginMs);
    EXPECT_EQ(1000, timer->armedMs) << "armed again for the next boundary plus the margin";
    EXPECT_EQ((std::vector<std::string>{"start bell1"}), sound.take());
}

TEST_F(RingControllerTest, EachTickPreparesTheBellOfTheNextSecond) {
    db.select(schema::kBellAlias);
    db.append(bellValues(
        {"08:00:20", "", "sundays", {false, false, false, false, false, false, true}, 0}));
    db.append(bellValues(
        {"08:00:09", "", "second of two", {true, true, true, true, true, true, true}, 0}));
    controller->setRunning(true);
    fireAt(1003);
    fireAt(2003);
    EXPECT_EQ((std::vector<std::string>{"bell2", "bell3"}), sound.prepared);
    sound.prepared.clear();
    for (int64_t s = 8; s <= 20; ++s) fireAt(s * 1000 + 3);
    // Two bells on one second: the last one is heard. None on a Monday for a Sunday bell.
    EXPECT_EQ((std::vector<std::string>{"second of two"}), sound.prepared);
}

TEST_F(RingControllerTest, EverySecondOnceAndNoneWhilePaused) {
    controller->setRunning(true);
    fireAt(1003);
    fireAt(1500);  // a second fire within the same second rings nothing
    fireAt(2003);
    controller->setRunning(true);  // asked again: the timer runs on as it was
    EXPECT_EQ(1000, timer->armedMs);
    controller->setRunning(false);
    EXPECT_EQ(-1, timer->armedMs);
    EXPECT_FALSE(controller->isRunning());
    clock.setMs(kEightOClockMs + 5003);
    controller->setRunning(true);  // seconds 3 and 4 passed while paused: never rung
    fireAt(6003);
    EXPECT_EQ((std::vector<std::string>{"start bell1", "start bell2", "start bell6"}),
              sound.take());
}

TEST_F(RingControllerTest, ALateTickCatchesUpTheSecondsItMissed) {
    controller->setRunning(true);
    fireAt(1003);
    fireAt(4010);  // the user-interface thread was busy for three seconds
    EXPECT_EQ(
        (std::vector<std::string>{"start bell1", "start bell2", "start bell3", "start bell4"}),
        sound.take());
}

// The warnings the engine logs, as lines.
class WarningLog final : public RingLog {
public:
    void warn(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// An offset of +19 s set at 08:00:00 and taken back: the latest bell passed over rings at once,
// the others are named, and each rings at its second when the clock comes back, the one rung
// late not again.
TEST_F(RingControllerTest, AJumpForwardRingsTheLatestBellPassedOverAtOnceAndLosesNone) {
    WarningLog log;
    controller->engine().setLog(log);
    controller->setRunning(true);
    fireAt(3);
    fireAt(20003);
    EXPECT_EQ((std::vector<std::string>{"start bell9"}), sound.take());
    ASSERT_GE(log.lines.size(), 9u);
    EXPECT_EQ("时钟向前跳了 19 秒：08:00:01 的铃声没有响（bell1）", log.lines[0]);
    EXPECT_EQ("时钟向前跳了 19 秒：08:00:09 的铃声现在补响，迟到 11 秒", log.lines[8]);

    log.lines.clear();
    fireAt(1003);  // the offset taken back: each bell of the repeated seconds is named
    ASSERT_GE(log.lines.size(), 9u);  // then bell1's start
    EXPECT_EQ("时钟向回调了 20 秒：08:00:01 的铃声到时会响（bell1）", log.lines[0]);
    EXPECT_EQ("时钟向回调了 20 秒：08:00:09 的铃声不会再响（bell9）", log.lines[8]);
    for (int s = 2; s <= 10; ++s) fireAt(s * 1000 + 3);
    EXPECT_EQ(
        (std::vector<std::string>{"start bell1", "start bell2", "start bell3", "start bell4",
                                  "start bell5", "start bell6", "start bell7", "start bell8"}),
        sound.take());
}

// A bell passed over is rung only while it is still on: before its end time, or, with none, at
// most five minutes late.
TEST_F(RingControllerTest, ABellPassedOverLongAgoOrEndedIsNamedNotRung) {
    const std::array<bool, 7> everyDay{true, true, true, true, true, true, true};
    db.append(bellValues({"08:00:30", "08:00:40", "ended", everyDay, 0}));
    db.append(bellValues({"08:01:00", "", "late", everyDay, 0}));
    WarningLog log;
    controller->engine().setLog(log);
    controller->setRunning(true);
    fireAt(10003);
    fireAt(50003);
    EXPECT_TRUE(sound.take().empty());
    EXPECT_EQ((std::vector<std::string>{"时钟向前跳了 39 秒：08:00:30 的铃声没有响（ended）"}),
              log.lines);
    log.lines.clear();
    fireAt((60 + RingEngine::kRingLateAtMostS + 1) * 1000 + 3);
    EXPECT_TRUE(sound.take().empty());
    EXPECT_EQ((std::vector<std::string>{"时钟向前跳了 310 秒：08:01:00 的铃声没有响（late）"}),
              log.lines);
    log.lines.clear();
    fireAt((60 + RingEngine::kRingLateAtMostS + 21) * 1000 + 3);
    EXPECT_EQ((std::vector<std::string>{"时钟向前跳了 19 秒：其间没有铃声"}), log.lines);
    log.lines.clear();
    fireAt((60 + RingEngine::kRingLateAtMostS + 11) * 1000 + 3);
    EXPECT_EQ((std::vector<std::string>{"时钟向回调了 11 秒：其间没有铃声"}), log.lines);
}

TEST(RingControllerFatalTest, AFieldOfAnotherTypeStopsTheTimerAndReports) {
    test::TempDir dir;
    TableDatabase db;
    std::vector<FieldDef> fields = bellTableFields();
    fields[0].type = kFieldInteger;  // 播放时间 stored as an integer
    ASSERT_TRUE(db.create(dir.file("db.edb"), fields).isOk());
    ASSERT_TRUE(db.open(dir.file("db.edb"), schema::kBellAlias).isOk());
    ASSERT_TRUE(db.append({int64_t{1}}).isOk());
    ManualClock clock(kEightOClockMs);
    test::RecordingSound sound;
    auto owned = std::make_unique<ManualTimer>();
    ManualTimer* timer = owned.get();
    RingController controller(db, clock, sound, sound, std::move(owned));
    int code = 0;
    QString message;
    QObject::connect(&controller, &RingController::fatalError, [&](int c, const QString& m) {
        code = c;
        message = m;
    });
    controller.setRunning(true);
    clock.advanceMs(1003);
    timer->onTimeout();
    EXPECT_EQ(5, code);
    EXPECT_EQ(QString::fromUtf8("数据或数组类型不匹配"), message);
    EXPECT_FALSE(controller.isRunning());
    EXPECT_EQ(-1, timer->armedMs);
}

}  // namespace
}  // namespace tolvane
