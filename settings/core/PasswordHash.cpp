// SPDX-License-Identifier: GPL-3.0-or-later
// The password's hash with libsodium: Argon2id at its interactive limits (a fraction of a second
// and 64 MiB on a school PC), salted, as the string crypto_pwhash_str makes.

#include <sodium.h>

#include "settings/core/Password.h"

namespace tolvane {

namespace {
bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}
}  // namespace

bool passwordsSupported() {
    return sodiumReady();
}

Result<std::string> hashPassword(std::string_view password) {
    if (!sodiumReady()) return Status::notSupported("libsodium could not be started");
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return Status::ioError("not enough memory to hash the password");
    return std::string(hash);
}

bool passwordMatches(const std::string& stored, std::string_view password) {
    if (!sodiumReady() || stored.empty() || stored.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

}  // namespace tolvane
