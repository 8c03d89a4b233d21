// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemError.h"

namespace tolvane {

// glibc's messages are already in the locale's UTF-8, as the library's own text has them.
std::string systemErrorText(int, const std::string& fallback) {
    return fallback;
}

}  // namespace tolvane
