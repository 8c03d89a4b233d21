// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Bell schedule table (db.edb, alias "数据库"): its fields in file order and its record type;
// and opening the program's two tables (with the Settings table, settings/core/Settings.h) at
// start-up.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "base/UiText.h"
#include "settings/core/Settings.h"
#include "storage/TableDatabase.h"

namespace tolvane {

namespace schema {
inline constexpr char kBellAlias[] = "数据库";
inline constexpr char kBellFile[] = "db.edb";

// Bell schedule fields.
inline constexpr char kStart[] = "播放时间";
inline constexpr char kEnd[] = "结束时间";
inline constexpr char kMusic[] = "音乐";
// Bytes of GBK the 音乐 field holds.
inline constexpr int kMusicWidth = 300;
// Weekday fields, Monday first as in the file.
inline constexpr std::array<const char*, 7> kWeekdays = {"周一", "周二", "周三", "周四",
                                                         "周五", "周六", "周日"};
inline constexpr char kSortValue[] = "排序值";
inline constexpr char kReminderFlag[] = "提醒文本";
inline constexpr char kReminderText[] = "文本";
// Bytes of GBK the 文本 field holds.
inline constexpr int kReminderTextWidth = 300;

}  // namespace schema

std::vector<FieldDef> bellTableFields();

struct BellRecord {
    std::string start;               // Time of day text as stored, normally HH:MM:SS
    std::string end;                 // empty when the bell has no end time
    std::string music;               // an MP3 file or a folder of them
    std::array<bool, 7> weekdays{};  // Monday first
    int32_t sortValue = 0;
    // 提醒文本 and 文本: the bell speaks text once its music ends (older copies of the program
    // ignore both and ring the music alone).
    bool speaks = false;
    std::string speech = {};
    // What the bell says, or empty when it says nothing.
    const std::string& spoken() const {
        static const std::string kNothing;
        return speaks ? speech : kNothing;
    }
};

// A 音乐 value counts as one file when ".mp3" appears anywhere in it, letter case significant;
// anything else counts as a folder. The file system is not asked.
bool countsAsFile(std::string_view music);

// Seconds after midnight: the order of the schedule list.
int32_t sortValue(int hours, int minutes, int seconds);

// The current record of the selected table, read field by field with the schema's types; a field
// of another type gives Status::typeMismatch().
Result<BellRecord> readBell(const TableDatabase& db);

// Every live bell of db's bell table, in table order; leaves the bell table current. Fails with
// the first bell that cannot be read.
Result<std::vector<BellRecord>> readBells(TableDatabase& db);
// The same for the bell table open as alias (a 作息表's).
Result<std::vector<BellRecord>> readBells(TableDatabase& db, const std::string& alias);

// The values of a Bell record in field order, for Append record.
std::vector<Value> bellValues(const BellRecord& bell);

// What start-up found for each table file.
// kReadOnly: this user may read the file but not write it; bells ring from it, changes are refused.
enum class TableOrigin { kOpened, kCreated, kReadOnly, kUnavailable };
struct OpenedTables {
    TableOrigin settings = TableOrigin::kUnavailable;
    TableOrigin bells = TableOrigin::kUnavailable;
    // The school calendar (xl.edb): without it every day rings as its own weekday.
    TableOrigin calendar = TableOrigin::kUnavailable;
    // A file that existed but could not be opened is kept under this name instead of being
    // overwritten, so a damaged schedule can still be rescued by hand.
    std::vector<std::string> setAside;
    // Why each read-only table may not be written ("PATH: cannot open: Permission denied").
    std::vector<std::string> readOnly;
    std::vector<std::string> errors;
    bool usable() const {
        return settings != TableOrigin::kUnavailable && bells != TableOrigin::kUnavailable;
    }
};

// Opens px.edb as "配置" and db.edb as "数据库" in dir, creating either one (px.edb with its
// default Settings record, in one step) when it is missing or its content is damaged (the damaged
// file set aside first). A file that may be read but not written opens read-only; one that
// cannot be read is an error and stays as it is. Leaves "配置" current.
OpenedTables openOrCreateTables(TableDatabase& db, const std::string& dir);
// The same for one table file of the folder: opened, or made anew with firstRecords when missing
// or damaged (the damaged file set aside and named in report), or opened read-only.
TableOrigin openOrCreateTable(TableDatabase& db, const std::string& path, const std::string& alias,
                              const std::vector<FieldDef>& fields,
                              const std::vector<std::vector<Value>>& firstRecords,
                              OpenedTables* report);

// Copies a damaged table beside it under a name not yet taken (FILE.damaged, FILE.damaged-2 …)
// and leaves it where it is: a copy still being made, or a synchronised folder, may yet make it
// whole. Returns the copy's path.
Result<std::string> copyAside(FileSystem& fs, const std::string& path);

// What the window tells the user of tables opened with trouble: each damaged file set aside, and
// the tables that can only be read (bells ring, changes are refused). In this thread's language.
std::vector<FlowMessage> openedTablesMessages(const OpenedTables& opened);

// Opens px.edb and db.edb in dir read-only, as they are: nothing is created or repaired on disk
// (what only reads must never write while a ringing program may be writing). Leaves "配置" current.
Status openTablesForReading(TableDatabase& db, const std::string& dir);

// A table file that fails the open checks: its path, and why (for a person to read).
struct DamagedTable {
    std::string path;
    std::string why;
    bool operator==(const DamagedTable&) const = default;
};

// What reloadChangedTables read again, and why a table could not be.
struct ReloadedTables {
    bool bells = false;
    bool settings = false;
    bool calendar = false;
    // The 作息表 index (zx.edb) or one of its timetables' tables.
    bool timetables = false;
    // Every table whose file is damaged now: its table stays as it was last read whole, and each
    // call names it again until the file is whole (or another) again.
    std::vector<DamagedTable> damaged;
    std::vector<std::string> errors;
    bool any() const { return bells || settings || calendar || timetables; }
};

// Reads the table open as alias again when its file changed; *changed when it was read. A
// damaged file goes to result's damaged, any other failure to its errors.
void reloadTable(TableDatabase& db, const std::string& alias, bool* changed,
                 ReloadedTables* result);

// Reads again each of the program's two tables whose file was changed by someone else (another
// program, an editor, a copy arriving by rename). A file that fails the open checks is never
// half-read: its table stays as it was, and the next call tries again.
ReloadedTables reloadChangedTables(TableDatabase& db);

}  // namespace tolvane
