// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ClockSync.h"

#include "base/UiText.h"

namespace tolvane {

std::string clockProblem(const ClockSync& sync) {
    if (!sync.known || sync.synchronised) return {};
    return fillIn(uiText("ClockSync", "时钟未同步：%1"), {uiText("ClockSync", sync.why.c_str())});
}

}  // namespace tolvane
