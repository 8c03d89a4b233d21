#pragma once

// The Playback service: one play list at a time, decoded and played on a player thread of its
// own, so sound goes on while modal windows are open or the user-interface thread is busy.

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "ringing/audio/PcmSink.h"
#include "ringing/core/PlayList.h"
#include "ringing/core/RingEngine.h"

namespace tolvane {

class PcmDevice;
class PlaylistSource;

// Observers called on the player thread: when a file's first samples go to the output (for
// measuring the onset of bells), when a list has been played to its end (not when stopped or
// replaced), when a file is skipped (missing, not MP3) and when no output takes the stream.
struct PlaybackHooks {
    // The first samples of a list reached the output; why nobody hears that output, or empty.
    std::function<void(const std::string& inaudibleBecause, bool audibilityKnown)> onFirstData;
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

    void play(const std::vector<std::string>& list, int count, uint64_t request = 0);
    void stop(uint64_t request = 0);

private:
    void silence();
    void startNextFile();
    void releaseCurrentFile();
    void onDrained();

    PcmSinkFactory m_factory;
    PlaybackHooks m_hooks;
    Progress& m_progress;
    std::shared_ptr<PlaylistSource> m_source;
    PcmSink* m_sink = nullptr;      // owned; deleted later, it may be inside its own signal
    PcmDevice* m_device = nullptr;  // child of m_sink
};

class AudioPlayback final : public PlaybackService {
public:
    explicit AudioPlayback(PcmSinkFactory factory = audioSinkFactory(), PlaybackHooks hooks = {});
    ~AudioPlayback() override;

    void play(const std::vector<std::string>& list, int count) override;
    void stop() override;
    bool playing() const override;
    uint64_t lastRequest() const override { return m_requests; }

private:
    PlayerWorker::Progress m_progress;
    std::atomic<uint64_t> m_requests{0};
    QThread m_thread;
    PlayerWorker* m_worker;  // lives on m_thread; deleted when it finishes
};

}  // namespace tolvane
