// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which seconds a tick of the clock timer processes. Every second of a running plan is processed
// exactly once: a second tick within the same second does nothing, and seconds skipped because
// the tick came late (a busy user-interface thread) are processed late, oldest first, when the
// oldest is at most kMaxCatchUp seconds behind. A pause or a larger jump forward (suspend and
// resume, the clock set forward) is not caught up: only the second read is processed.
//
// A clock set back (an NTP step just after a bell, the autumn hour on a local clock) would replay
// seconds already processed, ringing their bells again from the start: after a step back of up to
// kMaxBackStep, a second already processed is not processed again. The seconds a jump forward
// passed over were never processed, and are when the clock comes back to them (an offset set
// and taken back, a wrong 对时 corrected): a bell passed over by the one and reached again after
// the other rings at its second. A clock wrong by more than kMaxBackStep (days off, then
// corrected) starts afresh.

#include <cstdint>
#include <optional>
#include <vector>

namespace tolvane {

class SecondPacer {
public:
    static constexpr int64_t kMaxCatchUp = 5;
    static constexpr int64_t kMaxBackStep = 2 * 3600;

    // The epoch seconds to process, oldest first, for a tick that read the second now.
    std::vector<int64_t> secondsDue(int64_t now);
    // A second passed over by a jump forward whose bell was rung at once: it is not processed
    // again when the clock comes back to it.
    void treatAsProcessed(int64_t second) { markProcessed(second); }
    // Forgets the last processed second: after a pause no second is caught up. The latest second
    // processed is kept: a second is never processed twice, paused in between or not.
    void forget() { m_last.reset(); }
    // Whether second was processed (or passed while paused): it will not be again.
    bool wasProcessed(int64_t second) const { return processed(second); }

private:
    struct Span {
        int64_t from, to;
    };
    static constexpr size_t kMaxSkipped = 16;
    bool processed(int64_t second) const;
    void markProcessed(int64_t second);
    void noteSkipped(int64_t from, int64_t to);

    std::optional<int64_t> m_last;
    std::optional<int64_t> m_latest;
    std::vector<Span> m_skipped;  // below m_latest, passed over by a jump forward
};

}  // namespace tolvane
