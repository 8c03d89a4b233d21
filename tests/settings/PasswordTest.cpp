// SPDX-License-Identifier: GPL-3.0-or-later
// 软件密码: stored as a hash, checked, and the desktop lock's rule.

#include <gtest/gtest.h>

#include "schedule/core/Schema.h"
#include "settings/core/Password.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(PasswordTest, OnlyAHashIsStoredAndItChecksThePassword) {
    if (!passwordsSupported()) GTEST_SKIP() << "a build without libsodium";
    test::TempDir dir;
    TableDatabase db;
    ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
    EXPECT_EQ(readPasswordHash(db).value(), "");
    EXPECT_FALSE(setPassword(db, "").isOk());
    ASSERT_TRUE(setPassword(db, "铃声 2026").isOk());
    const std::string hash = readPasswordHash(db).value();
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_EQ(test::readFile(dir.file("px.edb")).find("铃声 2026"), std::string::npos);
    EXPECT_TRUE(passwordMatches(hash, "铃声 2026"));
    EXPECT_FALSE(passwordMatches(hash, "铃声 2027"));
    EXPECT_FALSE(passwordMatches("", ""));
    EXPECT_FALSE(passwordMatches("plain text someone typed", "plain text someone typed"));
    ASSERT_TRUE(clearPassword(db).isOk());
    EXPECT_EQ(readPasswordHash(db).value(), "");
}

TEST(PasswordTest, TheLockHoldsFiveMinutesOfActivityAndWaitsAfterFiveWrongTries) {
    if (!passwordsSupported()) GTEST_SKIP() << "a build without libsodium";
    const std::string hash = hashPassword("right").value();
    PasswordLock lock;
    int64_t now = 1'000'000;
    EXPECT_FALSE(lock.openAt(now));
    EXPECT_EQ(lock.tryPassword(hash, "right", now, nullptr), PasswordLock::Answer::kOpen);
    // Each guarded action keeps it open five more minutes; five idle minutes close it.
    now += PasswordLock::kOpenMs - 1;
    EXPECT_TRUE(lock.openAt(now));
    now += PasswordLock::kOpenMs - 1;
    EXPECT_TRUE(lock.openAt(now));
    now += PasswordLock::kOpenMs;
    EXPECT_FALSE(lock.openAt(now));

    // The page's rule: five wrong within a minute, then a wait until the first is a minute old.
    for (int i = 0; i < GuessLimit::kTries; ++i)
        EXPECT_EQ(lock.tryPassword(hash, "wrong", now + i * 1000, nullptr),
                  PasswordLock::Answer::kWrong);
    int wait = 0;
    // Even the right one waits, and is not looked at.
    EXPECT_EQ(lock.tryPassword(hash, "right", now + 5000, &wait), PasswordLock::Answer::kWait);
    EXPECT_EQ(wait, 55);
    EXPECT_EQ(lock.tryPassword(hash, "right", now + GuessLimit::kWindowMs, nullptr),
              PasswordLock::Answer::kOpen);
    lock.close();
    EXPECT_FALSE(lock.openAt(now + GuessLimit::kWindowMs + 1));
}

}  // namespace
}  // namespace tolvane
