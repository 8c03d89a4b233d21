#pragma once

// The program-wide services that outlive every window: the Table database, the Playback service,
// the bell sound (with its random-play option) and the clock timer (with the shutdown values).

#include <atomic>
#include <memory>
#include <string>

#include "platform/SleepInhibitor.h"
#include "ringing/audio/AudioPlayback.h"
#include "ringing/core/ClockTick.h"
#include "ringing/core/PlayList.h"
#include "ringing/qt/RingController.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

namespace tolvane {

class Program {
public:
    // dataFolder holds px.edb and db.edb (and the ring log, unless log is given). powerOff must
    // outlive the program.
    Program(std::string dataFolder, PowerOff& powerOff, PcmSinkFactory sinks = audioSinkFactory(),
            std::unique_ptr<RingLog> log = nullptr);
    ~Program();

    const std::string& dataFolder() const { return m_dataFolder; }
    TableDatabase& db() { return m_db; }
    PlaybackService& playback() { return *m_playback; }
    PlaylistBellSound& sound() { return *m_sound; }
    RingController& ring() { return *m_ring; }
    RingLog& log() { return *m_log; }
    SleepInhibitor& inhibitor() { return *m_inhibitor; }
    const Clock& clock() const { return m_clock; }

private:
    std::string m_dataFolder;
    std::unique_ptr<RingLog> m_log;
    std::unique_ptr<SleepInhibitor> m_inhibitor = std::make_unique<SystemSleepInhibitor>();
    TableDatabase m_db;
    SystemClock m_clock;
    // Read by the player thread's reports: declared before the playback, so it outlives it.
    std::atomic<bool> m_engineReady{false};
    std::unique_ptr<AudioPlayback> m_playback;
    std::unique_ptr<PlaylistBellSound> m_sound;
    std::unique_ptr<RingController> m_ring;
};

}  // namespace tolvane
