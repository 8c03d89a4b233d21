// SPDX-License-Identifier: GPL-3.0-or-later
// espeak-ng's Chinese voices. Its Mandarin voice "cmn" reads Chinese characters as English
// words on Debian 12; "cmn-latn-pinyin" reads them as Mandarin with their tones, so it is the one
// used for an empty name.
//
// Each use of the engine runs in a child process of its own (forked, not started anew), which
// hands back what it found through a pipe and ends: espeak-ng 1.51 hangs when it is started
// again after espeak_Terminate, keeps one engine per process, and a voice left loaded would stay
// in a ringer's memory at rest. A child that hangs is ended after a deadline; the ringer goes on.
#include <espeak-ng/speak_lib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>

#include "base/UiText.h"
#include "platform/SpeechVoice.h"

namespace tolvane {

namespace {

struct KnownVoice {
    const char* name;   // espeak-ng's voice file, as its -v option takes it
    const char* shown;  // marked for translation, said through uiText
};
constexpr KnownVoice kKnownVoices[] = {
    {"cmn-latn-pinyin", UI_TEXT_NOOP("SpeechVoice", "普通话（espeak-ng）")},
    {"yue", UI_TEXT_NOOP("SpeechVoice", "粤语（espeak-ng）")},
};

// Long enough for the longest text a bell holds at the slowest rate.
constexpr auto kChildDeadline = std::chrono::seconds(60);

// What a child tells its parent first: how its work went.
enum ChildAnswer : char { kDone = 'D', kNoEngine = 'E', kNoVoice = 'V', kSaidNothing = 'N' };

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        size -= static_cast<size_t>(n);
    }
}

// Runs work in a forked child, which writes its answer to the pipe; the bytes written, or why
// there are none.
Result<std::string> inChild(const std::function<std::string()>& work) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return Status::ioError(uiText("SpeechVoice", "语音引擎不能启动：") + std::strerror(errno));
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return Status::ioError(uiText("SpeechVoice", "语音引擎不能启动：") + std::strerror(errno));
    }
    if (pid == 0) {
        ::close(fds[0]);
        const std::string answer = work();
        writeAll(fds[1], answer.data(), answer.size());
        ::_exit(0);  // nothing of the parent's (its stdio, its exit handlers) runs here
    }
    ::close(fds[1]);
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + kChildDeadline;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        if (ready == 0) {
            timedOut = true;
            break;
        }
        if (ready < 0 && errno == EINTR) continue;
        char buffer[65536];
        const ssize_t n = ready < 0 ? -1 : ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (timedOut) ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) return Status::ioError(uiText("SpeechVoice", "语音引擎一分钟内没有读完，已停止"));
    return bytes;
}

std::string voiceFileName(const espeak_VOICE& voice) {
    std::string_view id = voice.identifier ? voice.identifier : "";
    if (auto slash = id.rfind('/'); slash != std::string_view::npos) id.remove_prefix(slash + 1);
    std::string name(id);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool startEngine() {
    return espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) > 0;
}

// The words a minute espeak-ng is given for a rate of −10 … 10: a third of normal at one end,
// three times at the other, within what it can say.
int wordsPerMinute(int rate) {
    const double wpm = espeakRATE_NORMAL * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(static_cast<int>(std::lround(wpm)), espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
}

// The child's samples (its engine's callback has no context of its own that reaches every call).
std::string* g_samples = nullptr;

int collectSamples(short* wav, int count, espeak_EVENT*) {
    if (wav && count > 0 && g_samples)
        g_samples->append(reinterpret_cast<const char*>(wav),
                          static_cast<size_t>(count) * sizeof(short));
    return 0;
}

// In the child: the answer, then the sample rate and the samples.
std::string renderInChild(const std::string& text, const std::string& voice, int rate) {
    const int sampleRate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate <= 0) return std::string(1, kNoEngine);
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) return std::string(1, kNoVoice);
    espeak_SetParameter(espeakRATE, wordsPerMinute(rate), 0);
    std::string answer(1, kDone);
    const int32_t rateBytes = sampleRate;
    answer.append(reinterpret_cast<const char*>(&rateBytes), sizeof rateBytes);
    g_samples = &answer;
    espeak_SetSynthCallback(collectSamples);
    // Synchronous output: the whole text has been read when espeak_Synth returns.
    const espeak_ERROR said = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                           espeakCHARS_UTF8, nullptr, nullptr);
    if (said != EE_OK || answer.size() == 1 + sizeof rateBytes) return std::string(1, kSaidNothing);
    return answer;
}

}  // namespace

std::vector<SpeechVoiceInfo> chineseVoices() {
    auto names = inChild([] {
        std::string list;
        if (!startEngine()) return list;
        const espeak_VOICE** voices = espeak_ListVoices(nullptr);
        for (int i = 0; voices && voices[i]; ++i) list += voiceFileName(*voices[i]) + "\n";
        return list;
    });
    std::vector<SpeechVoiceInfo> voices;
    if (!names.isOk()) return voices;
    for (const KnownVoice& known : kKnownVoices)
        if (names.value().find(std::string("\n") + known.name + "\n") != std::string::npos ||
            names.value().starts_with(std::string(known.name) + "\n"))
            voices.push_back({known.name, uiText("SpeechVoice", known.shown)});
    return voices;
}

Result<SpeechPcm> renderSpeech(const std::string& text, const std::string& voice, int rate) {
    const std::string name = voice.empty() ? kKnownVoices[0].name : voice;
    auto answer = inChild([&] { return renderInChild(text, name, rate); });
    if (!answer.isOk()) return answer.status();
    const std::string& bytes = answer.value();
    const char said = bytes.empty() ? char{kNoEngine} : bytes[0];
    if (said == kNoVoice)
        return Status::notFound(fillIn(uiText("SpeechVoice", "这台电脑上没有语音“%1”"), {name}));
    if (said == kSaidNothing || (said == kDone && bytes.size() <= 1 + sizeof(int32_t)))
        return Status::ioError(uiText("SpeechVoice", "语音引擎没有读出任何声音"));
    if (said != kDone)
        return Status::notFound(
            uiText("SpeechVoice", "语音引擎 espeak-ng 不能启动（缺少 espeak-ng-data？）"));
    SpeechPcm pcm;
    int32_t sampleRate = 0;
    std::memcpy(&sampleRate, bytes.data() + 1, sizeof sampleRate);
    pcm.sampleRate = sampleRate;
    const size_t sampleBytes = bytes.size() - 1 - sizeof sampleRate;
    pcm.samples.resize(sampleBytes / sizeof(int16_t));
    std::memcpy(pcm.samples.data(), bytes.data() + 1 + sizeof sampleRate,
                pcm.samples.size() * sizeof(int16_t));
    return pcm;
}

}  // namespace tolvane
