// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TrayHost.h"

namespace tolvane {

// Every Windows desktop has its notification area.
bool trayHostPresent() {
    return true;
}

}  // namespace tolvane
