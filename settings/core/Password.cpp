#include "settings/core/Password.h"

#include "settings/core/Settings.h"

namespace tolvane {

Result<std::string> readPasswordHash(TableDatabase& db) {
    if (Status s = selectSettingsRecord(db); !s.isOk()) return s;
    return db.readText(schema::kPassword);
}

Status setPassword(TableDatabase& db, std::string_view password) {
    if (password.empty()) return Status::invalidArgument("an empty password: clear it instead");
    auto hash = hashPassword(password);
    if (!hash.isOk()) return hash.status();
    if (Status s = selectSettingsRecord(db); !s.isOk()) return s;
    return db.write(schema::kPassword, hash.value());
}

Status clearPassword(TableDatabase& db) {
    if (Status s = selectSettingsRecord(db); !s.isOk()) return s;
    return db.write(schema::kPassword, std::string());
}

bool PasswordLock::openAt(int64_t nowMs) {
    if (nowMs >= m_openUntil) return false;
    m_openUntil = nowMs + kOpenMs;
    return true;
}

PasswordLock::Answer PasswordLock::tryPassword(const std::string& stored,
                                               std::string_view password, int64_t nowMs,
                                               int* waitSeconds) {
    if (nowMs < m_waitUntil) {
        if (waitSeconds) *waitSeconds = static_cast<int>((m_waitUntil - nowMs + 999) / 1000);
        return Answer::kWait;
    }
    if (passwordMatches(stored, password)) {
        m_wrong = 0;
        m_openUntil = nowMs + kOpenMs;
        return Answer::kOpen;
    }
    if (++m_wrong >= kTriesBeforeWait) {
        m_wrong = 0;
        m_waitUntil = nowMs + kWaitMs;
    }
    return Answer::kWrong;
}

}  // namespace tolvane
