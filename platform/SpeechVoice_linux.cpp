// SPDX-License-Identifier: GPL-3.0-or-later
// espeak-ng's Chinese voices. Its Mandarin voice "cmn" reads Chinese characters as English
// words on Debian 12; "cmn-latn-pinyin" reads them as Mandarin with their tones, so it is the one
// used for an empty name.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <mutex>
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

// espeak-ng keeps one engine per process: everything that touches it takes turns.
std::mutex& engineMutex() {
    static std::mutex m;
    return m;
}

// Loaded for one use and let go afterwards, so a ringer at rest holds none of a voice.
class Engine {
public:
    Engine() {
        m_sampleRate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    }
    ~Engine() {
        if (m_sampleRate > 0) espeak_Terminate();
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
    int sampleRate() const { return m_sampleRate; }

private:
    int m_sampleRate = 0;
};

std::string voiceFileName(const espeak_VOICE& voice) {
    std::string_view id = voice.identifier ? voice.identifier : "";
    if (auto slash = id.rfind('/'); slash != std::string_view::npos) id.remove_prefix(slash + 1);
    std::string name(id);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

std::vector<std::string> installedVoiceNames() {
    std::vector<std::string> names;
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (int i = 0; voices && voices[i]; ++i) names.push_back(voiceFileName(*voices[i]));
    return names;
}

// The words a minute espeak-ng is given for a rate of −10 … 10: a third of normal at one end,
// three times at the other, within what it can say.
int wordsPerMinute(int rate) {
    const double wpm = espeakRATE_NORMAL * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(static_cast<int>(std::lround(wpm)), espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
}

// Where the samples of the rendering under way go (the engine's callback takes no context of
// its own that reaches every call).
std::vector<int16_t>* g_samples = nullptr;

int collectSamples(short* wav, int count, espeak_EVENT*) {
    if (wav && count > 0 && g_samples) g_samples->insert(g_samples->end(), wav, wav + count);
    return 0;
}

}  // namespace

std::vector<SpeechVoiceInfo> chineseVoices() {
    std::lock_guard<std::mutex> lock(engineMutex());
    Engine engine;
    if (engine.sampleRate() <= 0) return {};
    const std::vector<std::string> installed = installedVoiceNames();
    std::vector<SpeechVoiceInfo> voices;
    for (const KnownVoice& known : kKnownVoices)
        if (std::find(installed.begin(), installed.end(), known.name) != installed.end())
            voices.push_back({known.name, uiText("SpeechVoice", known.shown)});
    return voices;
}

Result<SpeechPcm> renderSpeech(const std::string& text, const std::string& voice, int rate) {
    std::lock_guard<std::mutex> lock(engineMutex());
    Engine engine;
    if (engine.sampleRate() <= 0)
        return Status::notFound(
            uiText("SpeechVoice", "语音引擎 espeak-ng 不能启动（缺少 espeak-ng-data？）"));
    const std::string name = voice.empty() ? kKnownVoices[0].name : voice;
    if (espeak_SetVoiceByName(name.c_str()) != EE_OK)
        return Status::notFound(fillIn(uiText("SpeechVoice", "这台电脑上没有语音“%1”"), {name}));
    espeak_SetParameter(espeakRATE, wordsPerMinute(rate), 0);
    SpeechPcm pcm;
    pcm.sampleRate = engine.sampleRate();
    g_samples = &pcm.samples;
    espeak_SetSynthCallback(collectSamples);
    const espeak_ERROR said = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                           espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    g_samples = nullptr;
    if (said != EE_OK || pcm.samples.empty())
        return Status::ioError(uiText("SpeechVoice", "语音引擎没有读出任何声音"));
    return pcm;
}

}  // namespace tolvane
