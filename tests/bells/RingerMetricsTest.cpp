// SPDX-License-Identifier: GPL-3.0-or-later
// The bell counts a district's monitoring reads: each outcome counted once where the engine says
// it, the counts read back as written (a restart goes on counting), and the metrics text saying
// what is known and leaving out what is not. promtool checks the whole format on a real ringer's
// file (tests/metrics).

#include <gtest/gtest.h>

#include "bells/core/BellCounts.h"
#include "bells/core/RingerMetrics.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(RingerMetricsTest, EachOutcomeIsCountedOnceAndKeptAcrossARestart) {
    class Lines final : public RingLog {
    public:
        void warn(const std::string& line) override { said += line + "\n"; }
        void bellHeard(const LocalTime&, int64_t) override { said += "heard\n"; }
        std::string said;
    } inner;
    int changes = 0;
    CountingRingLog log(inner, {}, [&] { ++changes; });
    const LocalTime second;
    log.bellHeard(second, 4);                // within the first bucket
    log.bellPlayedUnverified(second, 300);   // played where the system cannot tell: heard
    log.bellHeard(second, kLateBellMs + 1);  // a clock jump's late ringing
    log.bellInaudible(second, "输出已静音");
    log.bellSkipped("时钟向前跳了 600 秒：08:00:00 的铃声没有响（a.mp3）");
    log.note("计划暂停");  // not a bell
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(inner.said.find("heard\n"), 0u) << "the real log lost a line: " << inner.said;
    EXPECT_NE(inner.said.find("08:00:00 的铃声没有响"), std::string::npos) << inner.said;

    const BellCounts c = log.counts();
    EXPECT_EQ(c.heard, 2u);
    EXPECT_EQ(c.late, 1u);
    EXPECT_EQ(c.unheard, 1u);
    EXPECT_EQ(c.skipped, 1u);
    EXPECT_EQ(c.lateness[0], 1u);
    EXPECT_EQ(c.lateness[6], 1u);  // 0.3 s: over 0.25, at most 0.5
    EXPECT_EQ(c.lateness.back(), 1u);
    EXPECT_GT(c.lastHeardMs, 0);

    test::TempDir dir;
    FileSystem& fs = *FileSystem::platform();
    ASSERT_TRUE(writeBellCounts(fs, dir.path(), c).isOk());
    EXPECT_EQ(readBellCounts(fs, dir.path()), c);
    EXPECT_EQ(bellCountsOfText("heard=x\nlate=-1\nunheard=7\nnonsense\n").unheard, 7u);
    EXPECT_EQ(bellCountsOfText("heard=x\nlate=-1\n"), BellCounts{});
}

TEST(RingerMetricsTest, TheTextSaysWhatIsKnownAndLeavesOutWhatIsNot) {
    RingerFacts f;
    f.version = "1.0";
    f.folder = "C:\\铃声 \"主楼\"";
    f.timetable = "常规作息";
    f.counts.countHeard(20, 1796724000500);
    f.problems = {{RingerProblemKind::kOutput, "声音输出已静音"}};
    f.outputPresent = true;
    const std::string text = metricsText(f);
    for (const char* said :
         {"tolvane_up 1\n", "folder=\"C:\\\\铃声 \\\"主楼\\\"\"",
          "tolvane_bells_total{result=\"heard\"} 1\n",
          "tolvane_bell_lateness_seconds_bucket{le=\"0.01\"} 0\n",
          "tolvane_bell_lateness_seconds_bucket{le=\"0.025\"} 1\n",
          "tolvane_bell_lateness_seconds_bucket{le=\"+Inf\"} 1\n",
          "tolvane_last_bell_heard_timestamp_seconds 1796724000.5\n",
          "tolvane_problems{kind=\"output\"} 1\n", "tolvane_problems{kind=\"metrics\"} 0\n",
          "# TYPE tolvane_bell_lateness_seconds histogram\n", "tolvane_output_present 1\n"})
        EXPECT_NE(text.find(said), std::string::npos) << said << "\n" << text;
    // Not known: not said (a monitoring would take a made-up 0 for a fact).
    for (const char* unsaid :
         {"tolvane_output_muted", "tolvane_clock_synchronized", "tolvane_next_bell"})
        EXPECT_EQ(text.find(unsaid), std::string::npos) << unsaid;
}

}  // namespace
}  // namespace tolvane
