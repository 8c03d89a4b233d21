#pragma once

// 软件密码: the password that guards the program's changes. The settings record's field holds a
// salted, slow hash of it (libsodium's crypto_pwhash_str, Argon2id: "$argon2id$..."), never the
// password; empty when none is set. Older copies of the program never read the field.

#include <cstdint>
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

// The desktop lock: once the password was given, what it guards stays open for kOpenMs after the
// last guarded action; after kTriesBeforeWait wrong ones in a row, the next try waits kWaitMs.
class PasswordLock {
public:
    static constexpr int64_t kOpenMs = 5 * 60 * 1000;
    static constexpr int kTriesBeforeWait = 5;
    static constexpr int64_t kWaitMs = 30 * 1000;

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
    int m_wrong = 0;
    int64_t m_waitUntil = 0;
};

}  // namespace tolvane
