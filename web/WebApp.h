// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The school office's web page: what each request gets, from log-in to the last form. It reads
// and changes the folder's tables as tolvanectl does (the same checks, texts and write lock; the
// ringer follows the files within a second) and asks the ringer itself only to pause, resume and
// stop, through WebRinger. Answers in Chinese, or in English when the browser prefers it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/UiText.h"
#include "bells/core/RingLog.h"
#include "bells/core/RingerState.h"
#include "web/Html.h"
#include "web/HttpsServer.h"
#include "web/WebSessions.h"

namespace tolvane {

class TableDatabase;

// What the page needs of the program that rings the bells; called from the server's threads.
class WebRinger {
public:
    virtual ~WebRinger() = default;
    // Where the ringer stands, in the reader's language; none when it did not answer in time (it
    // is busy, or ending).
    virtual std::optional<RingerState> state() = 0;
    virtual bool setRunning(bool running) = 0;
    virtual bool stopSound() = 0;
    // 立即播放 by the ringer; none when it did not answer, else whether it played (why not).
    virtual std::optional<Status> ringNow(const std::string& music, bool repeat,
                                          const std::string& who) = 0;
    // 广播通知: text said times over by the ringer, as 立即播放 (a bell due cuts in), now or at
    // a second of today (the school's clock); none when it did not answer, else whether it is
    // said or kept to be said (why not).
    virtual std::optional<Status> sayNotice(const std::string& text, int times,
                                            std::optional<int> secondOfToday,
                                            const std::string& who) = 0;
    // A notice kept to be said later, taken back; none when the ringer did not answer, false
    // when it had no such notice (said already, or taken back).
    virtual std::optional<bool> cancelNotice(int id, const std::string& who) = 0;
    // text said with the ringer's voice and rate, as MP3, for the office to hear first; nothing
    // is played on the loudspeakers.
    virtual Result<std::string> speechPreview(const std::string& text) = 0;
    // Why an MP3 file will not play as a bell (the ring log's words); empty when it will.
    virtual std::string fileUnplayableBecause(const std::string& file) = 0;
    // The school's clock, which may be read from any thread.
    virtual const Clock& clock() = 0;
    virtual RingLog& log() = 0;
};

class WebApp {
public:
    struct Setup {
        std::string folder;
        WebRinger* ringer = nullptr;
        // What a request's Host may name (the certificate's names and the machine's addresses).
        std::vector<std::string> hostNames;
        // The English texts; null: the page speaks Chinese to everyone.
        const UiTextTranslator* english = nullptr;
        // Milliseconds of a steady clock, for sessions and log-in waits.
        std::function<int64_t()> nowMs;
        // The secret desks' marks are signed with (a hash of the page's private key); empty: no
        // desk is known but this computer itself.
        std::string deskKey;
    };
    explicit WebApp(Setup setup);

    // Uploads into the 铃声库 come here, as the file's bytes; larger ones are refused unread.
    static constexpr char kUploadPath[] = "/library/upload";
    static constexpr size_t kMaxUploadBytes = size_t{20} * 1024 * 1024;

    HttpResponse handle(const HttpRequest& request);
    // What the server does with a request whose header alone has come: anyone but a logged-in
    // office (or one logging in) is answered from the header, the body never read; an upload
    // the office may make goes into a new hidden file of the library as it arrives.
    HttpsServer::Screening screen(const HttpRequest& header);
    WebSessions& sessions() { return m_sessions; }

private:
    struct Context;
    // The checks every request meets first (its Host, method and form, session and token; the
    // form's token only once its body is there, but an upload's): the refusal, or none.
    std::optional<HttpResponse> admit(Context& c, bool headerOnly);
    HttpResponse route(Context& c);
    HttpResponse loginPage(Context& c, const std::string& error);
    HttpResponse logIn(Context& c);
    HttpResponse todayPage(Context& c);
    HttpResponse schedulePage(Context& c);
    HttpResponse changePage(Context& c);
    HttpResponse deletePage(Context& c);
    HttpResponse saveBell(Context& c, bool adding);
    HttpResponse removeBell(Context& c);
    HttpResponse calendarPage(Context& c);
    HttpResponse changeCalendar(Context& c, bool setting);
    HttpResponse calendarTimetable(Context& c);
    HttpResponse timetableSeason(Context& c);
    HttpResponse timetableRotation(Context& c);
    HttpResponse logPage(Context& c);
    HttpResponse setPlan(Context& c);
    HttpResponse stopSound(Context& c);
    HttpResponse ringNow(Context& c);
    HttpResponse sayNotice(Context& c);
    HttpResponse cancelNotice(Context& c);
    HttpResponse previewNotice(Context& c);
    HttpResponse libraryPage(Context& c);
    HttpResponse libraryFile(Context& c);
    HttpResponse uploadToLibrary(Context& c);
    // Why an upload named as c's query names it is refused before its file is sent; none when
    // it may come.
    std::optional<HttpResponse> uploadRefusal(Context& c);
    HttpResponse passwordPage(Context& c);
    HttpResponse changePassword(Context& c);
    HttpResponse logOut(Context& c);
    // The page around body: its head, the menu and the notice of the last change.
    HttpResponse page(Context& c, const std::string& title, const Html& body);
    HttpResponse backTo(Context& c, const std::string& path, const std::string& notice,
                        bool isError);
    void logChange(const Context& c, const std::string& what);
    // Argon2id takes 64 MiB and most of a core: one hash at a time, whatever the threads. A
    // guess that comes while another is being hashed is turned away at once, not queued, so no
    // server thread waits for hashes and the office, logged in, is still served. A known desk's
    // password is not turned away: it waits for the hash being made (one desk at a time, on one
    // of the server's three threads), and no stranger's starts meanwhile.
    enum class PasswordCheck { right, wrong, busy };
    PasswordCheck checkPassword(const std::string& hash, std::string_view password, bool knownDesk);
    // Whether c comes from a desk that logged in within kDeskSeconds (its mark), or from this
    // computer itself.
    bool isKnownDesk(const Context& c) const;
    Status storePassword(TableDatabase& db, std::string_view password);

    Setup m_setup;
    WebSessions m_sessions;
    std::mutex m_hashing;
    std::atomic<int> m_desksWaiting{0};
};

}  // namespace tolvane
