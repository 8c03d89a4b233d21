#include "schedule/core/Schema.h"

#include <filesystem>

#include "base/PathText.h"

namespace tolvane {

using namespace schema;

std::vector<FieldDef> bellTableFields() {
    std::vector<FieldDef> f = {
        {kStart, kFieldText, 20}, {kEnd, kFieldText, 20}, {kMusic, kFieldText, 300}};
    for (const char* day : kWeekdays) f.push_back({day, kFieldLogical, 0});
    f.push_back({kSortValue, kFieldInteger, 0});
    f.push_back({kReminderFlag, kFieldLogical, 0});
    f.push_back({kReminderText, kFieldText, 300});
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
    return bell;
}

std::vector<Value> bellValues(const BellRecord& bell) {
    std::vector<Value> v = {bell.start, bell.end, bell.music};
    for (bool day : bell.weekdays) v.emplace_back(day);
    v.emplace_back(int64_t{bell.sortValue});
    return v;
}

namespace {

// Moves an unreadable table out of the way under a name not yet taken.
Result<std::string> setAside(FileSystem& fs, const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        const std::string target = path + (n == 1 ? ".damaged" : ".damaged-" + std::to_string(n));
        if (fs.exists(target)) continue;
        if (Status s = fs.replace(path, target); !s.isOk()) return s;
        return target;
    }
    return Status::ioError("too many damaged copies of " + path);
}

// Opens path under alias; when that fails because the file is missing or unreadable, builds a
// new one with create(), having first set any unreadable file aside.
TableOrigin openOrCreate(TableDatabase& db, const std::string& path, const char* alias,
                         const std::function<Status()>& create, OpenedTables* report) {
    // Another program starting in the same folder must not create the table a second time over
    // the first one's records, nor open it between its creation and its first record.
    TableDatabase::WriteLock lock(db, path);
    if (!lock.status().isOk()) {
        report->errors.push_back(lock.status().about(path).message());
        return TableOrigin::kUnavailable;
    }
    const Status opened = db.open(path, alias);
    if (opened.isOk()) return TableOrigin::kOpened;
    if (opened.code() == Status::Code::kAlreadyOpen) {
        report->errors.push_back(opened.message());
        return db.hasTable(alias) ? TableOrigin::kOpened : TableOrigin::kUnavailable;
    }
    FileSystem& fs = db.fileSystem();
    if (opened.code() != Status::Code::kNotFound && fs.exists(path)) {
        auto moved = setAside(fs, path);
        if (!moved.isOk()) {
            // Rather no table than a schedule overwritten.
            report->errors.push_back(opened.message());
            report->errors.push_back(path + ": cannot set it aside: " + moved.status().message());
            return TableOrigin::kUnavailable;
        }
        report->setAside.push_back(moved.value());
    }
    if (Status s = create(); !s.isOk()) {
        report->errors.push_back(s.message());
        return TableOrigin::kUnavailable;
    }
    return db.hasTable(alias) ? TableOrigin::kCreated : TableOrigin::kUnavailable;
}

}  // namespace

OpenedTables openOrCreateTables(TableDatabase& db, const std::string& dir) {
    OpenedTables report;
    const std::string settingsPath = joinPath(dir, kSettingsFile);
    const std::string bellPath = joinPath(dir, kBellFile);

    report.settings = openOrCreate(
        db, settingsPath, kSettingsAlias,
        [&]() -> Status {
            if (Status s = db.create(settingsPath, settingsTableFields()); !s.isOk()) return s;
            if (Status s = db.open(settingsPath, kSettingsAlias); !s.isOk()) return s;
            return db.append(defaultSettingsValues());
        },
        &report);

    report.bells = openOrCreate(
        db, bellPath, kBellAlias,
        [&]() -> Status {
            if (Status s = db.create(bellPath, bellTableFields()); !s.isOk()) return s;
            return db.open(bellPath, kBellAlias);
        },
        &report);

    // Without a settings table there is nothing to make current; the report says why.
    if (report.settings != TableOrigin::kUnavailable) db.select(kSettingsAlias);
    return report;
}

ReloadedTables reloadChangedTables(TableDatabase& db) {
    ReloadedTables result;
    for (const auto& [alias, reloaded] :
         {std::pair{kBellAlias, &result.bells}, std::pair{kSettingsAlias, &result.settings}}) {
        if (!db.changedOnDisk(alias)) continue;
        auto r = db.reload(alias);
        if (r.isOk())
            *reloaded = r.value();
        else
            result.errors.push_back(r.status().message());
    }
    return result;
}

Status openTablesForReading(TableDatabase& db, const std::string& dir) {
    for (const auto& [file, alias] :
         {std::pair{kBellFile, kBellAlias}, std::pair{kSettingsFile, kSettingsAlias}})
        if (Status s = db.open(joinPath(dir, file), alias, TableDatabase::Access::kReadOnly);
            !s.isOk())
            return s;
    return Status::ok();
}

}  // namespace tolvane
