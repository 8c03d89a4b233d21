// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Who is logged in to the web page, and who may try again. A session is a random token in an
// HttpOnly, Secure, SameSite=Strict cookie; it ends after kIdleMs without a request, at log-out,
// and when the password it was opened with is no longer the folder's (changed anywhere: the page,
// the window or tolvanectl). Each session has its own token that every form must carry back.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "settings/core/Password.h"

namespace tolvane {

// 32 random bytes as 64 hex digits.
std::string randomToken();
// Equal without telling by its time how much of it was.
bool sameToken(const std::string& a, const std::string& b);

// The mark of a desk whose browser logged in: a cookie kept for kDeskSeconds, signed with key (a
// secret of this computer's), "SECONDS.HMAC". A burst of guesses from elsewhere never holds back
// a desk that has it.
inline constexpr int64_t kDeskSeconds = int64_t{30} * 24 * 3600;
std::string deskMark(const std::string& key, int64_t nowSeconds);
// Whether mark is one deskMark made with key within kDeskSeconds before nowSeconds.
bool isDeskMark(const std::string& key, const std::string& mark, int64_t nowSeconds);

class WebSessions {
public:
    static constexpr int64_t kIdleMs = 8 * 3600 * 1000;
    // Beyond this the oldest are forgotten: a flood of log-ins cannot fill memory.
    static constexpr size_t kMaxSessions = 200;

    struct Session {
        std::string id;
        std::string formToken;
        std::string passwordHash;  // the one it was opened with
        int64_t lastUsedMs = 0;
        // A message for the next page shown (after a form's redirect).
        std::string notice;
        bool noticeIsError = false;
    };

    std::string open(const std::string& passwordHash, int64_t nowMs);
    // The live session id names (and marks used at nowMs); none when unknown, idle too long or
    // opened with another password than currentHash, which ends it.
    std::optional<Session> use(const std::string& id, const std::string& currentHash,
                               int64_t nowMs);
    void setNotice(const std::string& id, const std::string& notice, bool isError);
    // The notice, once.
    std::string takeNotice(const std::string& id, bool* isError);
    void end(const std::string& id);
    void endAll();

    // Wrong passwords a minute from every address together, log-in and the password form alike:
    // many addresses guessing at once cannot hash without end beside the bells.
    static constexpr int kTriesOfAllAddresses = 20;

    // Whether address may try a password at nowMs; if not, how many seconds it waits. The
    // window's rule (GuessLimit), one address as one desk, within the budget of all addresses
    // unless the desk is known (it logged in before, or it is this computer): its tries are its
    // own, and do not count in the budget.
    bool mayTry(const std::string& address, int64_t nowMs, int* waitSeconds, bool knownDesk);
    void failed(const std::string& address, int64_t nowMs, bool knownDesk);
    void succeeded(const std::string& address);

private:
    std::mutex m_mutex;
    std::map<std::string, Session> m_sessions;
    GuessLimit m_guesses;                           // by address
    GuessLimit m_allGuesses{kTriesOfAllAddresses};  // of every address, as one
};

}  // namespace tolvane
