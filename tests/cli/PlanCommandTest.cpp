#include <gtest/gtest.h>

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

    for (const auto& [from, to] : {std::pair{"2026-12-07 08:00", "2026-12-07 08:01:00"},
                                   std::pair{"2026-02-30 08:00:00", "2026-03-01 08:00:00"},
                                   std::pair{"2026-12-07 09:00:00", "2026-12-07 08:00:00"}}) {
        std::ostringstream o, e;
        EXPECT_EQ(2, planCommand(dir.path(), from, to, o, e)) << from;
    }
    std::ostringstream o, e;
    EXPECT_EQ(1, planCommand(dir.file("none"), "2026-12-07 08:00:00", "2026-12-07 08:00:00", o, e));
}

}  // namespace
}  // namespace tolvane::cli
