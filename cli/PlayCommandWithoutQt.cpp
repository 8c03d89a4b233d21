// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl play where Qt is not carried (tolvanectl.exe): the bell's list decoded with
// libmpg123 and written to the sound output (WASAPI) on this thread. Qt's Windows sink hangs
// under Wine besides.

#include <chrono>
#include <iostream>

#include "bells/audio/PlaylistSource.h"
#include "bells/core/PlayList.h"
#include "cli/PlayCommand.h"
#include "platform/FolderListing.h"
#include "platform/SoundOutput.h"
#include "platform/TerminationSignals.h"
#include "schedule/core/Schema.h"

namespace tolvane::cli {

namespace {

// The list the program would play for the bell, as its playback would be given it.
class ListCatcher final : public PlaybackService {
public:
    void play(const std::vector<std::string>& files, int times) override {
        list = files;
        count = times;
    }
    void stop() override {}
    std::vector<std::string> list;
    int count = 0;
};

}  // namespace

int playCommand(int, char**, const std::string& music) {
    if (!countsAsFile(music) && listMp3Files(music).empty()) {
        std::cerr << "tolvanectl: " << music << ": no MP3 files to play\n";
        return 1;
    }
    ListCatcher caught;
    PlaylistBellSound sound(caught, [] {
        using namespace std::chrono;
        return static_cast<uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    });
    sound.start(music, {});
    PlaylistSource source(caught.list, caught.count,
                          [](const std::string& file, const std::string& why) {
                              std::cerr << "tolvanectl: skipped " << file << ": " << why << "\n";
                          });
    catchInterrupt();

    std::unique_ptr<SoundOutput> output;
    PcmFormat playing;
    std::vector<char> block(16384);
    while (!interrupted() && source.openNext()) {
        // One stream while the format stays; a file at another rate gets a stream of its own.
        if (!output || !(source.format() == playing)) {
            if (output) output->drain();
            std::string why;
            playing = source.format();
            output = openSoundOutput(playing.rate, playing.channels, {}, &why);
            if (!output) {
                std::cerr << "tolvanectl: " << why << "\n";
                return 1;
            }
        }
        while (!interrupted()) {
            const size_t n = source.read(block.data(), block.size());
            if (n == 0) break;
            if (!output->write(block.data(), n)) {
                std::cerr << "tolvanectl: the sound output failed\n";
                return 1;
            }
        }
    }
    if (output) interrupted() ? output->stop() : output->drain();
    return 0;
}

}  // namespace tolvane::cli
