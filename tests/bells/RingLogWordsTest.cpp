// SPDX-License-Identifier: GPL-3.0-or-later
// The ring log in its reader's language: the program's phrases translated, what they name kept.

#include <gtest/gtest.h>

#include <map>

#include "base/UiText.h"
#include "bells/core/RingLogWords.h"

namespace tolvane {
namespace {

TEST(RingLogWords, TranslatesThePhrasesAndKeepsTimesPathsAndChineseAsStored) {
    const std::string started = "[2026-12-08 08:00:00.003] 铃声开始：08:00:00 /铃声/上课.mp3";
    const std::string heard =
        "[2026-12-08 08:00:00.020] 铃声响起：08:00:00，第一个声音迟到 17 毫秒";
    const std::string other = "[2026-12-08 08:00:00.030] 某个程序自己的话";
    EXPECT_EQ(RingLogWords().inReaderWords(started), started) << "Chinese: as stored";

    const std::map<std::string, std::string> english = {
        {"铃声开始：", "Bell started: "},
        {"铃声响起：", "Bell heard: "},
        {"，第一个声音迟到 ", ", first sound late by "},
        {" 毫秒", " ms"},
        {"程序启动：", "Program started: "},
        {"，文件夹 ", ", folder "}};
    const UiTextTranslator translator = [&](const char*, const char* source) {
        const auto found = english.find(source);
        return found == english.end() ? std::string(source) : found->second;
    };
    const UiTextLanguage reader(&translator);
    const RingLogWords words;
    EXPECT_EQ(words.inReaderWords(started),
              "[2026-12-08 08:00:00.003] Bell started: 08:00:00 /铃声/上课.mp3");
    EXPECT_EQ(words.inReaderWords(heard),
              "[2026-12-08 08:00:00.020] Bell heard: 08:00:00, first sound late by 17 ms");
    EXPECT_EQ(words.inReaderWords(other), other);
    // The start names its folder in the same language.
    EXPECT_EQ(
        words.inReaderWords("[2026-12-08 07:00:00.000] 程序启动：Tolvane 0.1.0，文件夹 /学校"),
        "[2026-12-08 07:00:00.000] Program started: Tolvane 0.1.0, folder /学校");
    EXPECT_EQ(words.inReaderWords(""), "");
}

}  // namespace
}  // namespace tolvane
