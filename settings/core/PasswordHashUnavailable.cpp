// SPDX-License-Identifier: GPL-3.0-or-later
// A build without libsodium (Windows, so far) cannot make or check a password: one stored by
// another copy stays set, and what it guards is refused rather than left open.

#include "settings/core/Password.h"

namespace tolvane {

bool passwordsSupported() {
    return false;
}

Result<std::string> hashPassword(std::string_view) {
    return Status::notSupported("this build cannot make passwords (no libsodium)");
}

bool passwordMatches(const std::string&, std::string_view) {
    return false;
}

}  // namespace tolvane
