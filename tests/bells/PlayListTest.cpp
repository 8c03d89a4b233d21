// SPDX-License-Identifier: GPL-3.0-or-later
// From a bell's 音乐 value to what the Playback service is asked to play, on real folders.

#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "bells/core/PlayList.h"
#include "platform/FolderListing.h"
#include "schedule/core/Schema.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::TempDir;
using test::writeFile;
using Paths = std::vector<std::string>;

TEST(PlayListTest, FileOrFolderIsDecidedByTheTextAlone) {
    EXPECT_TRUE(countsAsFile("/bells/a.mp3"));
    EXPECT_TRUE(countsAsFile("/bells/a.mp3.bak"));
    EXPECT_TRUE(countsAsFile("/bells.mp3/x"));
    EXPECT_FALSE(countsAsFile("/bells/RING.MP3"));
    EXPECT_FALSE(countsAsFile("/bells"));
    EXPECT_FALSE(countsAsFile(""));
}

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.mp3", "a.mp3", "c.txt", "LOUD.MP3", "d.Mp3", "e.mp3.txt",
                                 "02 下课.mp3", "01 上课.mp3", "10 放学.mp3"})
            writeFile(dir.file(name), "x");
        std::filesystem::create_directory(dir.file("x.mp3"));
    }
    TempDir dir;
};

TEST_F(FolderTest, ListsRegularMp3FilesInNameOrder) {
    // Name order whatever the directory's own (a hash order on ext4), letters without case.
    const Paths found = listMp3Files(dir.path());
    const Paths expected = {"01 上课.mp3", "02 下课.mp3", "10 放学.mp3", "a.mp3",
                            "b.mp3",       "d.Mp3",       "LOUD.MP3"};
    EXPECT_EQ(expected, found);

    std::string text;
    for (const std::string& n : expected) text += dir.path() + "/" + n + "\r\n";
    EXPECT_EQ(text, buildFolderPlayList(dir.path(), false, 0));
    // The folder exactly as stored: a trailing separator is not normalised away.
    EXPECT_EQ(dir.path() + "//" + expected[0],
              splitPlayList(buildFolderPlayList(dir.path() + "/", false, 0))[0]);
    EXPECT_EQ("", buildFolderPlayList(dir.file("missing"), false, 0));
    EXPECT_EQ("", buildFolderPlayList(dir.file("x.mp3"), true, 0));
}

TEST_F(FolderTest, RandomOrderHasEachFileOnceAndVaries) {
    const Paths inOrder = splitPlayList(buildFolderPlayList(dir.path(), false, 0));
    std::set<Paths> orders;
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        Paths shuffled = splitPlayList(buildFolderPlayList(dir.path(), true, seed));
        Paths sorted = shuffled;
        std::sort(sorted.begin(), sorted.end());
        Paths expected = inOrder;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, sorted);
        orders.insert(shuffled);
    }
    EXPECT_GT(orders.size(), 5u);
}

TEST_F(FolderTest, StartBellSoundAsksThePlaybackService) {
    test::RecordingPlayback playback;
    PlaylistBellSound sound(playback, [] { return uint64_t{7}; });
    sound.start("/bells/a.mp3", {});
    sound.start(dir.path(), {});
    sound.start(dir.file("LOUD.MP3"), {});  // a capital extension counts as a folder: silence
    sound.stop();
    ASSERT_EQ(4u, playback.calls.size());
    EXPECT_EQ((Paths{"/bells/a.mp3"}), playback.calls[0].list);
    EXPECT_EQ(1, playback.calls[0].count);
    EXPECT_EQ(splitPlayList(buildFolderPlayList(dir.path(), false, 0)), playback.calls[1].list);
    EXPECT_EQ(Paths{}, playback.calls[2].list);
    EXPECT_FALSE(playback.calls[2].isStop);
    EXPECT_TRUE(playback.calls[3].isStop);
}

TEST_F(FolderTest, APreparedFolderPlaysInTheOrderDrawnForIt) {
    test::RecordingPlayback playback;
    uint64_t seed = 0;
    PlaylistBellSound sound(playback, [&seed] { return ++seed; });
    sound.setRandomPlay(true);
    sound.prepare(dir.path(), {});
    sound.start(dir.path(), {});
    ASSERT_EQ(1u, playback.prepared.size());
    ASSERT_EQ(1u, playback.calls.size());
    EXPECT_EQ(playback.prepared[0], playback.calls[0].list) << "drawn twice";
    EXPECT_EQ(1u, seed);
    // Another bell than the one prepared draws its own list.
    sound.prepare(dir.path(), {});
    sound.start("/bells/a.mp3", {});
    EXPECT_EQ((Paths{"/bells/a.mp3"}), playback.calls[1].list);
}

// A bell's words come after its music whatever order a folder was drawn in, and only when they
// are made: a bell whose words are missing rings its music alone.
TEST_F(FolderTest, ABellsWordsComeLastAndOnlyOnceMade) {
    test::RecordingPlayback playback;
    uint64_t seed = 0;
    PlaylistBellSound sound(playback, [&seed] { return ++seed; });
    sound.setRandomPlay(true);
    sound.setSpeechFile([](const std::string& text) {
        return text == "放学" ? std::string("/语音/放学.mp3") : std::string();
    });
    sound.start(dir.path(), "放学");
    sound.start("/bells/a.mp3", "没有做好");
    ASSERT_EQ(2u, playback.calls.size());
    const Paths& folder = playback.calls[0].list;
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ("/语音/放学.mp3", folder.back());
    EXPECT_EQ(splitPlayList(buildFolderPlayList(dir.path(), true, 1)).size() + 1, folder.size());
    EXPECT_EQ((Paths{"/bells/a.mp3"}), playback.calls[1].list);
}

TEST(PlayListTest, SplitDropsEmptyPieces) {
    EXPECT_EQ((Paths{"a", "b"}), splitPlayList("a\r\n\r\nb\r\n"));
    EXPECT_EQ(Paths{}, splitPlayList(""));
}

}  // namespace
}  // namespace tolvane
