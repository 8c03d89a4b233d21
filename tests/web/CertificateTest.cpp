// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's certificate: made once beside the tables, its key private, its fingerprint the
// one a browser shows; a school's own pair used as it is.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/TempDir.h"
#include "web/Certificate.h"

namespace tolvane {
namespace {

// What openssl(1) says the certificate's SHA-256 fingerprint is.
std::string fingerprintByOpenSsl(const std::string& path) {
    const std::string command = "openssl x509 -noout -fingerprint -sha256 -in '" + path + "'";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return {};
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, out) != nullptr;
    ::pclose(out);
    std::string text = read ? line : "";
    text = text.substr(text.find('=') + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

TEST(CertificateTest, MadeOnceWithAPrivateKeyAndTheFingerprintABrowserShows) {
    test::TempDir dir;
    auto made =
        loadOrMakeCertificate(dir.path(), {"localhost", "bells.school.lan", "192.168.1.20"});
    ASSERT_TRUE(made.isOk()) << made.status().message();
    struct stat key {};
    ASSERT_EQ(::stat(dir.file(kWebKeyFile).c_str(), &key), 0);
    EXPECT_EQ(key.st_mode & 0777, 0600u);
    EXPECT_EQ(made.value().fingerprint.size(), 32u * 3 - 1);
    EXPECT_EQ(made.value().fingerprint, fingerprintByOpenSsl(dir.file(kWebCertificateFile)));
    EXPECT_EQ(made.value().names,
              (std::vector<std::string>{"localhost", "bells.school.lan", "192.168.1.20"}));

    // The next start uses the same one.
    auto again = loadOrMakeCertificate(dir.path(), {"other"});
    ASSERT_TRUE(again.isOk());
    EXPECT_EQ(again.value().fingerprint, made.value().fingerprint);

    // A school's own pair, named in the options; half a pair, or a damaged file, is refused.
    test::TempDir school;
    std::filesystem::copy(dir.file(kWebCertificateFile), school.file("school.crt"));
    std::filesystem::copy(dir.file(kWebKeyFile), school.file("school.key"));
    auto own =
        loadOrMakeCertificate(dir.path(), {}, school.file("school.crt"), school.file("school.key"));
    ASSERT_TRUE(own.isOk()) << own.status().message();
    EXPECT_EQ(own.value().certificatePath, school.file("school.crt"));
    EXPECT_FALSE(loadOrMakeCertificate(dir.path(), {}, school.file("school.crt")).isOk());
    test::writeFile(school.file("school.crt"), "not a certificate");
    EXPECT_FALSE(
        loadOrMakeCertificate(dir.path(), {}, school.file("school.crt"), school.file("school.key"))
            .isOk());
}

}  // namespace
}  // namespace tolvane
