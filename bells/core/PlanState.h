// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the plan rings. The pause button switches between the two states; the window shows each
// state with its own caption, and the clock timer runs only while the plan runs.

namespace tolvane {

enum class PlanState { kRunning, kPaused };

// A click on the pause button.
inline PlanState toggled(PlanState state) {
    return state == PlanState::kRunning ? PlanState::kPaused : PlanState::kRunning;
}

}  // namespace tolvane
