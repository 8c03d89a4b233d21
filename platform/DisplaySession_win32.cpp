// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DisplaySession.h"

namespace tolvane {

bool hasDisplay() {
    return true;
}

void prepareDisplayConnection() {}

}  // namespace tolvane
