// SPDX-License-Identifier: GPL-3.0-or-later
// The 铃声库 on real files: made once with the shipped bells, listed, and added to only with a
// safe name and a file that plays, whole or not at all.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/FileSystem.h"
#include "schedule/core/BellLibrary.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

// Plays what starts with "ID3", as a stand-in for decoding the first frame.
std::string playsIfTagged(const std::string& file) {
    return test::readFile(file).rfind("ID3", 0) == 0 ? "" : "不是MP3文件";
}

TEST(BellLibrary, IsMadeOnceWithTheShippedBellsAndListsFoldersFirst) {
    test::TempDir shipped, data;
    test::writeFile(shipped.file("上课.mp3"), "ID3 a");
    test::writeFile(shipped.file("notes.txt"), "not a bell");
    ASSERT_TRUE(makeBellLibrary(data.path(), shipped.path()).isOk());
    EXPECT_EQ(test::readFile(data.file("media/上课.mp3")), "ID3 a");
    EXPECT_FALSE(std::filesystem::exists(data.file("media/notes.txt")));

    // The school deleted our bell and added its own: a later start leaves that as it is.
    std::filesystem::remove(data.file("media/上课.mp3"));
    std::filesystem::create_directories(data.file("media/广播体操"));
    test::writeFile(data.file("media/校歌.mp3"), "ID3 b");
    test::writeFile(data.file("media/.upload-x.mp3"), "half");
    ASSERT_TRUE(makeBellLibrary(data.path(), shipped.path()).isOk());
    EXPECT_EQ(listBellLibrary(data.path()),
              (std::vector<LibraryEntry>{{"广播体操", true}, {"校歌.mp3", false}}));
}

TEST(BellLibrary, RefusesNamesThatLeaveTheFolderOrThatWindowsCannotKeep) {
    for (const char* bad : {"",
                            "..",
                            "../x.mp3",
                            "a/b.mp3",
                            "a\\b.mp3",
                            ".hidden.mp3",
                            "x.txt",
                            "NUL.mp3",
                            "com1.mp3",
                            "a:b.mp3",
                            "tab\there.mp3",
                            "end.mp3 ",
                            "AUX .mp3",
                            "COM0.mp3",
                            "lpt9.x.mp3",
                            "CONIN$.mp3",
                            "conout$.mp3",
                            "COM\u00b9.mp3",
                            "LPT\u00b3.mp3",
                            "line\u2028.mp3",
                            "next\u0085.mp3",
                            "evil\u202egnp.mp3"})
        EXPECT_FALSE(libraryFileNameProblem(bad).empty()) << bad;
    EXPECT_FALSE(libraryFileNameProblem(std::string(200, 'a') + ".mp3").empty());
    for (const char* good :
         {"上课.mp3", "School Bell.MP3", "console.mp3", "COM10.mp3", "auxiliary.mp3"})
        EXPECT_EQ(libraryFileNameProblem(good), "") << good;
}

TEST(BellLibrary, KeepsOnlyAWholeFileThatPlaysAndNeverReplacesOne) {
    test::TempDir data;
    ASSERT_TRUE(makeBellLibrary(data.path(), "").isOk());
    FileSystem& fs = *FileSystem::platform();
    ASSERT_TRUE(addToBellLibrary(fs, data.path(), "校歌.mp3", "ID3 song", playsIfTagged).isOk());
    EXPECT_EQ(test::readFile(data.file("media/校歌.mp3")), "ID3 song");

    const Status same = addToBellLibrary(fs, data.path(), "校歌.mp3", "ID3 other", playsIfTagged);
    EXPECT_NE(same.message().find("已经有"), std::string::npos) << same.message();
    EXPECT_EQ(test::readFile(data.file("media/校歌.mp3")), "ID3 song");

    const Status text = addToBellLibrary(fs, data.path(), "改名.mp3", "plain text", playsIfTagged);
    EXPECT_NE(text.message().find("不能作为铃声播放"), std::string::npos) << text.message();

    // The write fails (a full disk, met for real in the browser's test): the system's words are
    // passed on, and nothing is left.
    test::FaultyFileSystem failing;
    failing.injectAt(2, test::FaultyFileSystem::Fault::kFail);  // the write after the create
    const Status disk = addToBellLibrary(failing, data.path(), "大.mp3", "ID3 big", playsIfTagged);
    EXPECT_NE(disk.message().find("文件没能存入铃声库：injected failure"), std::string::npos)
        << disk.message();

    const Status escape = addToBellLibrary(fs, data.path(), "../x.mp3", "ID3", playsIfTagged);
    EXPECT_FALSE(escape.isOk());
    EXPECT_FALSE(std::filesystem::exists(data.file("x.mp3")));
    // Nothing half-written is left behind, and only the good file is listed.
    EXPECT_EQ(listBellLibrary(data.path()), (std::vector<LibraryEntry>{{"校歌.mp3", false}}));
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(data.file("media")))
        ++files;
    EXPECT_EQ(files, 1u);
}

// Two offices upload a file of one name at once: each writes a file of its own, one of them is
// kept whole, the other is told, and nothing of either is left behind.
TEST(BellLibrary, UploadsOfOneNameAtOnceKeepOneWholeFile) {
    test::TempDir data;
    ASSERT_TRUE(makeBellLibrary(data.path(), "").isOk());
    FileSystem& fs = *FileSystem::platform();
    for (int round = 0; round < 20; ++round) {
        const std::string name = "round" + std::to_string(round) + ".mp3";
        const std::string first = "ID3 " + std::string(200000, 'a');
        const std::string second = "ID3 " + std::string(300000, 'b');
        Status a, b;
        std::thread one([&] { a = addToBellLibrary(fs, data.path(), name, first, playsIfTagged); });
        std::thread two(
            [&] { b = addToBellLibrary(fs, data.path(), name, second, playsIfTagged); });
        one.join();
        two.join();
        ASSERT_NE(a.isOk(), b.isOk()) << a.message() << " / " << b.message();
        EXPECT_EQ(test::readFile(data.file("media/" + name)), a.isOk() ? first : second);
    }
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(data.file("media")))
        ++files;
    EXPECT_EQ(files, 20u) << "an upload's own file was left behind";

    // Windows keeps one file for names that differ only in their letters' case.
    const Status twin = addToBellLibrary(fs, data.path(), "ROUND1.MP3", "ID3 x", playsIfTagged);
    EXPECT_NE(twin.message().find("round1.mp3"), std::string::npos) << twin.message();
}

}  // namespace
}  // namespace tolvane
