// A PcmSink straight on PulseAudio's simple API, for when Qt Multimedia lists no output.
//
// Qt 6.4 connects to the sound server once, when it is first used, and never again: a program
// started before the server (an early autostart, a restarted server) would stay silent for the
// rest of its run. This sink connects afresh for each stream, so sound works once the server is
// there.

#include <pulse/error.h>
#include <pulse/simple.h>

#include "ringing/audio/SoundOutputSink.h"

namespace tolvane {

namespace {

constexpr int kBufferMs = 60;

class PulseSimpleOutput final : public SoundOutput {
public:
    explicit PulseSimpleOutput(pa_simple* stream) : m_stream(stream) {}
    ~PulseSimpleOutput() override { pa_simple_free(m_stream); }

    bool write(const char* data, size_t n) override {
        return pa_simple_write(m_stream, data, n, nullptr) >= 0;
    }
    void drain() override { pa_simple_drain(m_stream, nullptr); }
    void stop() override { pa_simple_flush(m_stream, nullptr); }

private:
    pa_simple* m_stream;
};

}  // namespace

std::unique_ptr<PcmSink> makePulseSimpleSink(const PcmFormat& format) {
    pa_sample_spec spec;
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = static_cast<uint32_t>(format.rate);
    spec.channels = static_cast<uint8_t>(format.channels);
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(format.bytesPerSecond() * kBufferMs / 1000);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    pa_simple* stream = pa_simple_new(nullptr, "Tolvane", PA_STREAM_PLAYBACK, nullptr, "bell",
                                      &spec, nullptr, &attr, &error);
    if (!stream) return nullptr;
    return makeSoundOutputSink(std::make_unique<PulseSimpleOutput>(stream), format);
}

}  // namespace tolvane
