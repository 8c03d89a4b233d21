// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/Schema.h"

#include <filesystem>

#include "base/PathText.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

bool countsAsFile(std::string_view music) {
    return music.find(".mp3") != std::string_view::npos;
}

using namespace schema;

std::vector<FieldDef> bellTableFields() {
    std::vector<FieldDef> f = {
        {kStart, kFieldText, 20}, {kEnd, kFieldText, 20}, {kMusic, kFieldText, kMusicWidth}};
    for (const char* day : kWeekdays) f.push_back({day, kFieldLogical, 0});
    f.push_back({kSortValue, kFieldInteger, 0});
    f.push_back({kReminderFlag, kFieldLogical, 0});
    f.push_back({kReminderText, kFieldText, kReminderTextWidth});
    return f;
}

int32_t sortValue(int hours, int minutes, int seconds) {
    return hours * 3600 + minutes * 60 + seconds;
}

Result<BellRecord> readBell(const TableDatabase& db) {
    BellRecord bell;
    auto start = db.readText(kStart);
    if (!start.isOk()) return start.status();
    auto end = db.readText(kEnd);
    if (!end.isOk()) return end.status();
    auto music = db.readText(kMusic);
    if (!music.isOk()) return music.status();
    for (size_t i = 0; i < kWeekdays.size(); ++i) {
        auto day = db.readLogical(kWeekdays[i]);
        if (!day.isOk()) return day.status();
        bell.weekdays[i] = day.value();
    }
    auto sort = db.readInteger(kSortValue);
    if (!sort.isOk()) return sort.status();
    bell.start = std::move(start).value();
    bell.end = std::move(end).value();
    bell.music = std::move(music).value();
    bell.sortValue = static_cast<int32_t>(sort.value());
    // A table made by something that left the two speech fields out still rings its music.
    if (auto speaks = db.readLogical(kReminderFlag); speaks.isOk()) bell.speaks = speaks.value();
    if (auto text = db.readText(kReminderText); text.isOk()) bell.speech = std::move(text).value();
    return bell;
}

Result<std::vector<BellRecord>> readBells(TableDatabase& db) {
    return readBells(db, schema::kBellAlias);
}

Result<std::vector<BellRecord>> readBells(TableDatabase& db, const std::string& alias) {
    if (Status s = db.select(alias); !s.isOk()) return s;
    std::vector<BellRecord> bells;
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        auto bell = readBell(db);
        if (!bell.isOk()) return bell.status();
        bells.push_back(std::move(bell).value());
    }
    return bells;
}

std::vector<Value> bellValues(const BellRecord& bell) {
    std::vector<Value> v = {bell.start, bell.end, bell.music};
    for (bool day : bell.weekdays) v.emplace_back(day);
    v.emplace_back(int64_t{bell.sortValue});
    v.emplace_back(bell.speaks);
    v.emplace_back(bell.speech);
    return v;
}

namespace {

// FILE.damaged, or FILE.damaged-N for the first N not yet taken.
Result<std::string> unusedDamagedName(FileSystem& fs, const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        const std::string target = path + (n == 1 ? ".damaged" : ".damaged-" + std::to_string(n));
        if (!fs.exists(target)) return target;
    }
    return Status::ioError("too many damaged copies of " + path);
}

// Moves an unreadable table out of the way under a name not yet taken.
Result<std::string> setAside(FileSystem& fs, const std::string& path) {
    auto target = unusedDamagedName(fs, path);
    if (!target.isOk()) return target;
    if (Status s = fs.replace(path, target.value()); !s.isOk()) return s;
    return target;
}

}  // namespace

Result<std::string> copyAside(FileSystem& fs, const std::string& path) {
    auto target = unusedDamagedName(fs, path);
    if (!target.isOk()) return target;
    auto from = fs.openExisting(path, /*writable=*/false);
    if (!from.isOk()) return from.status();
    auto size = from.value()->size();
    if (!size.isOk()) return size.status();
    std::string bytes(static_cast<size_t>(size.value()), '\0');
    if (Status s = from.value()->read(0, bytes.size(), bytes.data()); !s.isOk()) return s;
    auto to = fs.createTruncated(target.value());
    if (!to.isOk()) return to.status();
    Status s = to.value()->write(0, bytes);
    if (s.isOk()) s = to.value()->sync();
    if (!s.isOk()) return s;
    return target;
}

