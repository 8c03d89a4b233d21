// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/MusicCheck.h"

#include <map>

#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

Result<std::vector<BellMusic>> readBellMusic(TableDatabase& db) {
    std::vector<BellMusic> music;
    // Every 作息表's: next season's music is checked long before its first day.
    for (const std::string& name : timetableNames(db)) {
        const auto table = bellTableOf(db, name);
        if (!table) continue;
        auto bells = readBells(db, *table);
        if (!bells.isOk()) return bells.status();
        for (const BellRecord& bell : bells.value()) music.push_back({bell.start, bell.music});
    }
    return music;
}

std::vector<UnplayableMusic> findUnplayableMusic(
    const std::vector<BellMusic>& bells,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause) {
    std::map<std::string, std::string> verdicts;  // music -> why, looked at once
    std::vector<UnplayableMusic> unplayable;
    for (const BellMusic& bell : bells) {
        auto [at, isNew] = verdicts.try_emplace(bell.music);
        if (isNew) {
            if (bell.music.empty())
                at->second = UI_TEXT_NOOP("MusicCheck", "没有选择音乐");
            else if (countsAsFile(bell.music))
                at->second = fileUnplayableBecause(bell.music);
            else if (listMp3Files(bell.music).empty())
                at->second = FileSystem::platform()->exists(bell.music)
                                 ? UI_TEXT_NOOP("MusicCheck", "文件夹里没有MP3文件")
                                 : UI_TEXT_NOOP("MusicCheck", "文件夹不存在");
        }
        if (!at->second.empty()) unplayable.push_back({bell, at->second});
    }
    return unplayable;
}

std::string unplayableSaid(const UnplayableMusic& unplayable) {
    return fillIn(uiText("MusicCheck", "铃声的音乐不能播放：%1（%2）"),
                  {unplayable.bell.music, uiText("MusicCheck", unplayable.why.c_str())});
}

std::optional<std::string> unplayableWarning(
    const std::string& music,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause) {
    const auto unplayable = findUnplayableMusic({{"", music}}, fileUnplayableBecause);
    if (unplayable.empty()) return std::nullopt;
    return unplayableSaid(unplayable.front());
}

}  // namespace tolvane
