// A PcmSink straight on PulseAudio's simple API, for when Qt Multimedia lists no output.
//
// Qt 6.4 connects to the sound server once, when it is first used, and never again: a program
// started before the server (an early autostart, a restarted server) would stay silent for the
// rest of its run. This sink connects afresh for each stream, so sound works once the server is
// there.

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QIODevice>
#include <atomic>
#include <thread>

#include "ringing/audio/PcmSink.h"

namespace tolvane {

namespace {

constexpr int kChunkMs = 20;
constexpr int kBufferMs = 60;

class PulseSimpleSink final : public PcmSink {
public:
    PulseSimpleSink(pa_simple* stream, PcmFormat format) : m_stream(stream), m_format(format) {}

    ~PulseSimpleSink() override {
        stop();
        pa_simple_free(m_stream);
    }

    void start(QIODevice* pcm) override {
        m_pcm = pcm;
        m_writer = std::thread([this] { writeAll(); });
    }

    void stop() override {
        m_stopping = true;
        if (m_writer.joinable()) m_writer.join();
        pa_simple_flush(m_stream, nullptr);
    }

private:
    // On the writer thread; the player thread does not touch m_pcm until it is joined.
    void writeAll() {
        const qint64 chunk = static_cast<qint64>(m_format.bytesPerSecond()) * kChunkMs / 1000;
        QByteArray buffer;
        while (!m_stopping) {
            buffer = m_pcm->read(chunk);
            if (buffer.isEmpty()) break;
            if (pa_simple_write(m_stream, buffer.constData(), static_cast<size_t>(buffer.size()),
                                nullptr) < 0)
                break;
        }
        // Unlike QAudioSink, drain returns only once everything has been played.
        if (!m_stopping) pa_simple_drain(m_stream, nullptr);
        if (!m_stopping)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_stopping) emit drained();
                },
                Qt::QueuedConnection);
    }

    pa_simple* m_stream;
    PcmFormat m_format;
    QIODevice* m_pcm = nullptr;
    std::thread m_writer;
    std::atomic<bool> m_stopping{false};
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
    return std::make_unique<PulseSimpleSink>(stream, format);
}

}  // namespace tolvane