namespace {

// Opens path under alias; builds a new table (with its first records) when there is none, or
// when its content is damaged, having first set the damaged file aside. A file this user may
// read but not write is opened read-only; one that cannot be read is left alone.
TableOrigin openOrCreate(TableDatabase& db, const std::string& path, const std::string& alias,
                         const std::vector<FieldDef>& fields,
                         const std::vector<std::vector<Value>>& firstRecords,
                         OpenedTables* report) {
    // Another program starting in the same folder must not create the table a second time over
    // the first one's records, nor open it between its creation and its first record.
    TableDatabase::WriteLock lock(db, path);
    if (!lock.status().isOk()) {
        report->errors.push_back(lock.status().about(path).message());
        return TableOrigin::kUnavailable;
    }
    const Status opened = db.open(path, alias);
    if (opened.isOk()) return TableOrigin::kOpened;
    switch (opened.code()) {
        case Status::Code::kAlreadyOpen:
            report->errors.push_back(opened.message());
            return db.hasTable(alias) ? TableOrigin::kOpened : TableOrigin::kUnavailable;
        case Status::Code::kPermissionDenied:
            if (Status readOnly = db.open(path, alias, TableDatabase::Access::kReadOnly);
                !readOnly.isOk()) {
                report->errors.push_back(readOnly.message());
                return TableOrigin::kUnavailable;
            }
            report->readOnly.push_back(opened.message());
            return TableOrigin::kReadOnly;
        case Status::Code::kNotFound:
        case Status::Code::kCorruption:
            break;
        default:
            // An I/O error says nothing about the content: keep the file for the next start.
            report->errors.push_back(opened.message());
            return TableOrigin::kUnavailable;
    }
    FileSystem& fs = db.fileSystem();
    if (opened.code() == Status::Code::kCorruption && fs.exists(path)) {
        auto moved = setAside(fs, path);
        if (!moved.isOk()) {
            // Rather no table than a schedule overwritten.
            report->errors.push_back(opened.message());
            report->errors.push_back(path + ": cannot set it aside: " + moved.status().message());
            return TableOrigin::kUnavailable;
        }
        report->setAside.push_back(moved.value());
    }
    Status s = db.create(path, fields, firstRecords);
    if (s.isOk()) s = db.open(path, alias);
    if (!s.isOk()) {
        report->errors.push_back(s.message());
        return TableOrigin::kUnavailable;
    }
    return TableOrigin::kCreated;
}

// A settings table without a record (cut short before its first record by an older copy, or
// by a repair) gets the default one, so the program starts with default settings.
void giveSettingsTheirRecord(TableDatabase& db, OpenedTables* report) {
    db.select(kSettingsAlias);
    if (selectSettingsRecord(db).isOk()) return;
    if (Status s = db.append(defaultSettingsValues()); !s.isOk())
        report->errors.push_back(s.message());
}

}  // namespace

TableOrigin openOrCreateTable(TableDatabase& db, const std::string& path, const std::string& alias,
                              const std::vector<FieldDef>& fields,
                              const std::vector<std::vector<Value>>& firstRecords,
                              OpenedTables* report) {
    return openOrCreate(db, path, alias, fields, firstRecords, report);
}

std::vector<FlowMessage> openedTablesMessages(const OpenedTables& opened) {
    std::vector<FlowMessage> messages;
    for (const std::string& moved : opened.setAside)
        messages.push_back(
            {infoCaption(), fillIn(uiText("tolvane::MainWindow",
                                          "铃声计划文件已损坏，不能读取。原来的文件已"
                                          "改名保存为 %1，并新建了一个空的文件。"),
                                   {moved})});
    if (opened.readOnly.empty()) return messages;
    std::string files;
    for (const std::string& reason : opened.readOnly) files += "\n" + reason;
    messages.push_back(
        {infoCaption(), fillIn(uiText("tolvane::MainWindow",
                                      "铃声计划文件只能读取，不能修改（没有写入权限）"
                                      "。铃声照常响起；要修改铃声，请让管理员给这个"
                                      "用户写入权限：%1"),
                               {files})});
    return messages;
}

OpenedTables openOrCreateTables(TableDatabase& db, const std::string& dir) {
    OpenedTables report;
    const std::string settingsPath = joinPath(dir, kSettingsFile);
    const std::string bellPath = joinPath(dir, kBellFile);

    {
        TableDatabase::WriteLock lock(db, settingsPath);
        report.settings = openOrCreate(db, settingsPath, kSettingsAlias, settingsTableFields(),
                                       {defaultSettingsValues()}, &report);
        if (report.settings == TableOrigin::kOpened) giveSettingsTheirRecord(db, &report);
    }
    report.bells = openOrCreate(db, bellPath, kBellAlias, bellTableFields(), {}, &report);
    report.calendar = openOrCreate(db, joinPath(dir, kCalendarFile), kCalendarAlias,
                                   calendarTableFields(), {}, &report);
    if (report.bells != TableOrigin::kUnavailable) openTimetables(db, &report);

    // Without a settings table there is nothing to make current; the report says why.
    if (report.settings != TableOrigin::kUnavailable) db.select(kSettingsAlias);
    return report;
}

void reloadTable(TableDatabase& db, const std::string& alias, bool* changed,
                 ReloadedTables* result) {
    if (!db.changedOnDisk(alias)) return;
    auto r = db.reload(alias);
    if (r.isOk()) {
        *changed = r.value() || *changed;
    } else if (r.status().code() == Status::Code::kCorruption) {
        const std::string path = db.pathOf(alias);
        std::string why = r.status().message();
        // The message names the file first; the path is said apart.
        if (why.rfind(path + ": ", 0) == 0) why.erase(0, path.size() + 2);
        result->damaged.push_back({path, why});
    } else {
        result->errors.push_back(r.status().message());
    }
}

ReloadedTables reloadChangedTables(TableDatabase& db) {
    ReloadedTables result;
    for (const auto& [alias, reloaded] :
         {std::pair{kBellAlias, &result.bells}, std::pair{kSettingsAlias, &result.settings},
          std::pair{kCalendarAlias, &result.calendar}})
        reloadTable(db, alias, reloaded, &result);
    if (db.hasTable(kBellAlias)) followTimetables(db, &result);
    return result;
}

Status openTablesForReading(TableDatabase& db, const std::string& dir) {
    for (const auto& [file, alias] :
         {std::pair{kBellFile, kBellAlias}, std::pair{kSettingsFile, kSettingsAlias}})
        if (Status s = db.open(joinPath(dir, file), alias, TableDatabase::Access::kReadOnly);
            !s.isOk())
            return s;
    // A folder of an older copy has no calendar: every day rings as its own weekday.
    const std::string calendar = joinPath(dir, kCalendarFile);
    if (db.fileSystem().exists(calendar))
        if (Status s = db.open(calendar, kCalendarAlias, TableDatabase::Access::kReadOnly);
            !s.isOk())
            return s;
    openTimetablesForReading(db);
    db.select(kSettingsAlias);
    return Status::ok();
}

}  // namespace tolvane
