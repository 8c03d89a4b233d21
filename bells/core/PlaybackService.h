// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

// Plays one list of MP3 files at a time. Both calls return at once.
class PlaybackService {
public:
    virtual ~PlaybackService() = default;
    // Silences what plays, then plays the list in order, count times. An empty list only silences.
    virtual void play(const std::vector<std::string>& list, int count) = 0;
    // The list a play is expected to ask for within a second or two: what it needs may be opened
    // now, so that it is heard sooner. Nothing is heard, and nothing is reported, until then.
    virtual void prepare(const std::vector<std::string>& list, int count) {
        (void)list;
        (void)count;
    }
    // Silences what plays; nothing when nothing plays.
    virtual void stop() = 0;
    // A list asked for is still playing (not yet played out, stopped or replaced by silence).
    virtual bool playing() const { return false; }
    // Which play or stop was asked for last: a window that started a list knows by it whether its
    // list is still the one playing (a bell may have taken its place).
    virtual uint64_t lastRequest() const { return 0; }
};

}  // namespace tolvane
