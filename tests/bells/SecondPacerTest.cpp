// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "bells/core/PlanState.h"
#include "bells/core/SecondPacer.h"

namespace tolvane {
namespace {

using Seconds = std::vector<int64_t>;

TEST(SecondPacerTest, EverySecondOnceAndLateOnesCaughtUp) {
    SecondPacer pacer;
    EXPECT_EQ((Seconds{100}), pacer.secondsDue(100));
    EXPECT_EQ(Seconds{}, pacer.secondsDue(100));  // a second tick in the same second
    EXPECT_EQ((Seconds{101}), pacer.secondsDue(101));
    EXPECT_EQ((Seconds{102, 103, 104}), pacer.secondsDue(104));  // the tick came late
    // Five seconds skipped, the oldest five behind: still caught up.
    EXPECT_EQ((Seconds{105, 106, 107, 108, 109, 110}), pacer.secondsDue(110));
    // Six skipped: a jump (resume, clock set forward), not caught up.
    EXPECT_EQ((Seconds{117}), pacer.secondsDue(117));
}

TEST(SecondPacerTest, AClockSetBackRingsNoSecondTwice) {
    SecondPacer pacer;
    pacer.secondsDue(1000);
    // An NTP step of two seconds back just after a bell: those seconds wait for the clock.
    EXPECT_EQ(Seconds{}, pacer.secondsDue(998));
    EXPECT_EQ(Seconds{}, pacer.secondsDue(999));
    EXPECT_EQ(Seconds{}, pacer.secondsDue(1000));
    EXPECT_EQ((Seconds{1001}), pacer.secondsDue(1001));
    // The autumn hour, paused in between: still not again.
    pacer.forget();
    EXPECT_EQ(Seconds{}, pacer.secondsDue(1001 - 3600));
    EXPECT_EQ((Seconds{1002}), pacer.secondsDue(1002));
    // Exactly the longest step waited out, and one longer: a clock corrected by days starts afresh.
    EXPECT_EQ(Seconds{}, pacer.secondsDue(1002 - SecondPacer::kMaxBackStep));
    EXPECT_EQ((Seconds{1001 - SecondPacer::kMaxBackStep}),
              pacer.secondsDue(1001 - SecondPacer::kMaxBackStep));
    EXPECT_EQ((Seconds{1002 - SecondPacer::kMaxBackStep}),
              pacer.secondsDue(1002 - SecondPacer::kMaxBackStep));
}

// An offset of +100 s taken back three seconds later (or a wrong 对时 corrected): the seconds the
// jump passed over come again and are processed at their time, once; the ones processed while
// the clock was ahead are not processed again.
TEST(SecondPacerTest, SecondsPassedOverByAJumpAreProcessedWhenTheClockComesBack) {
    SecondPacer pacer;
    for (int64_t s = 1000; s <= 1003; ++s) pacer.secondsDue(s);
    EXPECT_EQ((Seconds{1104}), pacer.secondsDue(1104));  // +100: 1004..1103 passed over
    EXPECT_EQ((Seconds{1105, 1106}), pacer.secondsDue(1106));
    EXPECT_EQ((Seconds{1007}), pacer.secondsDue(1007));  // taken back
    EXPECT_EQ((Seconds{1008, 1009}), pacer.secondsDue(1009));
    EXPECT_EQ(Seconds{}, pacer.secondsDue(1009));
    Seconds seen;
    for (int64_t s = 1010; s <= 1110; ++s)
        for (int64_t d : pacer.secondsDue(s)) seen.push_back(d);
    Seconds expected;
    for (int64_t s = 1010; s <= 1103; ++s) expected.push_back(s);
    for (int64_t s = 1107; s <= 1110; ++s) expected.push_back(s);
    EXPECT_EQ(expected, seen) << "1104 to 1106 were processed while the clock was ahead";
    // Back again over seconds all processed now: nothing twice.
    EXPECT_EQ(Seconds{}, pacer.secondsDue(1050));
}

TEST(SecondPacerTest, APauseForgetsTheLastSecond) {
    SecondPacer pacer;
    pacer.secondsDue(100);
    pacer.forget();
    EXPECT_EQ((Seconds{102}), pacer.secondsDue(102));
}

TEST(PlanStateTest, ThePauseButtonSwitchesBetweenTheTwoStates) {
    EXPECT_EQ(PlanState::kPaused, toggled(PlanState::kRunning));
    EXPECT_EQ(PlanState::kRunning, toggled(PlanState::kPaused));
}

}  // namespace
}  // namespace tolvane
