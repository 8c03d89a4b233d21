// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Speech made ahead: a text written out (speakableText), read by the machine's voice into memory
// (platform/SpeechVoice) and encoded as MP3 (libmp3lame), so that at a bell's second only a file
// plays, as music does. Slow (a voice loaded, a text read): never on the thread that rings.

#include <string>
#include <vector>

#include "base/Status.h"
#include "speech/core/SpeechFiles.h"

namespace tolvane {

// The MP3 of text said by choice: a moment of silence, then the speech.
Result<std::string> speechMp3(const std::string& text, const SpeechVoiceChoice& choice);

// Makes text's file in dataFolder's speech folder (speechFilePath) unless it is there already
// (*made then stays false); it appears whole or not at all. The failure says why in this
// thread's language.
Status makeSpeech(const std::string& dataFolder, const std::string& text,
                  const SpeechVoiceChoice& choice, bool* made = nullptr);

struct MissingSpeechMade {
    std::vector<std::string> made;     // each text whose file was made now
    std::vector<UnmadeSpeech> unmade;  // each bell whose speech could not be made, with why
};
// Makes the speech of every bell that has none yet, each text once.
MissingSpeechMade makeMissingSpeech(const std::string& dataFolder,
                                    const std::vector<SpokenBell>& bells,
                                    const SpeechVoiceChoice& choice);

}  // namespace tolvane
