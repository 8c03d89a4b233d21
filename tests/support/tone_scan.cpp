// SPDX-License-Identifier: GPL-3.0-or-later
// tone_scan [--timed] FILE.wav: prints the tones a 16-bit PCM WAV recording holds, as
// "440:0.60 880:0.40", or with --timed "440@1.2534:0.60 ... total:12.5" (start seconds to its
// first sample @ length, and the recording's length).

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "tests/support/ToneScan.h"

int main(int argc, char** argv) {
    const bool timed = argc == 3 && std::string(argv[1]) == "--timed";
    if (timed) argv[1] = argv[2];
    if (argc != 2 && !timed) {
        std::cerr << "usage: tone_scan [--timed] FILE.wav\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string wav((std::istreambuf_iterator<char>(in)), {});
    if (wav.size() < 12 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 4, "WAVE") != 0) {
        std::cerr << "tone_scan: " << argv[1] << ": not a WAV file\n";
        return 1;
    }
    int channels = 0, rate = 0, bits = 0;
    for (size_t at = 12; at + 8 <= wav.size();) {
        uint32_t size;
        std::memcpy(&size, wav.data() + at + 4, 4);
        const std::string id = wav.substr(at, 4);
        if (id == "fmt " && at + 24 <= wav.size()) {
            channels = static_cast<uint8_t>(wav[at + 10]) | static_cast<uint8_t>(wav[at + 11]) << 8;
            std::memcpy(&rate, wav.data() + at + 12, 4);
            bits = static_cast<uint8_t>(wav[at + 22]);
        } else if (id == "data") {
            // A recording stopped by a signal may leave the size unset: take what is there.
            const size_t bytes = std::min<size_t>(size, wav.size() - at - 8);
            if (bits != 16 || channels < 1) break;
            const auto* samples = reinterpret_cast<const int16_t*>(wav.data() + at + 8);
            const size_t frames = bytes / (2 * static_cast<size_t>(channels));
            auto runs = tolvane::test::scanTones(samples, frames, channels, rate);
            if (timed) tolvane::test::findFirstSamples(runs, samples, frames, channels, rate);
            std::cout << tolvane::test::describeTones(runs, true, timed);
            if (timed) std::cout << " total:" << static_cast<double>(frames) / rate;
            std::cout << "\n";
            return 0;
        }
        at += 8 + size + (size & 1);
    }
    std::cerr << "tone_scan: " << argv[1] << ": no 16-bit PCM data\n";
    return 1;
}
