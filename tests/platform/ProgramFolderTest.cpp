// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProgramFolder.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(DataFolderTest, FallsBackWhenTheProgramFolderIsNotWritable) {
    test::TempDir dir;
    EXPECT_EQ(dir.path(), chooseDataFolder(dir.path(), dir.file("home")));
    // A program folder that does not exist cannot be written, even by root.
    const std::string chosen = chooseDataFolder(dir.file("missing"), dir.file("home"));
    EXPECT_EQ(dir.file("home") + "/tolvane", chosen);
    EXPECT_TRUE(std::filesystem::is_directory(chosen));
}

TEST(DataFolderTest, TheProgramFolderIsTheExecutablesFolder) {
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::equivalent(programFolder(), TOLVANE_BIN_DIR, ec))
        << programFolder();
}

}  // namespace
}  // namespace tolvane
