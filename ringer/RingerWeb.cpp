// SPDX-License-Identifier: GPL-3.0-or-later
#include "ringer/RingerWeb.h"

#include "base/UiText.h"
#include "ringer/Ringer.h"

// A build made without OpenSSL and Boost.Beast has no page; a folder shared with a ringer that
// has one may still ask for it, and is told why not.
#ifdef TOLVANE_WITH_WEB
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <future>

#include "bells/audio/Mp3Decoder.h"
#include "schedule/core/Schema.h"
#include "settings/core/Password.h"
#include "speech/core/SpeechFiles.h"
#include "speech/make/SpeechMaking.h"
#include "web/WebService.h"

namespace tolvane {

namespace {

// The page's questions to the ringer, each run on the ringer's thread between its seconds. A
// question the ringer does not answer within kAnswerMs (it is ending, or stuck) gets none.
class RingerLink final : public WebRinger {
public:
    static constexpr int kAnswerMs = 3000;

    explicit RingerLink(Ringer& ringer) : m_ringer(ringer) {}

    std::optional<RingerState> state() override {
        // Asked for a reader: the ringer says its problems in the reader's language.
        const UiTextTranslator* reader = thisThreadsUiTexts();
        return onRingerThread<RingerState>([reader](Ringer& r) {
            const UiTextLanguage language(reader);
            return r.state();
        });
    }
    bool setRunning(bool running) override {
        return onRingerThread<bool>([running](Ringer& r) {
                   r.changePlan(running ? PlanState::kRunning : PlanState::kPaused);
                   return true;
               })
            .has_value();
    }
    bool stopSound() override {
        return onRingerThread<bool>([](Ringer& r) {
                   r.stopSound();
                   return true;
               })
            .has_value();
    }
    std::optional<Status> ringNow(const std::string& music, bool repeat,
                                  const std::string& who) override {
        return onRingerThread<Status>(
            [music, repeat, who](Ringer& r) { return r.ringNow(music, repeat, who); });
    }
    std::optional<Status> sayNotice(const std::string& text, int times,
                                    std::optional<int> secondOfToday,
                                    const std::string& who) override {
        const std::string said = noticeSpeech(oneLineNotice(text), times);
        // Made here, on the page's thread: the ringer's goes on ticking meanwhile.
        TableDatabase db;
        const SpeechVoiceChoice choice = openTablesForReading(db, m_ringer.folder()).isOk()
                                             ? speechVoiceChoice(db)
                                             : SpeechVoiceChoice{};
        if (Status made = makeSpeech(m_ringer.folder(), said, choice); !made.isOk()) return made;
        if (secondOfToday)
            return onRingerThread<Status>([text, times, at = *secondOfToday, who](Ringer& r) {
                return r.sayAt(text, times, at, who);
            });
        const std::string file = speechFilePath(m_ringer.folder(), said, choice);
        return onRingerThread<Status>([file, text, who](Ringer& r) {
            return r.ringNow(file, false, who + "，广播通知“" + text + "”");
        });
    }
    std::optional<bool> cancelNotice(int id, const std::string& who) override {
        return onRingerThread<bool>([id, who](Ringer& r) { return r.cancelNotice(id, who); });
    }
    Result<std::string> speechPreview(const std::string& text) override {
        TableDatabase db;
        const SpeechVoiceChoice choice = openTablesForReading(db, m_ringer.folder()).isOk()
                                             ? speechVoiceChoice(db)
                                             : SpeechVoiceChoice{};
        return speechMp3(text, choice);
    }
    std::string fileUnplayableBecause(const std::string& file) override {
        return unplayableBecause(file);  // a decoder of its own: any thread
    }
    const Clock& clock() override { return m_ringer.clock(); }
    RingLog& log() override { return m_ringer.log(); }

private:
    template <typename T>
    std::optional<T> onRingerThread(std::function<T(Ringer&)> work) {
        auto answer = std::make_shared<std::promise<T>>();
        std::future<T> future = answer->get_future();
        // Queued on the ringer's own object: dropped, unanswered, if the ringer goes first.
        QMetaObject::invokeMethod(
            &m_ringer.ring(),
            [answer, work, ringer = &m_ringer] { answer->set_value(work(*ringer)); },
            Qt::QueuedConnection);
        for (int waited = 0; waited < kAnswerMs && !m_ending; waited += kSliceMs)
            if (future.wait_for(std::chrono::milliseconds(kSliceMs)) == std::future_status::ready)
                return future.get();
        return std::nullopt;
    }

public:
    // The page is being stopped on the ringer's thread, which will answer nothing meanwhile:
    // questions waiting give up at once, so the stop holds the ringer for no longer than that.
    void end() { m_ending = true; }

private:
    static constexpr int kSliceMs = 10;
    Ringer& m_ringer;
    std::atomic<bool> m_ending{false};
};

}  // namespace

struct RingerWeb::Served {
    explicit Served(Ringer& ringer) : link(ringer) {}
    ~Served() {
        link.end();
        page.reset();
    }
    RingerLink link;
    std::unique_ptr<WebService> page;
};

RingerWeb::RingerWeb(Ringer& ringer) : m_ringer(ringer) {}

RingerWeb::~RingerWeb() = default;

bool RingerWeb::follow(const ProgramOptions& options, bool passwordSet) {
    const bool sameAsBefore = m_followed && options.webPort == m_for.webPort &&
                              options.webCertificate == m_for.webCertificate &&
                              options.webKey == m_for.webKey && passwordSet == m_forPassword;
    if (sameAsBefore) return false;
    m_followed = true;
    m_for = options;
    m_forPassword = passwordSet;
    const std::string before = m_problem + m_address + m_fingerprint;
    const bool wasServed = m_served != nullptr;
    m_served.reset();
    m_startFailure.clear();
    m_address.clear();
    m_addresses.clear();
    m_fingerprint.clear();
    if (options.webPort == 0) {
        if (wasServed) m_ringer.log().note("网页已关闭");
    } else if (webPageRefusal(options, passwordSet).empty()) {
        auto served = std::make_unique<Served>(m_ringer);
        auto page =
            WebService::start(m_ringer.folder(), options, served->link, m_ringer.webEnglish());
        if (!page.isOk()) {
            m_startFailure = page.status().message();
        } else {
            served->page = std::move(page).value();
            m_address = served->page->address();
            m_addresses = served->page->addresses();
            m_fingerprint = served->page->certificate().fingerprint;
            m_served = std::move(served);
            m_ringer.log().note("网页已开启：" + m_address + "，证书指纹（SHA-256）" +
                                m_fingerprint);
        }
    }
    {
        const UiTextLanguage ringLogWords(nullptr);
        m_problem = problem();
    }
    if (!m_problem.empty()) m_ringer.log().warn(m_problem);
    return before != m_problem + m_address + m_fingerprint;
}

std::string RingerWeb::problem() const {
    if (m_for.webPort == 0) return {};
    if (std::string refusal = webPageRefusal(m_for, m_forPassword); !refusal.empty())
        return refusal;
    if (m_startFailure.empty()) return {};
    return fillIn(uiText("WebPage", "网页没有开启：%1"), {m_startFailure});
}

}  // namespace tolvane

#else

namespace tolvane {

struct RingerWeb::Served {};

RingerWeb::RingerWeb(Ringer& ringer) : m_ringer(ringer) {}

RingerWeb::~RingerWeb() = default;

bool RingerWeb::follow(const ProgramOptions& options, bool passwordSet) {
    (void)passwordSet;
    if (m_followed && options.webPort == m_for.webPort) return false;
    m_followed = true;
    m_for = options;
    const std::string before = m_problem;
    {
        const UiTextLanguage ringLogWords(nullptr);
        m_problem = problem();
    }
    if (!m_problem.empty() && m_problem != before) m_ringer.log().warn(m_problem);
    return m_problem != before;
}

std::string RingerWeb::problem() const {
    return m_for.webPort == 0 ? std::string()
                              : uiText("WebPage", "网页没有开启：这个版本不提供网页");
}

}  // namespace tolvane

#endif
