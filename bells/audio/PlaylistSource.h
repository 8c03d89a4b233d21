// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The PCM of a play list, file by file: the list in order, count times, skipping files that are
// missing or do not decode. Qt-free; used from the player thread only.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bells/audio/Mp3Decoder.h"

namespace tolvane {

class PlaylistSource {
public:
    // onSkipped hears of each file skipped, with why.
    using SkipReport = std::function<void(const std::string& file, const std::string& why)>;
    PlaylistSource(std::vector<std::string> list, int count, SkipReport onSkipped = {});

    // Moves to the next file that opens as MP3; false when the list has been played through.
    bool openNext();
    bool hasCurrent() const { return !m_current.empty(); }
    PcmFormat format() const { return m_decoder.format(); }
    const std::string& currentPath() const { return m_current; }
    // PCM of the current file; 0 at its end (or with no current file).
    size_t read(char* dst, size_t n) { return m_decoder.read(dst, n); }

private:
    std::vector<std::string> m_list;
    int m_count;
    size_t m_next = 0;  // position in the list times the passes made
    Mp3Decoder m_decoder;
    std::string m_current;
    SkipReport m_onSkipped;
};

}  // namespace tolvane
