// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StartupMemory.h"

#include <thread>

namespace tolvane {

void releaseStartupMemoryInBackground(std::function<void()> loadFirst) {
    std::thread([loadFirst = std::move(loadFirst)] {
        if (loadFirst) loadFirst();
        releaseStartupMemory();
    }).detach();
}

}  // namespace tolvane
