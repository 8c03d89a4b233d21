// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>

#include "cli/PlanCommand.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

TEST(PlanCommandTest, PrintsWhatEachTickDoes) {
    test::TempDir dir;
    {
        TableDatabase db;
        openOrCreateTables(db, dir.path());
        db.write(schema::kAutoShutdown, true);
        db.write(schema::kShutdownTime, std::string("08:00:02"));
        db.select(schema::kBellAlias);
        db.append(bellValues({"08:00:00", "08:00:01", "/b/上课.mp3", {true}, 28800}));
        db.append(bellValues({"8:00:01", "", "/b/never.mp3", {true}, 28801}));
    }
    const std::string before = test::readFile(dir.file("db.edb"));
    std::ostringstream out, err;
    // 2026-12-07 is a Monday; the next Monday the bell rings again.
    ASSERT_EQ(0, planCommand(dir.path(), "2026-12-07 07:59:59", "2026-12-07 08:00:05", out, err))
        << err.str();
    EXPECT_EQ(
        "2026-12-07 08:00:00 start /b/上课.mp3\n"
        "2026-12-07 08:00:01 stop\n"
        "2026-12-07 08:00:02 power-off\n",
        out.str());
    EXPECT_EQ(before, test::readFile(dir.file("db.edb")));

    // A moment reads as any time of day does ("08:00" is 08:00:00); no time, or no such day, not.
    for (const auto& [from, to] : {std::pair{"2026-12-07 8h", "2026-12-07 08:01:00"},
                                   std::pair{"2026-02-30 08:00:00", "2026-03-01 08:00:00"},
                                   std::pair{"2026-12-07 09:00:00", "2026-12-07 08:00:00"}}) {
        std::ostringstream o, e;
        EXPECT_EQ(2, planCommand(dir.path(), from, to, o, e)) << from;
    }
    std::ostringstream o, e;
    EXPECT_EQ(1, planCommand(dir.file("none"), "2026-12-07 08:00:00", "2026-12-07 08:00:00", o, e));
}

// The plan in a zone with summer time, as a ringer there lives through the two changes.
class PlanInBerlin : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) m_tz = tz;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        TableDatabase db;
        openOrCreateTables(db, m_dir.path());
        db.select(schema::kBellAlias);
        db.append(bellValues(
            {"02:10:00", "", "/b/two.mp3", {true, true, true, true, true, true, true}, 1}));
        db.append(bellValues(
            {"02:30:00", "", "/b/half.mp3", {true, true, true, true, true, true, true}, 2}));
    }
    void TearDown() override {
        if (m_tz)
            setenv("TZ", m_tz->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string plan(const char* from, const char* to) {
        std::ostringstream out, err;
        EXPECT_EQ(0, planCommand(m_dir.path(), from, to, out, err)) << err.str();
        return out.str();
    }

private:
    test::TempDir m_dir;
    std::optional<std::string> m_tz;
};

TEST_F(PlanInBerlin, TheSpringHourNamesItsBellsAsNotRungAndTheAutumnHourRingsThemOnce) {
    // 2027-03-28: 02:00 becomes 03:00; the ringer passes both bells over and says so.
    EXPECT_EQ(
        "2027-03-28 03:00:00 log 时钟向前跳了 3600 秒：02:10:00 的铃声没有响（/b/two.mp3）\n"
        "2027-03-28 03:00:00 log 时钟向前跳了 3600 秒：02:30:00 的铃声没有响（/b/half.mp3）\n",
        plan("2027-03-28 01:59:58", "2027-03-28 03:00:02"));
    // 2027-10-31: 03:00 becomes 02:00 again; each bell rings the first time round only.
    EXPECT_EQ(
        "2027-10-31 02:10:00 start /b/two.mp3\n"
        "2027-10-31 02:30:00 start /b/half.mp3\n"
        "2027-10-31 02:00:00 log 时钟向回调了 3600 秒：02:10:00 的铃声不会再响（/b/two.mp3）\n"
        "2027-10-31 02:00:00 log 时钟向回调了 3600 秒：02:30:00 的铃声不会再响（/b/half.mp3）\n",
        plan("2027-10-31 01:59:58", "2027-10-31 03:00:02"));
}

}  // namespace
}  // namespace tolvane::cli
