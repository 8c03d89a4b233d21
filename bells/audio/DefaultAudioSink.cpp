// SPDX-License-Identifier: GPL-3.0-or-later
// The sink on the audio output chosen (platform/SoundOutput): a PulseAudio stream on Linux
// (PipeWire's PulseAudio service too), waveOut on Windows (Qt's Windows sink converts through
// Media Foundation's resampler, which never returns under Wine). Connected only while a bell
// plays.

#include "bells/audio/PcmSink.h"
#include "bells/audio/SoundOutputSink.h"
#include "platform/SoundOutput.h"

namespace tolvane {

void loadAudioOutput() {
    loadSoundOutput();
}

PcmSinkFactory audioSinkFactory(std::function<OutputChoice()> choice) {
    return [choice = std::move(choice)](const PcmFormat& pcm) {
        return makeSoundOutputSink(
            openSoundOutput(pcm.rate, pcm.channels, choice ? choice() : OutputChoice{}, nullptr),
            pcm);
    };
}

}  // namespace tolvane
