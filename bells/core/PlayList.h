// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// From a bell's `音乐` value to the list of MP3 files the Playback service plays.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bells/core/ClockTick.h"
#include "bells/core/PlaybackService.h"

namespace tolvane {

// The folder's MP3 files as folder + separator + name, each followed by "\r\n": in listing order,
// or, when random, in an order drawn from a generator seeded with seed, each file once.
std::string buildFolderPlayList(const std::string& folder, bool random, uint64_t seed);

// The paths of a play list text; empty pieces are dropped.
std::vector<std::string> splitPlayList(std::string_view text);

// Start bell sound and Stop playback over a Playback service.
class PlaylistBellSound final : public BellSound {
public:
    // seed gives a fresh seed for each folder list (the millisecond tick count in the program).
    PlaylistBellSound(PlaybackService& playback, std::function<uint64_t()> seed);
    void start(const std::string& music, const std::string& speech) override;
    void stop() override;
    void prepare(const std::string& music, const std::string& speech) override;
    bool preparesAhead() const override { return true; }

    // The file that says a text after the music (made ahead), or empty when there is none yet:
    // the bell then rings its music alone. Asked at prepare and start; must only look, never
    // make.
    void setSpeechFile(std::function<std::string(const std::string& text)> speechFile) {
        m_speechFile = std::move(speechFile);
    }

    // Whether a folder plays in a drawn order (the Settings option "随机播放"); read at each start.
    void setRandomPlay(bool on) { m_randomPlay = on; }
    bool randomPlay() const { return m_randomPlay; }

private:
    std::vector<std::string> listFor(const std::string& music, const std::string& speech);

    PlaybackService& m_playback;
    // The list drawn for the bell prepared, which its start then plays (a folder in a drawn
    // order is drawn once).
    std::optional<std::pair<std::string, std::string>> m_preparedMusic;  // music and speech
    std::vector<std::string> m_preparedList;
    bool m_randomPlay = false;
    std::function<uint64_t()> m_seed;
    std::function<std::string(const std::string& text)> m_speechFile;
};

}  // namespace tolvane
