// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a ringer knows of itself, as Prometheus metrics (the text exposition format) in a file
// tolvane.prom that node_exporter's or windows_exporter's textfile collector serves: a district's
// monitoring watches each bell computer with the tools it already runs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bells/core/BellCounts.h"
#include "bells/core/RingerState.h"
#include "platform/FileSystem.h"

namespace tolvane {

inline constexpr char kMetricsFile[] = "tolvane.prom";

struct RingerFacts {
    bool up = true;  // false: the ringer has ended (its last file)
    std::string version;
    std::string timetable;  // today's
    std::string folder;     // of the tables
    BellCounts counts;
    std::optional<int64_t> nextBellEpochSeconds;
    std::optional<int> bellsLeftToday;  // none when the tables are not open
    // The output the bells play on, as the sound server last told; none where it does not tell.
    std::optional<bool> outputPresent;
    std::optional<bool> outputMuted;
    std::optional<double> outputVolumeRatio;
    std::optional<bool> clockSynchronized;  // none where the system does not tell
    int clockOffsetSeconds = 0;             // the school's clock ahead of the system's
    bool paused = false;
    std::vector<RingerProblem> problems;
    bool webUp = false;  // the page is served
};

// The facts in the text exposition format: each metric with its HELP and TYPE, every problem kind
// listed (0 when there is none of it), a fact not known left out.
std::string metricsText(const RingerFacts& facts);
// Puts the file in place at once in folder (written beside it, then renamed): a collector reads
// the old file or the new one, never half of one.
Status writeMetricsFile(FileSystem& fs, const std::string& folder, const RingerFacts& facts);

}  // namespace tolvane
