// SPDX-License-Identifier: GPL-3.0-or-later
// The page's request handling with any request: the fuzzer's bytes give the method, target, Host,
// Cookie, Accept-Language, Content-Type and body, sent as a stranger or inside a live session
// (its cookie and form token put in), against a folder with a password. Nothing may crash, hang
// or read outside its buffers, and a stranger never gets a page past the log-in.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "schedule/core/Schema.h"
#include "settings/core/Password.h"
#include "web/WebApp.h"

namespace {

using namespace tolvane;

class NoLog final : public RingLog {
public:
    void note(const std::string&) override {}
    void warn(const std::string&) override {}
};

class StandInRinger final : public WebRinger {
public:
    std::optional<RingerState> state() override {
        RingerState s;
        s.plan = running ? PlanState::kRunning : PlanState::kPaused;
        s.problems.push_back({RingerProblemKind::kMusic, "铃声的音乐不能播放：<b>.mp3"});
        return s;
    }
    bool setRunning(bool on) override { return running = on, true; }
    bool stopSound() override { return true; }
    std::optional<Status> ringNow(const std::string&, bool, const std::string&) override {
        return Status::ok();
    }
    std::optional<Status> sayNotice(const std::string&, int, std::optional<int>,
                                    const std::string&) override {
        return Status::ok();
    }
    std::optional<bool> cancelNotice(int, const std::string&) override { return true; }
    Result<std::string> speechPreview(const std::string&) override { return std::string(); }
    std::string fileUnplayableBecause(const std::string& file) override {
        std::ifstream in(file, std::ios::binary);
        char tag[3] = {};
        in.read(tag, 3);
        return std::string(tag, 3) == "ID3" ? "" : "不是MP3文件";
    }
    const Clock& clock() override { return schoolClock; }
    RingLog& log() override { return ringLog; }

    bool running = true;
    ManualClock schoolClock{int64_t{1796724000} * 1000};
    NoLog ringLog;
};

struct Site {
    Site() {
        folder = (std::filesystem::temp_directory_path() /
                  ("tolvane-web-fuzz-" + std::to_string(::getpid())))
                     .string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        TableDatabase db;
        if (!openOrCreateTables(db, folder).usable() || !setPassword(db, "corridor-7").isOk())
            std::abort();
        const std::string hash = readPasswordHash(db).value();
        WebApp::Setup setup;
        setup.folder = folder;
        setup.ringer = &ringer;
        setup.hostNames = {"localhost", "bells.school.lan", "::1"};
        setup.nowMs = [] { return int64_t{1000}; };
        app = std::make_unique<WebApp>(std::move(setup));
        session = app->sessions().open(hash, 1000);
        token = app->sessions().use(session, hash, 1000)->formToken;
    }
    ~Site() {
        app.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
    StandInRinger ringer;
    std::unique_ptr<WebApp> app;
    std::string session;
    std::string token;
};

// The next line of the input (up to a newline), or the rest when none is left.
std::string_view nextLine(std::string_view& input) {
    const size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Site site;
    if (size == 0) return 0;
    const bool inSession = data[0] & 1;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    HttpRequest r;
    r.method = nextLine(input);
    r.target = nextLine(input);
    r.host = nextLine(input);
    r.cookie = nextLine(input);
    r.acceptLanguage = nextLine(input);
    r.contentType = nextLine(input);
    r.body = input;
    r.clientAddress = "192.168.1.50";
    if (inSession) {
        r.cookie += "; tolvane_session=" + site.session;
        r.body += "&token=" + site.token;
    }
    const HttpResponse answer = site.app->handle(r);
    // A stranger reaches the log-in page, the style sheet and refusals, never a page of the site.
    if (!inSession && answer.status == 200 && r.path() != "/login" && r.path() != "/style.css")
        std::abort();
    return 0;
}
