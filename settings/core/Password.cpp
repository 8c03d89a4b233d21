// SPDX-License-Identifier: GPL-3.0-or-later
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

PasswordLock::Answer PasswordLock::tryPassword(const std::string& stored, std::string_view password,
                                               int64_t nowMs, int* waitSeconds) {
    int wait = 0;
    if (!m_guesses.mayTry("", nowMs, &wait)) {
        if (waitSeconds) *waitSeconds = wait;
        return Answer::kWait;
    }
    if (passwordMatches(stored, password)) {
        m_guesses.succeeded("");
        m_openUntil = nowMs + kOpenMs;
        return Answer::kOpen;
    }
    m_guesses.failed("", nowMs);
    return Answer::kWrong;
}

bool GuessLimit::mayTry(const std::string& who, int64_t nowMs, int* waitSeconds) {
    auto it = m_failures.find(who);
    if (it == m_failures.end()) return true;
    std::deque<int64_t>& times = it->second;
    while (!times.empty() && nowMs - times.front() >= kWindowMs) times.pop_front();
    if (static_cast<int>(times.size()) < m_tries) return true;
    *waitSeconds = static_cast<int>((times.front() + kWindowMs - nowMs + 999) / 1000);
    return false;
}

void GuessLimit::failed(const std::string& who, int64_t nowMs) {
    if (m_failures.size() >= kMaxWho && !m_failures.count(who)) {
        std::erase_if(m_failures, [nowMs](const auto& entry) {
            return entry.second.empty() || nowMs - entry.second.back() >= kWindowMs;
        });
        if (m_failures.size() >= kMaxWho) m_failures.erase(m_failures.begin());
    }
    std::deque<int64_t>& times = m_failures[who];
    times.push_back(nowMs);
    while (times.size() > static_cast<size_t>(m_tries)) times.pop_front();
}

void GuessLimit::succeeded(const std::string& who) {
    m_failures.erase(who);
}

}  // namespace tolvane
