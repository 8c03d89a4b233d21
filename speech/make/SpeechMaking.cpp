// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/make/SpeechMaking.h"

#include <filesystem>
#include <map>

#include "base/PathText.h"
#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "platform/SpeechVoice.h"
#include "schedule/core/BellLibrary.h"
#include "speech/core/SpeechText.h"
#include "speech/make/Mp3Encoder.h"

namespace tolvane {

namespace {
// Heard between the music and the words, so that they do not run into each other.
constexpr int kLeadInMs = 400;
}  // namespace

Result<std::string> speechMp3(const std::string& text, const SpeechVoiceChoice& choice) {
    const std::string said = speakableText(text);
    auto pcm = renderSpeech(said, choice.voice, choice.rate);
    if (!pcm.isOk()) return pcm.status();
    SpeechPcm withLeadIn = std::move(pcm).value();
    withLeadIn.samples.insert(withLeadIn.samples.begin(),
                              static_cast<size_t>(withLeadIn.sampleRate * kLeadInMs / 1000), 0);
    return encodeMp3(withLeadIn);
}

Status makeSpeech(const std::string& dataFolder, const std::string& text,
                  const SpeechVoiceChoice& choice, bool* made) {
    if (made) *made = false;
    FileSystem& fs = *FileSystem::platform();
    const std::string path = speechFilePath(dataFolder, text, choice);
    if (fs.exists(path)) return Status::ok();
    auto mp3 = speechMp3(text, choice);
    if (!mp3.isOk()) return mp3.status();
    std::error_code ec;
    std::filesystem::create_directories(pathFromUtf8(speechFolder(dataFolder)), ec);
    // Written beside, then renamed: a bell at this moment finds the whole file or none.
    const std::string scratch = libraryScratchPath(dataFolder);
    Status s = writeNewFile(fs, scratch, mp3.value());
    if (s.isOk()) s = fs.replace(scratch, path);
    if (!s.isOk()) {
        fs.remove(scratch);
        return Status::ioError(
            fillIn(uiText("SpeechMaking", "语音文件没能存入铃声库：%1"), {s.message()}));
    }
    if (made) *made = true;
    return Status::ok();
}

MissingSpeechMade makeMissingSpeech(const std::string& dataFolder,
                                    const std::vector<SpokenBell>& bells,
                                    const SpeechVoiceChoice& choice) {
    std::map<std::string, Status> tried;  // each text once
    MissingSpeechMade result;
    for (const SpokenBell& bell : bells) {
        auto it = tried.find(bell.text);
        if (it == tried.end()) {
            bool made = false;
            it = tried.emplace(bell.text, makeSpeech(dataFolder, bell.text, choice, &made)).first;
            if (made) result.made.push_back(bell.text);
        }
        if (!it->second.isOk()) result.unmade.push_back({bell, it->second.message()});
    }
    return result;
}

}  // namespace tolvane
