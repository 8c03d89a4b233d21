// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where speech made ahead is kept: one MP3 in the 铃声库's 语音 folder for each text, voice and
// rate, named by them, so a bell finds its speech without asking anyone, a change of voice or
// rate makes new files, and two computers sharing a folder make the same names.

#include <string>
#include <vector>

#include "storage/TableDatabase.h"

namespace tolvane {

// How bells speak: the voice (empty: the machine's Chinese voice) and the rate, −10 … 10.
struct SpeechVoiceChoice {
    std::string voice;
    int rate = 0;
    bool operator==(const SpeechVoiceChoice&) const = default;
};

// The voice and rate the Settings record holds; the defaults when it cannot be read.
SpeechVoiceChoice speechVoiceChoice(TableDatabase& db);

// "语音/<name>.mp3" for text said by choice, in dataFolder's library.
std::string speechFilePath(const std::string& dataFolder, const std::string& text,
                           const SpeechVoiceChoice& choice);

// A bell that speaks: its start and timetable's table, and what it says.
struct SpokenBell {
    std::string table;  // the alias of its 作息表's bell table
    std::string start;
    std::string text;
    bool operator==(const SpokenBell&) const = default;
};

// Every live bell of every 作息表 that speaks, in timetable order then table order. Reads the
// copies in memory; leaves no table current.
std::vector<SpokenBell> spokenBells(TableDatabase& db);

// A bell's speech that could not be made, and why (the ring log's words).
struct UnmadeSpeech {
    SpokenBell bell;
    std::string why;
    bool operator==(const UnmadeSpeech&) const = default;
};

// "铃声的语音播报没有做成：" with the bell, its text and why, in this thread's language.
std::string unmadeSpeechSaid(const UnmadeSpeech& unmade);

}  // namespace tolvane
