// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/core/Settings.h"

#include <algorithm>

#include "base/UiText.h"
#include "platform/TextCodec.h"

namespace tolvane {

using namespace schema;

std::vector<FieldDef> settingsTableFields() {
    return {{kVoiceReminder, kFieldText, kVoiceNameWidth},
            {kVoiceSpeed, kFieldInteger, 0},
            {kShowDate, kFieldLogical, 0},
            {kHideAfterStart, kFieldLogical, 0},
            {kAutoCorrectTime, kFieldLogical, 0},
            {kAutoUpdate, kFieldLogical, 0},
            {kRandomPlay, kFieldLogical, 0},
            {kPassword, kFieldText, 300},
            {kAutoShutdown, kFieldLogical, 0},
            {kShutdownTime, kFieldText, 300}};
}

std::vector<Value> defaultSettingsValues() {
    // The last two fields, 自动关机 and 关机时间, stay false and empty.
    return {Value{}, Value{}, true, Value{}, true, true, true, Value{}};
}

Status selectSettingsRecord(TableDatabase& db) {
    if (Status s = db.select(kSettingsAlias); !s.isOk()) return s;
    db.goFirst();
    if (!db.find([&] { return db.currentIsLive(); }))
        return Status::notFound("the settings table holds no record");
    return Status::ok();
}

Result<SettingsRecord> readSettings(const TableDatabase& db) {
    SettingsRecord s;
    const std::pair<const char*, bool*> flags[] = {{kShowDate, &s.showDate},
                                                   {kHideAfterStart, &s.hideAfterStart},
                                                   {kAutoCorrectTime, &s.autoCorrectTime},
                                                   {kAutoUpdate, &s.autoUpdate},
                                                   {kRandomPlay, &s.randomPlay},
                                                   {kAutoShutdown, &s.autoShutdown}};
    for (const auto& [name, target] : flags) {
        auto v = db.readLogical(name);
        if (!v.isOk()) return v.status();
        *target = v.value();
    }
    auto time = db.readText(kShutdownTime);
    if (!time.isOk()) return time.status();
    s.shutdownTime = std::move(time).value();
    auto voice = db.readText(kVoiceReminder);
    if (!voice.isOk()) return voice.status();
    s.voice = std::move(voice).value();
    auto rate = db.readInteger(kVoiceSpeed);
    if (!rate.isOk()) return rate.status();
    // A rate written by something else is taken at the nearest end rather than refused.
    s.speechRate =
        static_cast<int>(std::clamp<int64_t>(rate.value(), kSlowestSpeech, kFastestSpeech));
    return s;
}

Status writeSpeechVoice(TableDatabase& db, const std::string& voice, int rate) {
    if (rate < kSlowestSpeech || rate > kFastestSpeech)
        return Status::invalidArgument(
            fillIn(uiText("Settings", "语速应在 %1 到 %2 之间"),
                   {std::to_string(kSlowestSpeech), std::to_string(kFastestSpeech)}));
    auto gbk = utf8ToGbk(voice);
    if (!gbk.isOk() || gbk.value().size() > static_cast<size_t>(kVoiceNameWidth))
        return Status::invalidArgument(
            fillIn(uiText("Settings", "语音的名字不能保存（最多%1字节）：%2"),
                   {std::to_string(kVoiceNameWidth), voice}));
    if (Status s = selectSettingsRecord(db); !s.isOk()) return s;
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) return lock.status();
    if (Status s = db.write(kVoiceReminder, voice); !s.isOk()) return s;
    return db.write(kVoiceSpeed, int64_t{rate});
}

}  // namespace tolvane
