// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/audio/AudioPlayback.h"

#include <cstdio>
#include <mutex>

#include "bells/audio/PcmDevice.h"
#include "bells/audio/PlaylistSource.h"
#include "platform/SoundThreadPriority.h"

namespace tolvane {

PlayerWorker::PlayerWorker(PcmSinkFactory factory, PlaybackHooks hooks, Progress& progress)
    : m_factory(std::move(factory)), m_hooks(std::move(hooks)), m_progress(progress) {
    m_preparedExpiry.setSingleShot(true);
    m_preparedExpiry.setInterval(kPreparedForMs);
    connect(&m_preparedExpiry, &QTimer::timeout, this, &PlayerWorker::dropPrepared);
}

PlayerWorker::~PlayerWorker() {
    dropPrepared();
    if (m_sink) m_sink->stop();
    delete m_sink;  // not deleteLater: the thread's event loop has ended
}

void PlayerWorker::prepare(const std::vector<std::string>& list, int count,
                           std::shared_ptr<StartGate> gate) {
    dropPrepared();
    // A list whose first file will not open is left to play(), which reports it; the files
    // skipped later, once the bell plays, are reported as they are.
    struct Opening {
        bool now = true;
        bool skipped = false;
    };
    auto opening = std::make_shared<Opening>();
    auto source = std::make_shared<PlaylistSource>(
        list, count,
        [opening, report = m_hooks.onSkipped](const std::string& f, const std::string& why) {
            if (opening->now)
                opening->skipped = true;
            else if (report)
                report(f, why);
        });
    const bool opened = source->openNext() && !opening->skipped;
    opening->now = false;  // before any other thread reads the source
    if (!opened) return;
    std::unique_ptr<PcmSink> sink = m_factory(source->format());
    if (!sink) return;
    PcmSink* held = sink.release();
    PcmDevice* device = makeDevice(source, held);
    m_prepared = Prepared{gate, source, held, device, held->startWhenOpen(device, gate)};
    m_preparedExpiry.start();
}

void PlayerWorker::play(const std::vector<std::string>& list, int count, uint64_t request,
                        const std::shared_ptr<StartGate>& gate) {
    silence();
    // Running before served: a reader never sees this request taken in and nothing playing.
    m_progress.running = true;
    if (request) m_progress.served = request;
    if (adoptPrepared(gate)) return;
    dropPrepared();
    m_source = std::make_shared<PlaylistSource>(list, count, m_hooks.onSkipped);
    startNextFile();
}

void PlayerWorker::stop(uint64_t request) {
    dropPrepared();
    silence();
    m_progress.running = false;
    if (request) m_progress.served = request;
}

bool PlayerWorker::adoptPrepared(const std::shared_ptr<StartGate>& gate) {
    if (!gate || !m_prepared || m_prepared->gate != gate) return false;
    Prepared prepared = *std::exchange(m_prepared, std::nullopt);
    m_preparedExpiry.stop();
    m_source = prepared.source;
    m_sink = prepared.sink;
    m_device = prepared.device;
    connect(m_sink, &PcmSink::drained, this, &PlayerWorker::onDrained, Qt::QueuedConnection);
    if (!prepared.held) m_sink->start(m_device);
    return true;
}

void PlayerWorker::dropPrepared() {
    if (!m_prepared) return;
    m_prepared->gate->cancel();
    m_prepared->sink->stop();
    delete m_prepared->sink;  // never connected: nothing of it is queued
    m_prepared.reset();
    m_preparedExpiry.stop();
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
        m_device = makeDevice(m_source, m_sink);
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

PcmDevice* PlayerWorker::makeDevice(const std::shared_ptr<PlaylistSource>& source, PcmSink* sink) {
    std::function<void(const std::string&)> firstData;
    if (m_hooks.onFirstData)
        firstData = [report = m_hooks.onFirstData, why = sink->inaudibleBecause(),
                     known = sink->audibilityKnown()](const std::string& file) {
            report(file, why, known);
        };
    return new PcmDevice(source, std::move(firstData), sink);
}

void PlayerWorker::onDrained() {
    releaseCurrentFile();
    startNextFile();
}

PlaybackHooks engineHooks(std::function<RingEngine*()> engine) {
    PlaybackHooks hooks;
    hooks.onFirstData = [engine](const std::string& file, const std::string& inaudibleBecause,
                                 bool audibilityKnown) {
        if (RingEngine* e = engine()) e->onFirstSample(file, inaudibleBecause, audibilityKnown);
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
    // On the player thread, once: Qt's thread priority means nothing to Linux's ordinary
    // scheduler, so the thread asks the system for real time itself.
    QObject::connect(&m_thread, &QThread::started, m_worker, [] {
        const SoundThreadPriority priority = raiseThisSoundThread();
        static std::once_flag toldOnce;
        if (!priority.raised)
            std::call_once(toldOnce, [&] {
                std::fprintf(stderr, "tolvane: the sound thread has ordinary priority: %s\n",
                             priority.how.c_str());
            });
    });
    m_thread.start(QThread::TimeCriticalPriority);
}

AudioPlayback::~AudioPlayback() {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait(5000);
}

void AudioPlayback::prepare(const std::vector<std::string>& list, int count) {
    auto gate = std::make_shared<StartGate>();
    {
        std::lock_guard<std::mutex> lock(m_preparedMutex);
        if (m_prepared.gate) m_prepared.gate->cancel();
        m_prepared = {list, count, gate};
    }
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, list, count, gate] { w->prepare(list, count, gate); },
        Qt::QueuedConnection);
}

std::shared_ptr<StartGate> AudioPlayback::takePrepared(const std::vector<std::string>& list,
                                                       int count) {
    std::lock_guard<std::mutex> lock(m_preparedMutex);
    PreparedList prepared = std::exchange(m_prepared, {});
    if (!prepared.gate) return nullptr;
    if (prepared.list == list && prepared.count == count) return prepared.gate;
    prepared.gate->cancel();
    return nullptr;
}

void AudioPlayback::play(const std::vector<std::string>& list, int count) {
    const uint64_t request = ++m_requests;
    std::shared_ptr<StartGate> gate = takePrepared(list, count);
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, list, count, request, gate] { w->play(list, count, request, gate); },
        Qt::QueuedConnection);
    // The prepared stream goes on from here, not once the player thread has the request: the
    // bell is heard as soon as the output can play it. After the request is queued, so that the
    // player has taken the stream in before it can end.
    if (gate) gate->open();
}

void AudioPlayback::stop() {
    takePrepared({}, -1);
    const uint64_t request = ++m_requests;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, request] { w->stop(request); }, Qt::QueuedConnection);
}

bool AudioPlayback::playing() const {
    // A request not yet taken in counts as playing: what was asked for has not ended.
    return m_requests != m_progress.served || m_progress.running;
}

}  // namespace tolvane
