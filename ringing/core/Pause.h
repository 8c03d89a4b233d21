#pragma once

// The plan's pause: the pause button's caption is the state.

#include <string>
#include <string_view>

namespace tolvane {

inline constexpr char kPlanRunningCaption[] = "暂停计划";
inline constexpr char kPlanPausedCaption[] = "暂停中。。";
inline constexpr int kTickPeriodMs = 1000;

struct PlanState {
    int tickPeriodMs;     // 0 while paused
    std::string caption;
};

// A click on the pause button: "暂停计划" pauses; any other caption resumes.
inline PlanState togglePlan(std::string_view caption) {
    if (caption == kPlanRunningCaption) return {0, kPlanPausedCaption};
    return {kTickPeriodMs, kPlanRunningCaption};
}

}  // namespace tolvane
