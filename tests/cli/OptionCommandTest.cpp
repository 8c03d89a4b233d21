// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/OptionCommand.h"
#include "cli/PlanCommand.h"
#include "schedule/core/Schema.h"
#include "settings/core/ProgramOptions.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

int option(const std::vector<std::string>& args, std::string* out = nullptr) {
    std::ostringstream o, e;
    const int status = optionCommand(args, o, e);
    if (out) *out = o.str() + e.str();
    return status;
}

TEST(OptionCommandTest, SetsCheckedValuesAndKeepsWhatItDoesNotKnow) {
    test::TempDir dir;
    std::string said;
    ASSERT_EQ(0, option({dir.path()}, &said));
    EXPECT_EQ(
        "clock_offset = 0\noutput = \nvolume = 100\nweb_port = 0\nweb_certificate = \nweb_key = "
        "\nmetrics_dir = \n",
        said);
    EXPECT_FALSE(std::filesystem::exists(dir.file(kOptionsFile)));

    // A later copy's options and an administrator's comment stay as they were.
    test::writeFile(dir.file(kOptionsFile),
                    "; set by the office\n[tolvane]\nweb_port = 8443\n[elsewhere]\nx = 1\n");
    ASSERT_EQ(0, option({dir.path(), "clock_offset", "+37"}));
    ASSERT_EQ(0, option({dir.path(), "output", "alsa_output.corridor"}));
    ASSERT_EQ(0, option({dir.path(), "clock_offset"}, &said));
    EXPECT_EQ("37\n", said);
    const std::string written = test::readFile(dir.file(kOptionsFile));
    for (const char* kept : {"; set by the office", "web_port = 8443", "[elsewhere]", "x = 1"})
        EXPECT_NE(std::string::npos, written.find(kept)) << kept;
    auto read = readProgramOptions(*FileSystem::platform(), dir.path());
    ASSERT_TRUE(read.isOk());
    EXPECT_EQ((ProgramOptions{37, "alsa_output.corridor", 100, 8443, "", "", ""}), read.value());

    // Refused: nothing is written.
    for (const auto& [name, value] :
         {std::pair{"clock_offset", "301"}, std::pair{"clock_offset", "-301"},
          std::pair{"clock_offset", "1.5"}, std::pair{"volume", "101"}, std::pair{"volume", ""},
          std::pair{"output", "a\nb"}, std::pair{"web", "1"}, std::pair{"web_port", "65536"},
          std::pair{"web_port", "https"}, std::pair{"metrics_dir", "/srv/metrics\n"}}) {
        EXPECT_EQ(2, option({dir.path(), name, value}, &said)) << name << value;
        EXPECT_NE(std::string::npos, said.find(name)) << said;
    }
    EXPECT_EQ(written, test::readFile(dir.file(kOptionsFile)));
    EXPECT_FALSE(std::filesystem::exists(dir.file("tolvane.conf.tmp")));
}

TEST(OptionCommandTest, AFileEditedWrongOrNotWritableLosesNothing) {
    test::TempDir dir;
    test::writeFile(dir.file(kOptionsFile), "[tolvane]\nvolume = loud\n");
    std::string said;
    EXPECT_EQ(1, option({dir.path(), "volume"}, &said));
    EXPECT_NE(std::string::npos, said.find("volume")) << said;
    // Setting the key mends it; the rest stays.
    EXPECT_EQ(0, option({dir.path(), "volume", "60"}));
    EXPECT_EQ(60, readProgramOptions(*FileSystem::platform(), dir.path()).value().volumePercent);

    // The scratch file cannot be made (as in a folder this user may not write, which root
    // always may): an error, and the file as it was.
    const std::string before = test::readFile(dir.file(kOptionsFile));
    std::filesystem::create_directory(dir.file("tolvane.conf.tmp"));
    test::writeFile(dir.file("tolvane.conf.tmp/x"), "x");
    EXPECT_EQ(1, option({dir.path(), "volume", "80"}, &said));
    EXPECT_NE(std::string::npos, said.find(kOptionsFile)) << said;
    EXPECT_EQ(before, test::readFile(dir.file(kOptionsFile)));
}

TEST(OptionCommandTest, PlanSaysTheSystemSecondOfEachBellWithAnOffset) {
    test::TempDir dir;
    {
        TableDatabase db;
        openOrCreateTables(db, dir.path());
        db.select(schema::kBellAlias);
        db.append(bellValues({"08:00:00", "", "/b/上课.mp3", {true}, 28800}));
    }
    ASSERT_EQ(0, option({dir.path(), "clock_offset", "2"}));
    std::ostringstream out, err;
    ASSERT_EQ(0, planCommand(dir.path(), "2026-12-07 07:59:50", "2026-12-07 08:00:05", out, err))
        << err.str();
    EXPECT_EQ("2026-12-07 07:59:58 start /b/上课.mp3 (school time 08:00:00, clock offset +2 s)\n",
              out.str());
}

}  // namespace
}  // namespace tolvane::cli
