// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which tones a recording holds, and for how long: pitch by zero crossings in 20 ms windows,
// silence by level, runs of similar pitch merged.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tolvane::test {

struct ToneRun {
    int hz;  // 0 for silence; the mean over the run's windows
    double seconds;
    double start = 0;  // seconds from the start of the recording
    double hzSum = 0;  // of the windows merged so far
};

// Adds a window's pitch to a run; the run's pitch is the mean, so a half-silent first window
// does not decide it.
inline void mergeWindow(ToneRun& run, int hz, double seconds) {
    const double windows = run.seconds / 0.02;
    run.hzSum = (run.hzSum == 0 ? run.hz * windows : run.hzSum) + hz * (seconds / 0.02);
    run.seconds += seconds;
    run.hz = static_cast<int>(run.hzSum / (run.seconds / 0.02) + 0.5);
}

inline std::vector<ToneRun> scanTones(const int16_t* samples, size_t frames, int channels,
                                      int rate) {
    const size_t window = static_cast<size_t>(rate) / 50;
    std::vector<ToneRun> runs;
    for (size_t start = 0; start + window <= frames; start += window) {
        double energy = 0;
        int crossings = 0;
        for (size_t i = start; i < start + window; ++i) {
            const int16_t s = samples[i * static_cast<size_t>(channels)];
            energy += double(s) * s;
            if (i > start && (samples[(i - 1) * static_cast<size_t>(channels)] < 0) != (s < 0))
                ++crossings;
        }
        const bool silent = std::sqrt(energy / double(window)) < 300;
        const int hz = silent ? 0 : crossings * 50 / 2;
        if (!runs.empty() &&
            std::abs(runs.back().hz - hz) <= runs.back().hz / 7 + (hz == 0 ? 0 : 1) &&
            (hz == 0) == (runs.back().hz == 0))
            mergeWindow(runs.back(), hz, 0.02);
        else
            runs.push_back({hz, 0.02, static_cast<double>(start) / rate});
    }
    // Windows that straddle a change give odd pitches: drop what is shorter than two windows.
    std::vector<ToneRun> kept;
    for (const ToneRun& r : runs) {
        if (r.seconds < 0.039) continue;
        if (!kept.empty() && (kept.back().hz == 0) == (r.hz == 0) &&
            std::abs(kept.back().hz - r.hz) <= kept.back().hz / 7 + 1)
            mergeWindow(kept.back(), r.hz, r.seconds);
        else
            kept.push_back(r);
    }
    return kept;
}

// Moves each tone's start from its first 20 ms window to its first sample: the first one near the
// window whose level reaches a third of the tone's first 40 ms' peak (to a sample, for onsets).
inline void findFirstSamples(std::vector<ToneRun>& runs, const int16_t* samples, size_t frames,
                             int channels, int rate) {
    const auto at = [&](size_t frame) {
        return std::abs(int{samples[frame * static_cast<size_t>(channels)]});
    };
    const size_t window = static_cast<size_t>(rate) / 50;
    for (ToneRun& r : runs) {
        if (r.hz == 0) continue;
        const size_t first = static_cast<size_t>(r.start * rate + 0.5);
        const size_t from = first >= window ? first - window : 0;
        const size_t to = std::min(frames, first + 2 * window);
        int peak = 0;
        for (size_t i = first; i < to; ++i) peak = std::max(peak, at(i));
        for (size_t i = from; i < to; ++i)
            if (at(i) * 3 >= peak) {
                r.start = static_cast<double>(i) / rate;
                break;
            }
    }
}

// The tones alone, as "440:0.6 880:0.4" with seconds rounded to 0.1 (or to 0.01 with
// precise, or "440@3.12:0.60" with timed, the start in seconds from the recording's start);
// silence and blips shorter than 0.1 s (a stream's first window, half silent) are left out.
inline std::string describeTones(const std::vector<ToneRun>& runs, bool precise = false,
                                 bool timed = false) {
    std::string out;
    for (const ToneRun& r : runs) {
        if (r.hz == 0 || r.seconds < 0.1) continue;
        const int nominal = (r.hz + 55) / 110 * 110;  // our fixtures are multiples of 110 Hz
        char buf[32];
        char buf2[48];
        if (timed) {
            std::snprintf(buf2, sizeof buf2, "%s%d@%.4f:%.2f", out.empty() ? "" : " ", nominal,
                          r.start, r.seconds);
            out += buf2;
            continue;
        }
        std::snprintf(buf, sizeof buf, precise ? "%s%d:%.2f" : "%s%d:%.1f", out.empty() ? "" : " ",
                      nominal, r.seconds);
        out += buf;
    }
    return out;
}

}  // namespace tolvane::test
