#pragma once

// The program-wide values and services that outlive every window: the Table database, the
// Playback service, the clock timer, the shutdown values, the random-play flag.

#include <memory>
#include <string>

#include "AudioPlayback.h"
#include "ClockTick.h"
#include "PlayList.h"
#include "RingController.h"
#include "Schema.h"
#include "TableDatabase.h"

namespace tolvane {

class Program {
public:
    // dataFolder holds px.edb and db.edb. powerOff must outlive the program.
    Program(std::string dataFolder, PowerOff& powerOff, PcmSinkFactory sinks = audioSinkFactory());

    const std::string& dataFolder() const { return m_dataFolder; }
    TableDatabase& db() { return m_db; }
    PlaybackService& playback() { return *m_playback; }
    BellSound& sound() { return *m_sound; }
    RingController& ring() { return *m_ring; }
    const Clock& clock() const { return m_clock; }

    bool randomPlay = true;
    int hotKeyId = 0;
    std::string oldStartTime;  // of the bell the Change bell window edits

private:
    std::string m_dataFolder;
    TableDatabase m_db;
    SystemClock m_clock;
    std::unique_ptr<AudioPlayback> m_playback;
    std::unique_ptr<PlaylistBellSound> m_sound;
    std::unique_ptr<RingController> m_ring;
};

}  // namespace tolvane
