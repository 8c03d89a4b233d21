// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Playback service: one play list at a time, decoded and played on a player thread of its
// own, so sound goes on while modal windows are open or the user-interface thread is busy.

#include <QObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "bells/audio/PcmSink.h"
#include "bells/core/PlayList.h"
#include "bells/core/RingEngine.h"

namespace tolvane {

class PcmDevice;
class PlaylistSource;

// Observers called on the player thread: when a file's first samples go to the output (for
// measuring the onset of bells), when a list has been played to its end (not when stopped or
// replaced), when a file is skipped (missing, not MP3) and when no output takes the stream.
struct PlaybackHooks {
    // The first samples of a list reached the output; why nobody hears that output, or empty.
    // file: the list's file whose first samples they are.
    std::function<void(const std::string& file, const std::string& inaudibleBecause,
                       bool audibilityKnown)>
        onFirstData;
    std::function<void()> onListEnd;
    std::function<void(const std::string& file, const std::string& why)> onSkipped;
    std::function<void()> onNoOutput;
};

// The hooks that tell a ring engine what the Playback service did (the bell heard and how late,
// the list ended, files skipped, no output). They come on the player thread, possibly before the
// engine exists: engine() returns it once it does, null before.
PlaybackHooks engineHooks(std::function<RingEngine*()> engine);

// Plays lists for AudioPlayback. Lives on the player thread; everything it owns is created and
// destroyed there.
class PlayerWorker final : public QObject {
    Q_OBJECT
public:
    // Which request the worker has taken in, and whether its list still plays: read from any
    // thread.
    struct Progress {
        std::atomic<uint64_t> served{0};
        std::atomic<bool> running{false};
    };

    PlayerWorker(PcmSinkFactory factory, PlaybackHooks hooks, Progress& progress);
    ~PlayerWorker() override;

    // Opens the list's first file and an output for it, held behind gate, so that a play of the
    // same gate starts at once. Dropped by the next request, or when unused for kPreparedForMs.
    void prepare(const std::vector<std::string>& list, int count, std::shared_ptr<StartGate> gate);
    // gate: the one the list was prepared with, already opened by the caller; null otherwise.
    void play(const std::vector<std::string>& list, int count, uint64_t request = 0,
              const std::shared_ptr<StartGate>& gate = nullptr);
    void stop(uint64_t request = 0);

    static constexpr int kPreparedForMs = 3000;

private:
    struct Prepared {
        std::shared_ptr<StartGate> gate;
        std::shared_ptr<PlaylistSource> source;
        PcmSink* sink;      // owned
        PcmDevice* device;  // child of sink
        bool held;          // sink waits on gate; otherwise it is started when adopted
    };

    void silence();
    void startNextFile();
    PcmDevice* makeDevice(const std::shared_ptr<PlaylistSource>& source, PcmSink* sink);
    bool adoptPrepared(const std::shared_ptr<StartGate>& gate);
    void dropPrepared();
    void releaseCurrentFile();
    void onDrained();

    PcmSinkFactory m_factory;
    PlaybackHooks m_hooks;
    Progress& m_progress;
    std::shared_ptr<PlaylistSource> m_source;
    PcmSink* m_sink = nullptr;      // owned; deleted later, it may be inside its own signal
    PcmDevice* m_device = nullptr;  // child of m_sink
    std::optional<Prepared> m_prepared;
    QTimer m_preparedExpiry{this};
};

class AudioPlayback final : public PlaybackService {
public:
    explicit AudioPlayback(PcmSinkFactory factory = audioSinkFactory(), PlaybackHooks hooks = {});
    ~AudioPlayback() override;

    void prepare(const std::vector<std::string>& list, int count) override;
    void play(const std::vector<std::string>& list, int count) override;
    void stop() override;
    bool playing() const override;
    uint64_t lastRequest() const override { return m_requests; }

private:
    // The gate of the list last prepared when it is list and count; the prepared list is
    // forgotten either way.
    std::shared_ptr<StartGate> takePrepared(const std::vector<std::string>& list, int count);

    struct PreparedList {
        std::vector<std::string> list;
        int count = 0;
        std::shared_ptr<StartGate> gate;
    };
    std::mutex m_preparedMutex;
    PreparedList m_prepared;
    PlayerWorker::Progress m_progress;
    std::atomic<uint64_t> m_requests{0};
    QThread m_thread;
    PlayerWorker* m_worker;  // lives on m_thread; deleted when it finishes
};

}  // namespace tolvane
