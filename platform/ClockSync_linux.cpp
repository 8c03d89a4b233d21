// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/timex.h>

#include "base/UiText.h"
#include "platform/ClockSync.h"

namespace tolvane {

namespace {
// The kernel caps the maximum error at 16 s (NTP_PHASE_LIMIT) once nothing disciplines the clock.
constexpr long kUnsynchronisedMaxErrorUs = 16'000'000;
}  // namespace

ClockSync readClockSync() {
    timex state{};
    if (::adjtimex(&state) < 0) return {};
    if (state.maxerror < kUnsynchronisedMaxErrorUs) return {true, true, {}};
    return {true, false, UI_TEXT_NOOP("ClockSync", "没有时间同步（NTP）在校正系统时钟")};
}

}  // namespace tolvane
