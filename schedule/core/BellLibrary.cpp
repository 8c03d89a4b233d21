// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/BellLibrary.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/PathText.h"
#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/TextCodec.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

namespace {

// A name this long, in a library path, still fits a bell's 音乐 field with room to spare.
constexpr size_t kMaxNameBytes = 120;

bool endsWithMp3(const std::string& name) {
    return name.size() >= 4 && asciiLowered(name.substr(name.size() - 4)) == ".mp3";
}

// Names Windows keeps for devices, with any extension and with spaces before it: "NUL.mp3" and
// "AUX .mp3" are no files there. COM and LPT take 0 to 9 and the superscript digits ¹ ² ³.
bool isWindowsDeviceName(const std::string& name) {
    std::string stem = asciiLowered(name.substr(0, name.find('.')));
    stem.erase(stem.find_last_not_of(' ') + 1);
    static const std::array<const char*, 6> kDevices = {"con", "prn",    "aux",
                                                        "nul", "conin$", "conout$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
    if (stem.rfind("com", 0) != 0 && stem.rfind("lpt", 0) != 0) return false;
    const std::string number = stem.substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\u00b9" ||
           number == "\u00b2" || number == "\u00b3";
}

// The file of the library that name would be on Windows, where letters' case makes no other
// name ("上课.MP3" is "上课.mp3"); empty when there is none.
std::string caseTwinIn(const std::string& library, const std::string& name) {
    const std::string wanted = asciiLowered(name);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(pathFromUtf8(library), ec)) {
        const std::string there = utf8FromPath(entry.path().filename());
        if (asciiLowered(there) == wanted) return there;
    }
    return {};
}

// Sixteen random hex digits: an upload's own name while it arrives.
std::string randomName() {
    std::random_device random;
    std::string name;
    for (int i = 0; i < 4; ++i) {
        char piece[9];
        std::snprintf(piece, sizeof piece, "%08x", static_cast<unsigned>(random()));
        name += piece;
    }
    return name.substr(0, 16);
}

}  // namespace

std::string bellLibraryFolder(const std::string& dataFolder) {
    return joinPath(dataFolder, kBellLibraryName);
}

std::string speechFolder(const std::string& dataFolder) {
    return joinPath(bellLibraryFolder(dataFolder), kSpeechFolderName);
}

std::string ringNowMusicProblem(TableDatabase& db, const std::string& dataFolder,
                                const std::string& music) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path library = fs::weakly_canonical(pathFromUtf8(bellLibraryFolder(dataFolder)), ec);
    const fs::path asked = fs::weakly_canonical(pathFromUtf8(music), ec);
    if (!ec) {
        const auto [l, a] =
            std::mismatch(library.begin(), library.end(), asked.begin(), asked.end());
        if (l == library.end() && a != asked.end()) return {};
    }
    for (const std::string& name : timetableNames(db)) {
        const auto alias = bellTableOf(db, name);
        if (!alias) continue;
        auto bells = readBells(db, *alias);
        if (bells.isOk() && std::any_of(bells.value().begin(), bells.value().end(),
                                        [&](const BellRecord& b) { return b.music == music; }))
            return {};
    }
    return fillIn(uiText("BellLibrary", "立即播放只能播放铃声库里或铃声计划里的音乐：%1"), {music});
}

Status makeBellLibrary(const std::string& dataFolder, const std::string& shippedFolder) {
    const std::filesystem::path library = pathFromUtf8(bellLibraryFolder(dataFolder));
    std::error_code ec;
    if (std::filesystem::is_directory(library, ec)) return Status::ok();
    std::filesystem::create_directories(library, ec);
    if (ec) return Status::ioError(ec.message()).about(utf8FromPath(library));
    if (shippedFolder.empty() || pathFromUtf8(shippedFolder) == library) return Status::ok();
    for (const std::string& name : listMp3Files(shippedFolder)) {
        std::filesystem::copy_file(pathFromUtf8(joinPath(shippedFolder, name)),
                                   library / pathFromUtf8(name),
                                   std::filesystem::copy_options::skip_existing, ec);
        if (ec)
            return Status::ioError(ec.message()).about(utf8FromPath(library / pathFromUtf8(name)));
    }
    return Status::ok();
}

