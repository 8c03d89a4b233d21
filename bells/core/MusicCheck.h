// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which bells will ring silence: a bell whose file is missing or will not decode, or whose folder
// is missing or holds no MP3, is heard by nobody at its second. Found beforehand, it can be
// mended before its time comes.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "storage/TableDatabase.h"

namespace tolvane {

struct BellMusic {
    std::string start;  // 播放时间, as stored
    std::string music;  // 音乐
    bool operator==(const BellMusic&) const = default;
};

struct UnplayableMusic {
    BellMusic bell;
    std::string why;  // in the ring log's words: one of a few fixed texts, which uiText translates
    bool operator==(const UnplayableMusic&) const = default;
};

// The start and music of every live bell of db's bell table, in table order. Reads the copy in
// memory; leaves the bell table current.
Result<std::vector<BellMusic>> readBellMusic(TableDatabase& db);

// The bells whose music will not play, each music looked at once. A folder plays when it holds
// at least one MP3 file; a file when fileUnplayableBecause (the decoder's verdict) says nothing.
// Reads the disk: run it off the thread that rings.
std::vector<UnplayableMusic> findUnplayableMusic(
    const std::vector<BellMusic>& bells,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause);

// "铃声的音乐不能播放：" with the music and why, in this thread's language.
std::string unplayableSaid(const UnplayableMusic& unplayable);

// unplayableSaid for one bell's music when it will not play on this computer; none when it will.
std::optional<std::string> unplayableWarning(
    const std::string& music,
    const std::function<std::string(const std::string& file)>& fileUnplayableBecause);

}  // namespace tolvane
