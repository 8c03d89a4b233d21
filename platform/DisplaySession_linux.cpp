// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "platform/DisplaySession.h"

namespace tolvane {

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
}  // namespace

bool hasDisplay() {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

void prepareDisplayConnection() {
    ::setenv("QT_XCB_NO_MITSHM", "1", /*overwrite=*/0);
}

}  // namespace tolvane
