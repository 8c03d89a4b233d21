// One ringer per folder, whatever a synchronisation tool does to the folder's files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "ringing/core/RingerLock.h"
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

}  // namespace
}  // namespace tolvane
