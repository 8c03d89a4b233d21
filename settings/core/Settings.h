// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Settings table (px.edb, alias "配置"): its fields in file order, its one record, and the
// options the program reads from it.

#include <string>
#include <vector>

#include "base/Status.h"
#include "storage/TableDatabase.h"

namespace tolvane {

namespace schema {
inline constexpr char kSettingsAlias[] = "配置";
inline constexpr char kSettingsFile[] = "px.edb";

// Settings fields.
inline constexpr char kVoiceReminder[] = "语音播报提醒";
inline constexpr char kVoiceSpeed[] = "语音播报速度";
// Bytes of GBK the 语音播报提醒 field holds.
inline constexpr int kVoiceNameWidth = 30;
inline constexpr char kShowDate[] = "显示日期";
inline constexpr char kHideAfterStart[] = "运行后隐藏程序";
inline constexpr char kAutoCorrectTime[] = "自动校正时间";
inline constexpr char kAutoUpdate[] = "软件自动更新";
inline constexpr char kRandomPlay[] = "随机播放";
inline constexpr char kPassword[] = "软件密码";
inline constexpr char kAutoShutdown[] = "自动关机";
inline constexpr char kShutdownTime[] = "关机时间";
}  // namespace schema

std::vector<FieldDef> settingsTableFields();

// The record a new settings table starts with: date shown, update and random play on, the rest
// false or empty.
std::vector<Value> defaultSettingsValues();

struct SettingsRecord {
    bool showDate = true;
    bool hideAfterStart = false;
    bool autoUpdate = true;
    // 自动校正时间: the clock's synchronisation is checked (older copies of the program ignore it).
    bool autoCorrectTime = true;
    bool randomPlay = true;
    bool autoShutdown = false;
    std::string shutdownTime;
    // 语音播报提醒 and 语音播报速度: the voice bells speak with (empty: the machine's Chinese
    // voice), and its rate from kSlowestSpeech to kFastestSpeech, 0 normal.
    std::string voice;
    int speechRate = 0;
};

inline constexpr int kSlowestSpeech = -10;
inline constexpr int kFastestSpeech = 10;

// Makes the settings table current, on its first (and only) record; fails when the table is not
// open.
Status selectSettingsRecord(TableDatabase& db);

// The current record of the settings table; Status::typeMismatch() for a field of another type.
Result<SettingsRecord> readSettings(const TableDatabase& db);

// Stores the voice bells speak with and its rate; refused, in this thread's language, for a name
// the field cannot hold or a rate out of range.
Status writeSpeechVoice(TableDatabase& db, const std::string& voice, int rate);

}  // namespace tolvane
