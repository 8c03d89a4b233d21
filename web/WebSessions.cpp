// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebSessions.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tolvane {

namespace {
const std::string kEveryAddress = "*";
}  // namespace

std::string randomToken() {
    unsigned char bytes[32];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw std::runtime_error("the system gives no random numbers");
    std::string text;
    char piece[3];
    for (unsigned char b : bytes) {
        std::snprintf(piece, sizeof piece, "%02x", b);
        text += piece;
    }
    return text;
}

bool sameToken(const std::string& a, const std::string& b) {
    return !a.empty() && a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string WebSessions::open(const std::string& passwordHash, int64_t nowMs) {
    std::lock_guard lock(m_mutex);
    if (m_sessions.size() >= kMaxSessions) {
        auto oldest = std::min_element(
            m_sessions.begin(), m_sessions.end(),
            [](const auto& a, const auto& b) { return a.second.lastUsedMs < b.second.lastUsedMs; });
        m_sessions.erase(oldest);
    }
    Session s{randomToken(), randomToken(), passwordHash, nowMs, {}, false};
    const std::string id = s.id;
    m_sessions.emplace(id, std::move(s));
    return id;
}

std::optional<WebSessions::Session> WebSessions::use(const std::string& id,
                                                     const std::string& currentHash,
                                                     int64_t nowMs) {
    std::lock_guard lock(m_mutex);
    auto it = m_sessions.find(id);
    if (it == m_sessions.end()) return std::nullopt;
    Session& s = it->second;
    if (nowMs - s.lastUsedMs > kIdleMs || currentHash.empty() ||
        !sameToken(s.passwordHash, currentHash)) {
        m_sessions.erase(it);
        return std::nullopt;
    }
    s.lastUsedMs = nowMs;
    return s;
}

void WebSessions::setNotice(const std::string& id, const std::string& notice, bool isError) {
    std::lock_guard lock(m_mutex);
    if (auto it = m_sessions.find(id); it != m_sessions.end()) {
        it->second.notice = notice;
        it->second.noticeIsError = isError;
    }
}

std::string WebSessions::takeNotice(const std::string& id, bool* isError) {
    std::lock_guard lock(m_mutex);
    auto it = m_sessions.find(id);
    if (it == m_sessions.end()) return {};
    *isError = it->second.noticeIsError;
    return std::exchange(it->second.notice, {});
}

void WebSessions::end(const std::string& id) {
    std::lock_guard lock(m_mutex);
    m_sessions.erase(id);
}

void WebSessions::endAll() {
    std::lock_guard lock(m_mutex);
    m_sessions.clear();
}

bool WebSessions::mayTry(const std::string& address, int64_t nowMs, int* waitSeconds) {
    std::lock_guard lock(m_mutex);
    int addressWait = 0, allWait = 0;
    const bool addressMay = m_guesses.mayTry(address, nowMs, &addressWait);
    const bool allMay = m_allGuesses.mayTry(kEveryAddress, nowMs, &allWait);
    if (addressMay && allMay) return true;
    *waitSeconds = std::max(addressWait, allWait);
    return false;
}

void WebSessions::failed(const std::string& address, int64_t nowMs) {
    std::lock_guard lock(m_mutex);
    m_guesses.failed(address, nowMs);
    m_allGuesses.failed(kEveryAddress, nowMs);
}

void WebSessions::succeeded(const std::string& address) {
    std::lock_guard lock(m_mutex);
    m_guesses.succeeded(address);
}

}  // namespace tolvane
