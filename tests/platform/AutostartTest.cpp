// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/Autostart.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(AutostartTest, WriteExistsOverwriteDelete) {
    test::TempDir dir;
    EXPECT_FALSE(autostartExists(dir.path()));
    EXPECT_FALSE(deleteAutostart(dir.path()));  // nothing to delete: false, silently
    test::writeFile(dir.file("Tolvane.desktop"), "12345");
    EXPECT_TRUE(autostartExists(dir.path()));  // any content counts
    ASSERT_TRUE(writeAutostart(dir.path(), "/opt/school bells/tolvane"));
    const std::string entry = test::readFile(dir.file("Tolvane.desktop"));
    EXPECT_NE(std::string::npos, entry.find("\nExec=\"/opt/school bells/tolvane\"\n")) << entry;
    EXPECT_NE(std::string::npos, entry.find("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(deleteAutostart(dir.path()));
    EXPECT_FALSE(autostartExists(dir.path()));
    // A user's first entry makes the folder; one that cannot be made (a file in the way) fails.
    EXPECT_TRUE(writeAutostart(dir.file("config/autostart"), "/x"));
    EXPECT_TRUE(autostartExists(dir.file("config/autostart")));
    test::writeFile(dir.file("blocked"), "");
    EXPECT_FALSE(writeAutostart(dir.file("blocked/autostart"), "/x"));
}

TEST(AutostartTest, ExecArgumentsAreQuotedAndEscaped) {
    EXPECT_EQ("\"/a b/c\"", desktopExecArgument("/a b/c"));
    // $ and " escaped with a backslash inside the quotes, that backslash doubled for the file.
    EXPECT_EQ("\"/x\\\\$y\\\\\"z\"", desktopExecArgument("/x$y\"z"));
}

}  // namespace
}  // namespace tolvane
