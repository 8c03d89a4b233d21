// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/core/SpeechFiles.h"

#include <cstdint>
#include <cstdio>

#include "base/PathText.h"
#include "base/UiText.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"
#include "settings/core/Settings.h"

namespace tolvane {

namespace {

// Raised when the way texts are read (speakableText) changes, so that speech made by an older
// copy is made again rather than said the old way.
constexpr char kReadingVersion[] = "1";

// FNV-1a, 64 bits: a file name, not a secret; stable on every system and build.
uint64_t nameHash(std::string_view bytes) {
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

}  // namespace

SpeechVoiceChoice speechVoiceChoice(TableDatabase& db) {
    if (!selectSettingsRecord(db).isOk()) return {};
    auto settings = readSettings(db);
    if (!settings.isOk()) return {};
    return {settings.value().voice, settings.value().speechRate};
}

std::string speechFilePath(const std::string& dataFolder, const std::string& text,
                           const SpeechVoiceChoice& choice) {
    std::string key = kReadingVersion;
    for (const std::string& part : {choice.voice, std::to_string(choice.rate), text}) {
        key += '\0';
        key += part;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.mp3", static_cast<unsigned long long>(nameHash(key)));
    return joinPath(speechFolder(dataFolder), name);
}

std::vector<SpokenBell> spokenBells(TableDatabase& db) {
    std::vector<SpokenBell> spoken;
    std::vector<std::string> tables = {schema::kBellAlias};
    for (const std::string& name : timetableNames(db))
        if (auto table = bellTableOf(db, name); table && *table != schema::kBellAlias)
            tables.push_back(*table);
    for (const std::string& table : tables) {
        auto bells = readBells(db, table);
        if (!bells.isOk()) continue;
        for (const BellRecord& bell : bells.value())
            if (!bell.spoken().empty()) spoken.push_back({table, bell.start, bell.spoken()});
    }
    return spoken;
}

std::string unmadeSpeechSaid(const UnmadeSpeech& unmade) {
    return fillIn(uiText("SpeechFiles", "%1 的铃声的语音播报没有做成（%2）：“%3”"),
                  {unmade.bell.start, uiText("SpeechFiles", unmade.why.c_str()), unmade.bell.text});
}

}  // namespace tolvane
