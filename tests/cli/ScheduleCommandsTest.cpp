// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl list/add/change/delete end to end on a temporary program folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/ScheduleCommands.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

struct CommandRun {
    int status;
    std::string out;
};

template <typename Command>
CommandRun run(Command command, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str() + err.str()};
}

TEST(ScheduleCommandsTest, AddChangeListDelete) {
    // These bells' music is on no computer: what is looked at here is the editing.
    judgeMusicFilesWith([](const std::string&) { return std::string(); });
    test::TempDir dir;
    const std::string d = dir.path();
    CommandRun r = run(addCommand, {d, "--start", "8:0:0", "--music", "/b/a.mp3"});
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("添加铃声成功: 添加铃声成功！铃声将会在周一 周二 周三 周四 周五 的08:00:00响起！\n",
              r.out);
    r = run(addCommand, {d, "--start", "07:30:00", "--end", "07:31:00", "--music", "/b/b.mp3",
                         "--days", "sun,周六"});
    EXPECT_EQ(0, r.status) << r.out;
    r = run(addCommand, {d, "--start", "08:00:00", "--music", "/b/c.mp3"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("信息：: 对不起！这个时间点已经有铃声！\n", r.out);
    EXPECT_EQ(2, run(addCommand, {d, "--music", "/b/c.mp3"}).status);
    EXPECT_EQ(2, run(addCommand, {d, "--start", "08:00:00", "--days", "someday"}).status);

    r = run(changeCommand, {d, "07:30:00", "--no-end", "--days", "none"});
    EXPECT_EQ(0, r.status) << r.out;
    EXPECT_EQ("修改成功: 修改成功！铃声暂时取消！但还保留在铃声计划中，方便下次的调用！\n", r.out);
    EXPECT_EQ(1, run(changeCommand, {d, "10:00:00", "--music", "/b/x.mp3"}).status);

    EXPECT_EQ("07:30:00\t-\t○○○○○○○\t/b/b.mp3\n08:00:00\t-\t●●●●●○○\t/b/a.mp3\n",
              run(listCommand, {d}).out);
    EXPECT_EQ(0, run(deleteCommand, {d, "07:30:00"}).status);
    EXPECT_EQ(1, run(deleteCommand, {d, "07:30:00"}).status);
    EXPECT_EQ(
        "[{\"start\": \"08:00:00\", \"end\": \"\", \"music\": \"/b/a.mp3\", \"days\": "
        "[\"周一\", \"周二\", \"周三\", \"周四\", \"周五\"]}]\n",
        run(listCommand, {d, "--json"}).out);
}

TEST(ScheduleCommandsTest, APathLongerThanTheMusicFieldIsRefusedAndNothingWritten) {
    test::TempDir dir;
    const std::string d = dir.path();
    ASSERT_EQ(0, run(addCommand, {d, "--start", "08:00:00", "--music", "/b/a.mp3"}).status);
    const std::string before = test::readFile(dir.file("db.edb"));
    std::string path = "/home/";
    while (path.size() < 600) path += "铃声/";  // 430 bytes in GBK
    path += "上课.mp3";
    CommandRun r = run(addCommand, {d, "--start", "09:00:00", "--music", path});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("最多300字节")) << r.out;
    r = run(changeCommand, {d, "08:00:00", "--music", path});
    EXPECT_EQ(1, r.status);
    EXPECT_TRUE(before == test::readFile(dir.file("db.edb"))) << "the table changed";
}

}  // namespace
}  // namespace tolvane::cli

namespace tolvane::cli {
namespace {

TEST(ScheduleCommandsTest, MusicThatWillNotPlayHereIsStoredWithAWarning) {
    test::TempDir dir;
    test::writeFile(dir.file("ring.mp3"), "not really an MP3");
    const std::string d = dir.path();
    judgeMusicFilesWith([](const std::string& file) {
        return std::filesystem::exists(file) ? std::string() : std::string("文件不存在");
    });
    CommandRun missing = run(addCommand, {d, "--start", "08:00:00", "--music", "/nowhere/a.mp3"});
    EXPECT_EQ(missing.status, 0);  // stored: it may be put in place, or live on another computer
    EXPECT_NE(missing.out.find("铃声的音乐不能播放"), std::string::npos) << missing.out;
    EXPECT_NE(missing.out.find("文件不存在"), std::string::npos) << missing.out;

    judgeMusicFilesWith([](const std::string&) { return std::string("不能解码为MP3"); });
    CommandRun undecodable = run(changeCommand, {d, "08:00:00", "--music", dir.file("ring.mp3")});
    EXPECT_EQ(undecodable.status, 0);
    EXPECT_NE(undecodable.out.find("不能解码为MP3"), std::string::npos) << undecodable.out;
    judgeMusicFilesWith([](const std::string&) { return std::string(); });
    CommandRun fine = run(changeCommand, {d, "08:00:00", "--music", dir.file("ring.mp3")});
    EXPECT_EQ(fine.out.find("不能播放"), std::string::npos) << fine.out;
}

}  // namespace
}  // namespace tolvane::cli
