// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemJournal.h"

namespace tolvane {

bool hasSystemJournal() {
    return false;
}

void sendToSystemJournal(std::vector<std::string>, bool) {}

}  // namespace tolvane
