// The sink on the default audio output (platform/SoundOutput): a PulseAudio stream on Linux
// (PipeWire's PulseAudio service too), waveOut on Windows (Qt's Windows sink converts through
// Media Foundation's resampler, which never returns under Wine). Connected only while a bell
// plays.

#include "platform/SoundOutput.h"
#include "ringing/audio/PcmSink.h"
#include "ringing/audio/SoundOutputSink.h"

namespace tolvane {

void loadAudioOutput() {
    loadSoundOutput();
}

PcmSinkFactory audioSinkFactory() {
    return [](const PcmFormat& pcm) {
        return makeSoundOutputSink(openSoundOutput(pcm.rate, pcm.channels, nullptr), pcm);
    };
}

}  // namespace tolvane
