// SPDX-License-Identifier: GPL-3.0-or-later
// One ringer per folder, whatever a synchronisation tool does to the folder's files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "bells/core/RingerLock.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(RingerLockTest, HeldAgainstASecondRingerEvenWhenItsFileIsReplaced) {
    test::TempDir dir;
    auto first = std::make_unique<RingerLock>();
    ASSERT_EQ(first->take(dir.path()), RingerLock::Outcome::kTaken);
    EXPECT_FALSE(RingerLock::holder(dir.path()).empty());
    RingerLock second;
    EXPECT_EQ(second.take(dir.path()), RingerLock::Outcome::kHeldElsewhere);

    // Another computer's lock file arrives in its place, by rename, as a synchronisation does.
    test::writeFile(dir.file(".syncthing.tolvane.lock.tmp"), "4242\n");
    std::filesystem::rename(dir.file(".syncthing.tolvane.lock.tmp"), dir.file(RingerLock::kFile));
    RingerLock third;
    EXPECT_EQ(third.take(dir.path()), RingerLock::Outcome::kHeldElsewhere);

    first.reset();  // the ringer ends
    RingerLock fourth;
    EXPECT_EQ(fourth.take(dir.path()), RingerLock::Outcome::kTaken);
}

// A ringer started before its folder exists (at boot, before a network drive or a first sync)
// makes it and holds it; a second one started a moment later rings nothing.
TEST(RingerLockTest, AFolderNotYetThereIsMadeAndHeldInOneStep) {
    test::TempDir dir;
    const std::string folder = dir.file("新 文件夹/铃声");
    RingerLock first;
    ASSERT_EQ(first.take(folder), RingerLock::Outcome::kTaken) << first.problem();
    EXPECT_TRUE(first.problem().empty()) << first.problem();
    RingerLock second;
    EXPECT_EQ(second.take(folder), RingerLock::Outcome::kHeldElsewhere);

    test::writeFile(dir.file("a file"), "");
    RingerLock third;
    EXPECT_EQ(third.take(dir.file("a file")), RingerLock::Outcome::kUnavailable);
    EXPECT_FALSE(third.problem().empty());
}

}  // namespace
}  // namespace tolvane
