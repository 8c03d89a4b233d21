// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: no voice yet. The SAPI 5 voices and a cross-built espeak-ng are still to come; until
// then a bell's speech is said to be unmade and the bell rings its music.
#include "base/UiText.h"
#include "platform/SpeechVoice.h"

namespace tolvane {

std::vector<SpeechVoiceInfo> chineseVoices() {
    return {};
}

Result<SpeechPcm> renderSpeech(const std::string&, const std::string&, int) {
    return Status::notSupported(uiText("SpeechVoice", "这个版本在 Windows 上还不能生成语音"));
}

}  // namespace tolvane
