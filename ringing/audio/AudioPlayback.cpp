#include "ringing/audio/AudioPlayback.h"

#include "ringing/audio/PcmDevice.h"
#include "ringing/audio/PlaylistSource.h"

namespace tolvane {

PlayerWorker::PlayerWorker(PcmSinkFactory factory, PlaybackHooks hooks, Progress& progress)
    : m_factory(std::move(factory)), m_hooks(std::move(hooks)), m_progress(progress) {}

PlayerWorker::~PlayerWorker() {
    if (m_sink) m_sink->stop();
    delete m_sink;  // not deleteLater: the thread's event loop has ended
}

void PlayerWorker::play(const std::vector<std::string>& list, int count, uint64_t request) {
    silence();
    // Running before served: a reader never sees this request taken in and nothing playing.
    m_progress.running = true;
    if (request) m_progress.served = request;
    m_source = std::make_shared<PlaylistSource>(list, count, m_hooks.onSkipped);
    startNextFile();
}

void PlayerWorker::stop(uint64_t request) {
    silence();
    m_progress.running = false;
    if (request) m_progress.served = request;
}

void PlayerWorker::silence() {
    if (m_sink) m_sink->stop();
    releaseCurrentFile();
    m_source.reset();
}

void PlayerWorker::releaseCurrentFile() {
    if (!m_sink) return;
    m_sink->disconnect(this);
    m_sink->deleteLater();
    m_sink = nullptr;
    m_device = nullptr;
}

void PlayerWorker::startNextFile() {
    // A file of another format may already be open: the previous stream ended before it.
    while (m_source && (m_source->hasCurrent() || m_source->openNext())) {
        std::unique_ptr<PcmSink> sink = m_factory(m_source->format());
        if (!sink) {  // no output: give up, the next Play tries again
            if (m_hooks.onNoOutput) m_hooks.onNoOutput();
            break;
        }
        m_sink = sink.release();
        std::function<void()> firstData;
        if (m_hooks.onFirstData)
            firstData = [report = m_hooks.onFirstData, why = m_sink->inaudibleBecause(),
                         known = m_sink->audibilityKnown()] { report(why, known); };
        m_device = new PcmDevice(m_source, std::move(firstData), m_sink);
        // Queued: a sink may report drained from inside start().
        connect(m_sink, &PcmSink::drained, this, &PlayerWorker::onDrained, Qt::QueuedConnection);
        m_sink->start(m_device);
        return;
    }
    const bool played = m_source != nullptr;
    m_source.reset();
    m_progress.running = false;
    if (played && m_hooks.onListEnd) m_hooks.onListEnd();
}

void PlayerWorker::onDrained() {
    releaseCurrentFile();
    startNextFile();
}

PlaybackHooks engineHooks(std::function<RingEngine*()> engine) {
    PlaybackHooks hooks;
    hooks.onFirstData = [engine](const std::string& inaudibleBecause, bool audibilityKnown) {
        if (RingEngine* e = engine()) e->onFirstSample(inaudibleBecause, audibilityKnown);
    };
    hooks.onListEnd = [engine] {
        if (RingEngine* e = engine()) e->onListEnded();
    };
    hooks.onSkipped = [engine](const std::string& file, const std::string& why) {
        if (RingEngine* e = engine()) e->onFileSkipped(file, why);
    };
    hooks.onNoOutput = [engine] {
        if (RingEngine* e = engine()) e->onNoOutput();
    };
    return hooks;
}

AudioPlayback::AudioPlayback(PcmSinkFactory factory, PlaybackHooks hooks)
    : m_worker(new PlayerWorker(std::move(factory), std::move(hooks), m_progress)) {
    m_thread.setObjectName("player");
    m_worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::TimeCriticalPriority);
}

AudioPlayback::~AudioPlayback() {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait(5000);
}

void AudioPlayback::play(const std::vector<std::string>& list, int count) {
    const uint64_t request = ++m_requests;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, list, count, request] { w->play(list, count, request); },
        Qt::QueuedConnection);
}

void AudioPlayback::stop() {
    const uint64_t request = ++m_requests;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, request] { w->stop(request); }, Qt::QueuedConnection);
}

bool AudioPlayback::playing() const {
    // A request not yet taken in counts as playing: what was asked for has not ended.
    return m_requests != m_progress.served || m_progress.running;
}

}  // namespace tolvane