std::vector<LibraryEntry> listBellLibrary(const std::string& dataFolder) {
    const std::string library = bellLibraryFolder(dataFolder);
    std::vector<LibraryEntry> entries;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(pathFromUtf8(library), ec)) {
        const std::string name = utf8FromPath(entry.path().filename());
        if (name.empty() || name[0] == '.') continue;  // an upload being written, a hidden file
        if (name == kSpeechFolderName) continue;
        if (entry.is_directory(ec)) entries.push_back({name, true});
    }
    std::sort(entries.begin(), entries.end(),
              [](const LibraryEntry& a, const LibraryEntry& b) { return a.name < b.name; });
    for (const std::string& name : listMp3Files(library))
        if (name[0] != '.') entries.push_back({name, false});
    return entries;
}

std::string libraryFileNameProblem(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name[0] == '.')
        return uiText("BellLibrary", "文件名不能为空，也不能以“.”开头");
    if (!unstorableTextReason(name).empty() || name.find('\t') != std::string::npos ||
        name.find_first_of("/\\:*?\"<>|") != std::string::npos)
        return uiText("BellLibrary", "文件名不能含有 / \\ : * ? \" < > | 或控制字符");
    if (name.size() > kMaxNameBytes) return uiText("BellLibrary", "文件名太长");
    if (!endsWithMp3(name)) return uiText("BellLibrary", "只能放 MP3 文件（文件名以 .mp3 结尾）");
    if (isWindowsDeviceName(name) || name.back() == ' ' || name.back() == '.')
        return uiText("BellLibrary", "这个文件名在 Windows 上不能用");
    return {};
}

std::string libraryScratchPath(const std::string& dataFolder) {
    return joinPath(bellLibraryFolder(dataFolder), ".upload-" + randomName());
}

Status moveIntoBellLibrary(
    FileSystem& fs, const std::string& dataFolder, const std::string& name,
    const std::string& scratch,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause) {
    Status s = libraryNameStatus(dataFolder, name);
    if (s.isOk()) {
        if (const std::string why = fileUnplayableBecause(scratch); !why.empty())
            s = Status::invalidArgument(
                fillIn(uiText("BellLibrary", "这个文件不能作为铃声播放：%1"),
                       {uiText("MusicCheck", why.c_str())}));
    }
    // Another upload of that name may have come first; it keeps its place.
    if (s.isOk()) s = fs.moveNew(scratch, joinPath(bellLibraryFolder(dataFolder), name));
    if (s.code() == Status::Code::kAlreadyOpen)
        s = Status::alreadyOpen(uiText("BellLibrary", "同名文件刚刚被放入铃声库"));
    if (!s.isOk()) fs.remove(scratch);
    return s;
}

Status libraryNameStatus(const std::string& dataFolder, const std::string& name) {
    if (const std::string problem = libraryFileNameProblem(name); !problem.empty())
        return Status::invalidArgument(problem);
    if (const std::string twin = caseTwinIn(bellLibraryFolder(dataFolder), name); !twin.empty())
        return Status::alreadyOpen(fillIn(
            uiText("BellLibrary", "铃声库里已经有“%1”：请换一个文件名，或先删除原来的"), {twin}));
    return Status::ok();
}

Status addToBellLibrary(
    FileSystem& fs, const std::string& dataFolder, const std::string& name,
    const std::string& bytes,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause) {
    if (Status s = libraryNameStatus(dataFolder, name); !s.isOk()) return s;
    // A folder no ringer has started in yet has no library: the first file makes it.
    std::error_code ec;
    std::filesystem::create_directories(pathFromUtf8(bellLibraryFolder(dataFolder)), ec);
    // Written under a hidden name of its own first: nobody lists or rings a file still arriving,
    // and two uploads of one name never write into one file.
    const std::string scratch = libraryScratchPath(dataFolder);
    Status s = writeNewFile(fs, scratch, bytes);
    if (!s.isOk())  // a full disk, a folder that cannot be written: the system's words say which
        return Status::ioError(
            fillIn(uiText("BellLibrary", "文件没能存入铃声库：%1"), {s.message()}));
    return moveIntoBellLibrary(fs, dataFolder, name, scratch, fileUnplayableBecause);
}

}  // namespace tolvane
