// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
// windows.h first: avrt.h needs its types.
#include <avrt.h>

#include "platform/SoundThreadPriority.h"

namespace tolvane {

// The task is kept for the thread's whole life: the sound thread lives as long as the program.
SoundThreadPriority raiseThisSoundThread() {
    DWORD taskIndex = 0;
    if (AvSetMmThreadCharacteristicsW(L"Pro Audio", &taskIndex))
        return {true, "the multimedia class scheduler's Pro Audio task"};
    return {false, "the multimedia class scheduler refused: system error " +
                       std::to_string(GetLastError())};
}

}  // namespace tolvane
