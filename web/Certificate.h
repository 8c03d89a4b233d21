// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The web page's certificate: the school's own (files named in the options), or one made for it
// at the first start, self-signed, kept beside the tables with its key readable by this user
// alone. Its SHA-256 fingerprint is what the office compares with what its browser shows.

#include <string>
#include <vector>

#include "base/Status.h"

namespace tolvane {

inline constexpr char kWebCertificateFile[] = "tolvane-web.crt";
inline constexpr char kWebKeyFile[] = "tolvane-web.key";

struct WebCertificate {
    std::string certificatePath;
    std::string keyPath;
    // "AB:12:…", 32 bytes as the browsers show them.
    std::string fingerprint;
    // The host names and addresses it is made out to (its subject alternative names).
    std::vector<std::string> names;
};

// The certificate at certificatePath and keyPath when both are given; else the folder's own,
// made (a P-256 key, ten years, made out to names) when it is not there yet.
Result<WebCertificate> loadOrMakeCertificate(const std::string& folder,
                                             const std::vector<std::string>& names,
                                             const std::string& certificatePath = {},
                                             const std::string& keyPath = {});

// The certificate the page would use, as it is now: nothing is made (notFound when the folder's
// own is not made yet).
Result<WebCertificate> readCertificate(const std::string& folder,
                                       const std::string& certificatePath = {},
                                       const std::string& keyPath = {});

}  // namespace tolvane
