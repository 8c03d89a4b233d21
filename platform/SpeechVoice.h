// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The machine's voices for speech made ahead: which Chinese voices there are, and a text rendered
// to 16-bit PCM in memory (never to a sound device: speech is played later, as a bell). Nothing
// of a voice stays loaded between renderings.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"

namespace tolvane {

struct SpeechVoiceInfo {
    std::string name;   // what the Settings record keeps (at most 30 bytes of GBK)
    std::string shown;  // what a person picks it by
    bool operator==(const SpeechVoiceInfo&) const = default;
};

// The voices that read Chinese, the one used for an empty name first; none when the machine has
// none.
std::vector<SpeechVoiceInfo> chineseVoices();

struct SpeechPcm {
    std::vector<int16_t> samples;  // mono
    int sampleRate = 0;
};

// text (already written out by speakableText) read by voice (empty: the first of chineseVoices)
// at rate −10 (slowest) … 10 (fastest). Fails with why, in this thread's language, when there is
// no such voice or it says nothing. Safe from any thread: renderings take turns.
Result<SpeechPcm> renderSpeech(const std::string& text, const std::string& voice, int rate);

}  // namespace tolvane
