#pragma once

#include <string>
#include <vector>

namespace tolvane {

// Plays one list of MP3 files at a time. Both calls return at once.
class PlaybackService {
public:
    virtual ~PlaybackService() = default;
    // Silences what plays, then plays the list in order, count times. An empty list only silences.
    virtual void play(const std::vector<std::string>& list, int count) = 0;
    // Silences what plays; nothing when nothing plays.
    virtual void stop() = 0;
};

}  // namespace tolvane
