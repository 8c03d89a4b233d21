// The sink on the default audio output: a PulseAudio stream on Linux (PipeWire's PulseAudio
// service too), waveOut on Windows. One path per system, connected only while a bell plays.

#include "ringing/audio/PcmSink.h"
#include "ringing/audio/SoundOutputSink.h"

namespace tolvane {

#ifndef _WIN32
std::unique_ptr<PcmSink> makePulseSink(const PcmFormat& format);
bool loadPulseLibrary();
#endif

void loadAudioOutput() {
#ifndef _WIN32
    loadPulseLibrary();
#endif
}

PcmSinkFactory audioSinkFactory() {
#ifdef _WIN32
    // Qt's Windows sink converts through Media Foundation's resampler, which never returns under
    // Wine; waveOut plays the stream at its own rate and is heard under Wine too.
    return [](const PcmFormat& pcm) {
        return makeSoundOutputSink(openSoundOutput(pcm.rate, pcm.channels, nullptr), pcm);
    };
#else
    return makePulseSink;
#endif
}

}  // namespace tolvane
