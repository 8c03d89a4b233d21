// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/audio/SoundOutputSink.h"

#include <QIODevice>
#include <atomic>
#include <thread>

namespace tolvane {

namespace {

// What the writer takes from the PCM at a time: Stop is heard within about this.
constexpr int kChunkMs = 20;

class SoundOutputSink final : public PcmSink {
public:
    SoundOutputSink(std::unique_ptr<SoundOutput> output, PcmFormat format)
        : m_output(std::move(output)), m_format(format) {}

    ~SoundOutputSink() override { stop(); }

    void start(QIODevice* pcm) override {
        m_pcm = pcm;
        m_writer = std::thread([this] { writeAll(); });
    }

    bool startWhenOpen(QIODevice* pcm, std::shared_ptr<StartGate> gate) override {
        m_pcm = pcm;
        m_gate = std::move(gate);
        m_writer = std::thread([this] {
            if (m_gate->wait()) writeAll();
        });
        return true;
    }

    std::string inaudibleBecause() const override { return m_output->inaudibleBecause(); }
    bool audibilityKnown() const override { return m_output->audibilityKnown(); }

    void stop() override {
        m_stopping = true;
        if (m_gate) m_gate->cancel();
        m_output->interrupt();
        if (m_writer.joinable()) m_writer.join();
        m_output->stop();
    }

private:
    // On the writer thread; the player thread touches neither m_pcm nor m_output until it is
    // joined.
    void writeAll() {
        const qint64 chunk = static_cast<qint64>(m_format.bytesPerSecond()) * kChunkMs / 1000;
        QByteArray buffer;
        while (!m_stopping) {
            buffer = m_pcm->read(chunk);
            if (buffer.isEmpty()) break;
            if (!m_output->write(buffer.constData(), static_cast<size_t>(buffer.size()))) break;
        }
        // drain returns only once everything has been heard.
        if (!m_stopping) m_output->drain();
        if (!m_stopping)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_stopping) emit drained();
                },
                Qt::QueuedConnection);
    }

    std::unique_ptr<SoundOutput> m_output;
    PcmFormat m_format;
    QIODevice* m_pcm = nullptr;
    std::shared_ptr<StartGate> m_gate;
    std::thread m_writer;
    std::atomic<bool> m_stopping{false};
};

}  // namespace

std::unique_ptr<PcmSink> makeSoundOutputSink(std::unique_ptr<SoundOutput> output,
                                             const PcmFormat& format) {
    if (!output) return nullptr;
    return std::make_unique<SoundOutputSink>(std::move(output), format);
}

}  // namespace tolvane
