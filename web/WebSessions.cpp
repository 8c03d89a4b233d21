// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebSessions.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tolvane {

namespace {
const std::string kEveryAddress = "*";

std::string hex(const unsigned char* bytes, size_t size) {
    std::string text;
    char piece[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(piece, sizeof piece, "%02x", bytes[i]);
        text += piece;
    }
    return text;
}

std::string signature(const std::string& key, const std::string& text) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
              reinterpret_cast<const unsigned char*>(text.data()), text.size(), out, &size))
        return {};
    return hex(out, size);
}

}  // namespace

std::string randomToken() {
    unsigned char bytes[32];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw std::runtime_error("the system gives no random numbers");
    return hex(bytes, sizeof bytes);
}

bool sameToken(const std::string& a, const std::string& b) {
    return !a.empty() && a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string deskMark(const std::string& key, int64_t nowSeconds) {
    const std::string issued = std::to_string(nowSeconds);
    return issued + "." + signature(key, issued);
}

bool isDeskMark(const std::string& key, const std::string& mark, int64_t nowSeconds) {
    const size_t dot = mark.find('.');
    if (key.empty() || dot == std::string::npos || dot == 0 || dot > 12) return false;
    const std::string issued = mark.substr(0, dot);
    if (issued.find_first_not_of("0123456789") != std::string::npos) return false;
    const int64_t seconds = std::stoll(issued);
    if (seconds > nowSeconds + 60 || nowSeconds - seconds > kDeskSeconds) return false;
    return sameToken(mark.substr(dot + 1), signature(key, issued));
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

bool WebSessions::mayTry(const std::string& address, int64_t nowMs, int* waitSeconds,
                         bool knownDesk) {
    std::lock_guard lock(m_mutex);
    int addressWait = 0, allWait = 0;
    const bool addressMay = m_guesses.mayTry(address, nowMs, &addressWait);
    const bool allMay = knownDesk || m_allGuesses.mayTry(kEveryAddress, nowMs, &allWait);
    if (addressMay && allMay) return true;
    *waitSeconds = std::max(addressWait, allWait);
    return false;
}

void WebSessions::failed(const std::string& address, int64_t nowMs, bool knownDesk) {
    std::lock_guard lock(m_mutex);
    m_guesses.failed(address, nowMs);
    if (!knownDesk) m_allGuesses.failed(kEveryAddress, nowMs);
}

void WebSessions::succeeded(const std::string& address) {
    std::lock_guard lock(m_mutex);
    m_guesses.succeeded(address);
}

}  // namespace tolvane
