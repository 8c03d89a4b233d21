// SPDX-License-Identifier: GPL-3.0-or-later
// A build without libmp3lame (a Windows cross build so far) makes no speech.
#include "base/UiText.h"
#include "speech/make/Mp3Encoder.h"

namespace tolvane {

Result<std::string> encodeMp3(const SpeechPcm&) {
    return Status::notSupported(uiText("Mp3Encoder", "这个版本不能生成语音（没有 MP3 编码器）"));
}

}  // namespace tolvane
