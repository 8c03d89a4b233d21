// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// 软件密码: the password that guards the program's changes. The settings record's field holds a
// salted, slow hash of it (libsodium's crypto_pwhash_str, Argon2id: "$argon2id$..."), never the
// password; empty when none is set. Older copies of the program never read the field.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

#include "base/Status.h"
#include "storage/TableDatabase.h"

namespace tolvane {

// The stored hash of password; notSupported in a build without libsodium.
Result<std::string> hashPassword(std::string_view password);
// Whether password is the one stored hash was made from (false for an empty or foreign hash).
bool passwordMatches(const std::string& stored, std::string_view password);
// Whether this build can make and check passwords.
bool passwordsSupported();

// The hash in the folder's settings record; empty when no password is set.
Result<std::string> readPasswordHash(TableDatabase& db);
// Sets the password (its hash) in the settings record; an empty password is refused.
Status setPassword(TableDatabase& db, std::string_view password);
Status clearPassword(TableDatabase& db);

// How often a password may be guessed, one rule for the window and the web page: after tries
// (kTries unless told) wrong ones within kWindowMs by one who (the desk, an address), the next
// waits until the first of them is kWindowMs old. Forgets the oldest beyond kMaxWho, so a flood of
// addresses cannot fill memory. Not thread-safe.
class GuessLimit {
public:
    static constexpr int kTries = 5;
    static constexpr int64_t kWindowMs = 60 * 1000;
    static constexpr size_t kMaxWho = 4096;

    explicit GuessLimit(int tries = kTries) : m_tries(tries) {}

    // Whether who may try at nowMs; if not, the seconds until it may in waitSeconds.
    bool mayTry(const std::string& who, int64_t nowMs, int* waitSeconds);
    void failed(const std::string& who, int64_t nowMs);
    void succeeded(const std::string& who);

private:
    int m_tries;
    std::map<std::string, std::deque<int64_t>> m_failures;
};

// The desktop lock: once the password was given, what it guards stays open for kOpenMs after the
// last guarded action; wrong ones are limited by GuessLimit.
class PasswordLock {
public:
    static constexpr int64_t kOpenMs = 5 * 60 * 1000;

    enum class Answer { kOpen, kWrong, kWait };

    // Open at nowMs without asking (within kOpenMs of the last guarded action after a right
    // password); each such look counts as activity.
    bool openAt(int64_t nowMs);
    // Tries password against stored at nowMs. kWait (nothing checked) while a wait runs, with
    // the seconds left in waitSeconds.
    Answer tryPassword(const std::string& stored, std::string_view password, int64_t nowMs,
                       int* waitSeconds);
    // The password changed or was cleared: asked again next time.
    void close() { m_openUntil = 0; }

private:
    int64_t m_openUntil = 0;
    GuessLimit m_guesses;  // of the one desk
};

}  // namespace tolvane
