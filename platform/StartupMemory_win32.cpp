// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StartupMemory.h"

namespace tolvane {

// Left to the system: Windows trims the working sets of programs that rest.
void releaseStartupMemory() {}

}  // namespace tolvane
