// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: the SAPI 5 voices that read Chinese (zh-CN first, then zh-TW and zh-HK), each reading
// rendered into a memory stream as 16-bit PCM, never to a sound device. A voice is kept by its
// token's Name attribute ("Microsoft Huihui Desktop"), short enough for the Settings record.
#include <windows.h>
// windows.h first: the speech headers build on it.
#include <sapi.h>
#include <sphelper.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/UiText.h"
#include "platform/Com_win32.h"
#include "platform/SpeechVoice.h"
#include "platform/WideText_win32.h"

namespace tolvane {

namespace {

constexpr int kSampleRate = 22050;
// SPDFID_WaveFormatEx, which sapi.h declares and no mingw-w64 library defines: the stream's data
// is the PCM its WAVEFORMATEX describes.
constexpr GUID kWaveFormatExData = {
    0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};
constexpr const wchar_t* kChineseLanguages[] = {L"Language=804", L"Language=404", L"Language=C04"};

// One reading at a time, whichever thread asks (the checker's, the page's, a 试听).
std::mutex g_turns;

std::string takeCoText(WCHAR* text) {
    if (!text) return {};
    std::string utf8 = utf8Text(text);
    CoTaskMemFree(text);
    return utf8;
}

std::string voiceName(ISpObjectToken* token) {
    ComRef<ISpDataKey> attributes;
    WCHAR* name = nullptr;
    if (SUCCEEDED(token->OpenKey(L"Attributes", attributes.put())) &&
        SUCCEEDED(attributes->GetStringValue(L"Name", &name)))
        return takeCoText(name);
    return {};
}

std::string voiceDescription(ISpObjectToken* token) {
    WCHAR* description = nullptr;
    return SUCCEEDED(SpGetDescription(token, &description)) ? takeCoText(description)
                                                            : voiceName(token);
}

// Calls visit(token, name) for each Chinese voice the machine lists until it returns false.
template <typename Visit>
void eachChineseVoice(Visit visit) {
    for (const wchar_t* language : kChineseLanguages) {
        ComRef<IEnumSpObjectTokens> tokens;
        if (FAILED(SpEnumTokens(SPCAT_VOICES, language, nullptr, tokens.put())) || !tokens)
            continue;
        for (;;) {
            ComRef<ISpObjectToken> token;
            if (tokens->Next(1, token.put(), nullptr) != S_OK || !token) break;
            const std::string name = voiceName(token.get());
            if (!name.empty() && !visit(token.get(), name)) return;
        }
    }
}

Status engineError(const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return Status::ioError(fillIn(uiText("SpeechVoice", "语音引擎出错（%1：%2）"), {what, code}));
}

}  // namespace

std::vector<SpeechVoiceInfo> chineseVoices() {
    const std::lock_guard<std::mutex> turn(g_turns);
    const ComUse com;
    std::vector<SpeechVoiceInfo> voices;
    eachChineseVoice([&](ISpObjectToken* token, const std::string& name) {
        const bool known = std::any_of(voices.begin(), voices.end(),
                                       [&](const SpeechVoiceInfo& v) { return v.name == name; });
        if (!known) voices.push_back({name, voiceDescription(token)});
        return true;
    });
    return voices;
}

Result<SpeechPcm> renderSpeech(const std::string& text, const std::string& voice, int rate) {
    const std::lock_guard<std::mutex> turn(g_turns);
    const ComUse com;
    ComRef<ISpObjectToken> chosen;
    eachChineseVoice([&](ISpObjectToken* token, const std::string& name) {
        if (!voice.empty() && name != voice) return true;
        chosen.keep(token);
        return false;
    });
    if (!chosen)
        return Status::notFound(
            voice.empty() ? uiText("SpeechVoice", "这台电脑上没有中文语音")
                          : fillIn(uiText("SpeechVoice", "这台电脑上没有语音“%1”"), {voice}));

    ComRef<ISpVoice> speaker;
    HRESULT r =
        CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, speaker.putVoid());
    if (FAILED(r)) return engineError("SpVoice", r);
    ComRef<IStream> memory;
    r = CreateStreamOnHGlobal(nullptr, TRUE, memory.put());
    if (FAILED(r)) return engineError("CreateStreamOnHGlobal", r);
    ComRef<ISpStream> stream;
    r = CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, stream.putVoid());
    if (FAILED(r)) return engineError("SpStream", r);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kSampleRate * 2;
    r = stream->SetBaseStream(memory.get(), kWaveFormatExData, &format);
    if (FAILED(r)) return engineError("SetBaseStream", r);
    if (FAILED(r = speaker->SetOutput(stream.get(), TRUE))) return engineError("SetOutput", r);
    if (FAILED(r = speaker->SetVoice(chosen.get()))) return engineError("SetVoice", r);
    if (FAILED(r = speaker->SetRate(std::clamp(rate, -10, 10)))) return engineError("SetRate", r);
    const std::wstring said = wideText(text);
    r = speaker->Speak(said.c_str(), SPF_DEFAULT | SPF_IS_NOT_XML, nullptr);
    if (FAILED(r)) return engineError("Speak", r);

    STATSTG stat{};
    HGLOBAL global = nullptr;
    if (FAILED(r = memory->Stat(&stat, STATFLAG_NONAME))) return engineError("Stat", r);
    if (FAILED(r = GetHGlobalFromStream(memory.get(), &global))) return engineError("HGlobal", r);
    SpeechPcm pcm;
    pcm.sampleRate = kSampleRate;
    pcm.samples.resize(static_cast<size_t>(stat.cbSize.QuadPart) / sizeof(int16_t));
    if (pcm.samples.empty())
        return Status::ioError(uiText("SpeechVoice", "语音引擎没有读出任何声音"));
    const void* bytes = GlobalLock(global);
    if (!bytes) return engineError("GlobalLock", HRESULT_FROM_WIN32(GetLastError()));
    std::memcpy(pcm.samples.data(), bytes, pcm.samples.size() * sizeof(int16_t));
    GlobalUnlock(global);
    return pcm;
}

}  // namespace tolvane
