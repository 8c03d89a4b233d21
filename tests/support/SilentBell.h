// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A bell that keeps playing until it is stopped, with no sound server: an MP3 of silence and a
// sink that takes nothing, so the player never reaches the end.

#include <filesystem>
#include <string>

#include "bells/audio/PcmSink.h"
#include "tests/support/TempDir.h"

namespace tolvane::test {

class EndlessSink final : public PcmSink {
public:
    void start(QIODevice*) override {}
    void stop() override {}
};

// An MP3 of silence: frames of MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, mono, with nothing coded.
inline void writeSilentMp3(const std::string& path, int frames) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\xC4';
    std::string bytes;
    for (int i = 0; i < frames; ++i) bytes += frame;
    writeFile(path, bytes);
}

}  // namespace tolvane::test
