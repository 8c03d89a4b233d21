// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the bells went since counting began: heard on time, heard late, unheard, not rung (the clock
// jumped past them), and how late each heard bell's first sound came. Kept beside the tables
// (tolvane.counts) so a restart goes on counting: what a district's monitoring reads as counters.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "bells/core/RingLog.h"
#include "platform/FileSystem.h"

namespace tolvane {

inline constexpr char kBellCountsFile[] = "tolvane.counts";

// A bell heard later than this after its second counts as late.
inline constexpr int64_t kLateBellMs = 1000;
// The upper bounds of the lateness buckets, in seconds.
inline constexpr std::array<double, 8> kLatenessBuckets{0.005, 0.01, 0.025, 0.05,
                                                        0.1,   0.25, 0.5,   1.0};

struct BellCounts {
    uint64_t heard = 0;    // heard, or played where the system cannot tell, within kLateBellMs
    uint64_t late = 0;     // heard later than that
    uint64_t unheard = 0;  // played to an output nobody hears, or nothing of it played
    uint64_t skipped = 0;  // due, and not rung
    // Heard bells by lateness: each bucket counts those at most its bound (not cumulative), the
    // last one those later than every bound.
    std::array<uint64_t, kLatenessBuckets.size() + 1> lateness{};
    double latenessSumSeconds = 0;
    int64_t lastHeardMs = 0;  // when the last bell was heard (epoch); 0: never
    bool operator==(const BellCounts&) const = default;

    // A bell's first sound, lateMs after its second, heard at epoch ms nowMs.
    void countHeard(int64_t lateMs, int64_t nowMs);
};

std::string bellCountsText(const BellCounts& counts);
// Lines it does not know, or with bad numbers, are left out (counting from 0 there).
BellCounts bellCountsOfText(std::string_view text);
BellCounts readBellCounts(FileSystem& fs, const std::string& folder);
Status writeBellCounts(FileSystem& fs, const std::string& folder, const BellCounts& counts);

// The ringing engine's log, passed on whole to another, counting each bell's outcome on the way.
// changed is told after each count, from whichever thread the engine reported on.
class CountingRingLog final : public RingLog {
public:
    CountingRingLog(RingLog& log, BellCounts start, std::function<void()> changed);
    BellCounts counts() const;

    void note(const std::string& line) override { m_log.note(line); }
    void warn(const std::string& line) override { m_log.warn(line); }
    void bellStarted(const LocalTime& second, const std::string& music) override {
        m_log.bellStarted(second, music);
    }
    void bellHeard(const LocalTime& second, int64_t lateMs) override;
    void bellInaudible(const LocalTime& second, const std::string& why) override;
    void bellPlayedUnverified(const LocalTime& second, int64_t lateMs) override;
    void bellSkipped(const std::string& line) override;
    void flush() override { m_log.flush(); }

private:
    void count(const std::function<void(BellCounts&)>& change);

    RingLog& m_log;
    mutable std::mutex m_mutex;
    BellCounts m_counts;
    std::function<void()> m_changed;
};

}  // namespace tolvane
