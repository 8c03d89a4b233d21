// SPDX-License-Identifier: GPL-3.0-or-later
// Runs under Wine: the Win32 back-ends on a real Win32 implementation. Prints one line per check
// and "N passed, N failed"; exits non-zero when a check failed.
// Usage: wine win32_backends_test.exe WORK_FOLDER

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/PathText.h"
#include "bells/core/PlayList.h"
#include "platform/Autostart.h"
#include "platform/FolderListing.h"
#include "platform/PowerOff.h"
#include "platform/ProgramFolder.h"
#include "platform/SpeechVoice.h"
#include "platform/TextCodec.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"
#ifdef TOLVANE_HAS_MP3_ENCODER
#include <cmath>

#include "bells/audio/Mp3Decoder.h"
#include "speech/make/Mp3Encoder.h"
#endif

using namespace tolvane;

namespace {

int g_passed = 0, g_failed = 0;

void check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    (ok ? g_passed : g_failed)++;
}

constexpr char kTestKey[] = "SOFTWARE\\TolvaneTest\\Run";

// The test key's "Tolvane" value as UTF-16, as Windows reads it whatever the code page.
std::wstring rawValue(DWORD* type) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    wchar_t buffer[512];
    DWORD size = sizeof buffer;
    const LONG rc =
        RegQueryValueExW(key, L"Tolvane", nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::wstring(buffer, size / sizeof(wchar_t)) : std::wstring();
}

void registryChecks() {
    deleteAutostart(kTestKey);
    check(!autostartExists(kTestKey), "no Run value at first");
    const std::string path = "C:\\Program Files\\学校铃声\\tolvane.exe";
    check(writeAutostart(kTestKey, path), "the Run value is written (the key created)");
    DWORD type = 0;
    const std::wstring expected = std::wstring(L"C:\\Program Files\\学校铃声\\tolvane.exe") + L'\0';
    const std::wstring value = rawValue(&type);
    check(type == REG_SZ && value == expected,
          "it holds the path whole in UTF-16 (whatever the code page) and its NUL, unquoted");
    check(autostartExists(kTestKey), "exists sees it");
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_WRITE, &key);
    const DWORD number = 7;
    RegSetValueExA(key, "Tolvane", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);
    check(autostartExists(kTestKey), "exists sees a value of any type and data");
    check(writeAutostart(kTestKey, "C:\\tolvane.exe") &&
              rawValue(&type) == std::wstring(L"C:\\tolvane.exe", 15),
          "writing again overwrites it");
    check(deleteAutostart(kTestKey) && !autostartExists(kTestKey), "delete removes it");
    check(!deleteAutostart(kTestKey), "deleting nothing fails");
}

void powerOffChecks() {
    Win32PowerOff off;
    std::vector<std::pair<unsigned, unsigned long>> calls;
    off.exitWindows = [&](unsigned flags, unsigned long reason) {
        calls.emplace_back(flags, reason);
        return true;
    };
    off.requestPowerOff();
    check(
        calls.size() == 1 && calls[0].first == (EWX_POWEROFF | EWX_FORCE) && calls[0].second == 0,
        "the privilege is enabled and ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0) is reached once");
}

void listingChecks(const std::string& work) {
    const std::string folder = work + "\\bells";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"b.mp3", "a.mp3", "c.txt", "RING.MP3", "song.mp3.bak"})
        std::ofstream(folder + "\\" + name) << "x";
    CreateDirectoryA((folder + "\\x.mp3").c_str(), nullptr);
    std::vector<std::string> names = listMp3Files(folder);
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    check(sorted == std::vector<std::string>{"RING.MP3", "a.mp3", "b.mp3"},
          "FindFirstFileA lists the regular *.mp3 files, RING.MP3 too, the folder x.mp3 not");
}

// The script runs this program from a folder named kProgramFolderName.
constexpr char kProgramFolderName[] = "铃声 程序";

void folderChecks() {
    const std::string folder = programFolder();
    const std::filesystem::path here = pathFromUtf8(folder);
    check(utf8FromPath(here.filename()) == kProgramFolderName &&
              std::filesystem::exists(here / "win32_backends_test.exe"),
          "the program folder is the executable's, Chinese name and all: " + folder);
    check(chooseDataFolder(folder, "C:\\nowhere") == folder,
          "a writable program folder holds the tables");
    TableDatabase db;
    const OpenedTables report = openOrCreateTables(db, folder);
    check(report.settings == TableOrigin::kCreated && report.bells == TableOrigin::kCreated &&
              std::filesystem::exists(here / "px.edb") && std::filesystem::exists(here / "db.edb"),
          "both tables are made in it");
}

