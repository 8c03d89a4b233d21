// PcmSink over Qt Multimedia's QAudioSink (PulseAudio, or PipeWire's PulseAudio service).

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include "ringing/audio/PcmSink.h"
#include "ringing/audio/SoundOutputSink.h"

namespace tolvane {

namespace {

// Short enough for a quick start; Qt 6.4's pull mode stalls below about 60 ms (it feeds 20 ms
// periods and PulseAudio's pre-buffer is never reached). Stop cuts the stream off at once whatever
// the size, since Qt disconnects the stream.
constexpr int kBufferMs = 100;

// Qt 6.4's PulseAudio sink first pulls one 20 ms period after start, which would make every bell
// 20 ms late. Its feed routine, userFeed(), is a private invokable of the platform object Qt makes
// beside the QAudioSink, as a child of the parent the sink was given: calling it once right after
// start took the onset from 26 ms to 6 ms (measured with Qt 6.4.2 on PulseAudio 16.1,
// bench/run-ringing.sh). It is not public API, so a Qt update may drop it; then nothing breaks but
// the bells start a period later, and qtSinkFeedsAtOnce() (checked by the sound server test) says
// so.
QObject* feedRoutineOwner(const QObject* sinkParent) {
    for (QObject* child : sinkParent->findChildren<QObject*>())
        if (child->metaObject()->indexOfMethod("userFeed()") >= 0) return child;
    return nullptr;
}

class AudioSinkOutput final : public PcmSink {
public:
    AudioSinkOutput(const QAudioDevice& device, const QAudioFormat& format)
        : m_sink(new QAudioSink(device, format, this)) {
        m_sink->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
        connect(m_sink, &QAudioSink::stateChanged, this, &AudioSinkOutput::onStateChanged);
    }

    void start(QIODevice* pcm) override {
        m_running = true;
        m_sink->start(pcm);
        feedNow();
    }

    void stop() override {
        m_running = false;
        m_sink->reset();
        m_sink->stop();
    }

private:
    // See feedRoutineOwner: where Qt has no such routine nothing happens and the period applies.
    void feedNow() {
        if (QObject* owner = feedRoutineOwner(this))
            QMetaObject::invokeMethod(owner, "userFeed", Qt::DirectConnection);
    }

    void onStateChanged(QAudio::State state) {
        if (!m_running) return;
        // Idle: the source ran dry, which it does only at its end. Stopped: the output failed.
        if (state == QAudio::IdleState || state == QAudio::StoppedState) {
            m_running = false;
            m_sink->stop();
            emit drained();
        }
    }

    QAudioSink* m_sink;
    bool m_running = false;
};

}  // namespace

#ifndef _WIN32
std::unique_ptr<PcmSink> makePulseSimpleSink(const PcmFormat& format);
#endif

bool qtSinkFeedsAtOnce() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QObject parent;
    new QAudioSink(device, format, &parent);
    return feedRoutineOwner(&parent) != nullptr;
}

PcmSinkFactory audioSinkFactory() {
#ifdef _WIN32
    // Qt's Windows sink converts through Media Foundation's resampler, which never returns under
    // Wine; waveOut plays the stream at its own rate and is heard under Wine too.
    return [](const PcmFormat& pcm) {
        return makeSoundOutputSink(openSoundOutput(pcm.rate, pcm.channels, nullptr), pcm);
    };
#endif
    return [](const PcmFormat& pcm) -> std::unique_ptr<PcmSink> {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
#ifndef _WIN32
        // Qt found no sound server when it started and will not look again.
        if (device.isNull()) return makePulseSimpleSink(pcm);
#endif
        if (device.isNull()) return nullptr;
        QAudioFormat format;
        format.setSampleRate(pcm.rate);
        format.setChannelCount(pcm.channels);
        format.setSampleFormat(QAudioFormat::Int16);
        return std::make_unique<AudioSinkOutput>(device, format);
    };
}

}  // namespace tolvane
