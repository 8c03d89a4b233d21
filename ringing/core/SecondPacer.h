#pragma once

// Which seconds a tick of the clock timer processes. Every second of a running plan is processed
// exactly once: a second tick within the same second does nothing, and seconds skipped because
// the tick came late (a busy user-interface thread) are processed late, oldest first, when the
// oldest is at most kMaxCatchUp seconds behind. A pause, a clock set backwards or a larger jump
// (suspend and resume, the clock set forward) is not caught up: only the second read is processed.

#include <cstdint>
#include <optional>
#include <vector>

namespace tolvane {

class SecondPacer {
public:
    static constexpr int64_t kMaxCatchUp = 5;

    // The epoch seconds to process, oldest first, for a tick that read the second now.
    std::vector<int64_t> secondsDue(int64_t now);
    // Forgets the last processed second: after a pause no second is caught up.
    void forget() { m_last.reset(); }

private:
    std::optional<int64_t> m_last;
};

}  // namespace tolvane