void codecChecks() {
    check(utf8ToGbk("周一").value() == "\xD6\xDC\xD2\xBB", "周一 is D6DC D2BB in GBK");
    const char* texts[] = {"暂停计划",
                           "暂停中。。",
                           "停止播放",
                           "增加铃声",
                           "修改铃声",
                           "删除铃声",
                           "设置",
                           "软件设置",
                           "最小化",
                           "退出",
                           "添加铃声",
                           "开始时间",
                           "结束时间",
                           "加入铃声",
                           "试听",
                           "修改",
                           "开机启动",
                           "播放文件夹内音乐时随机播放音乐",
                           "软件自动更新",
                           "显示日期、星期",
                           "注册隐藏快捷键（显示\\隐藏快捷键Shift  +  T）",
                           "定时关机",
                           "双击可显示！",
                           "请选择添加铃声的音乐文件！",
                           "你设置的结束时间比开始时间早，请重新设置！",
                           "对不起！这个时间点已经有铃声！",
                           "运行时出错!",
                           "数据或数组类型不匹配",
                           "读取时间中。。。",
                           "周一",
                           "周二",
                           "周三",
                           "周四",
                           "周五",
                           "周六",
                           "周日",
                           "●",
                           "○"};
    bool all = true;
    for (const char* t : texts) all = all && gbkToUtf8(utf8ToGbk(t).value()) == t;
    check(all, "every interface text survives UTF-8 -> GBK -> UTF-8");
    // Outside GBK only GB18030 (code page 54936) keeps a character; Wine 8 lacks it.
    if (IsValidCodePage(54936))
        check(gbkToUtf8(utf8ToGbk("\xF0\x9F\x94\x94").value()) == "\xF0\x9F\x94\x94",
              "a character outside GBK survives through GB18030");
}

void lockAndIdentityChecks(const std::string& work) {
    FileSystem& fs = *FileSystem::platform();
    const std::string lockPath = joinPath(work, "db.edb.lock");
    auto first = fs.lock(lockPath, 0);
    check(first.isOk() && first.value(), "a free lock is taken at once");
    auto second = fs.lock(lockPath, 50);
    check(second.isOk() && !second.value(), "a held lock is refused after the wait");
    first = Result<std::unique_ptr<FileLock>>(Status::notFound("released"));
    auto third = fs.lock(lockPath, 0);
    check(third.isOk() && third.value(), "a released lock is taken again");

    const std::string table = joinPath(work, "identity.edb");
    std::ofstream(pathFromUtf8(table), std::ios::binary) << "one";
    const auto before = fs.identity(table);
    std::ofstream(pathFromUtf8(table), std::ios::binary | std::ios::app) << "two";
    const auto grown = fs.identity(table);
    std::ofstream(pathFromUtf8(table + ".tmp"), std::ios::binary) << "onetwo";
    check(fs.replace(table + ".tmp", table).isOk(), "a file is put in place by rename");
    const auto replaced = fs.identity(table);
    check(before.isOk() && grown.isOk() && replaced.isOk() && !(before.value() == grown.value()) &&
              !(grown.value() == replaced.value()),
          "a file's identity changes when it grows and when another takes its place");
    check(fs.identity(joinPath(work, "missing.edb")).status().code() == Status::Code::kNotFound,
          "a missing file has no identity");
}

}  // namespace

// The voices SAPI lists (Wine lists none), a voice that is not there refused by name, and the
// encoder speech is made with giving an MP3 the decoder plays for as long as the sound lasts.
void speechChecks([[maybe_unused]] const std::string& folder) {
    const std::vector<SpeechVoiceInfo> voices = chineseVoices();
    std::printf("SAPI lists %zu Chinese voice(s)\n", voices.size());
    for (const SpeechVoiceInfo& v : voices)
        check(!v.name.empty() && utf8ToGbk(v.name).isOk(), "a voice's name is kept: " + v.name);
    const auto missing = renderSpeech("上课", "没有的语音", 0);
    check(!missing.isOk() && missing.status().message().find("没有的语音") != std::string::npos,
          "a voice that is not there is refused by its name");
#ifdef TOLVANE_HAS_MP3_ENCODER
    SpeechPcm tone;
    tone.sampleRate = 22050;
    for (int i = 0; i < tone.sampleRate; ++i)
        tone.samples.push_back(
            static_cast<int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 22050)));
    const auto mp3 = encodeMp3(tone);
    check(mp3.isOk(), "a second of sound is encoded");
    if (!mp3.isOk()) return;
    const std::string path = folder + "\\tone.mp3";
    std::ofstream(pathFromUtf8(path), std::ios::binary) << mp3.value();
    Mp3Decoder decoder;
    check(decoder.open(path).isOk(), "the encoded file opens as an MP3");
    std::vector<char> buffer(65536);
    size_t bytes = 0;
    while (const size_t n = decoder.read(buffer.data(), buffer.size())) bytes += n;
    const double seconds =
        static_cast<double>(bytes) / static_cast<double>(decoder.format().bytesPerSecond());
    check(std::abs(seconds - 1.0) < 0.15, "it plays for " + std::to_string(seconds) + " s");
#endif
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    registryChecks();
    powerOffChecks();
    listingChecks(argv[1]);
    folderChecks();
    codecChecks();
    lockAndIdentityChecks(argv[1]);
    speechChecks(argv[1]);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
