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

namespace tolvane {

class PcmDevice;
class PlaylistSource;

// Observers called on the player thread: when a file's first samples go to the output (for
// measuring the onset of bells), and when a list has been played to its end (not when stopped or
// replaced).
struct PlaybackHooks {
    std::function<void()> onFirstData;
    std::function<void()> onListEnd;
};

// Plays lists for AudioPlayback. Lives on the player thread; everything it owns is created and
// destroyed there.
class PlayerWorker final : public QObject {
    Q_OBJECT
public:
    PlayerWorker(PcmSinkFactory factory, PlaybackHooks hooks);
    ~PlayerWorker() override;

    void play(const std::vector<std::string>& list, int count);
    void stop();

private:
    void startNextFile();
    void releaseCurrentFile();
    void onDrained();

    PcmSinkFactory m_factory;
    PlaybackHooks m_hooks;
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

private:
    QThread m_thread;
    PlayerWorker* m_worker;  // lives on m_thread; deleted when it finishes
};

}  // namespace tolvane
