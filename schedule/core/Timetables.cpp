// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/Timetables.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "base/PathText.h"
#include "platform/TextCodec.h"
#include "schedule/core/Calendar.h"

namespace tolvane {

using namespace schema;

namespace {

constexpr char kTimetableRecord[] = "T";
constexpr char kRotationRecord[] = "R";
constexpr char kDayRecord[] = "D";
constexpr char kTableAliasPrefix[] = "作息表:";

std::string aliasOfFile(const std::string& file) {
    return kTableAliasPrefix + file;
}

bool isTimetableAlias(const std::string& alias) {
    return alias.rfind(kTableAliasPrefix, 0) == 0;
}

// The folder of db.edb, where the timetables live.
std::string tableFolder(TableDatabase& db) {
    if (!db.select(kBellAlias).isOk()) return {};
    return utf8FromPath(pathFromUtf8(db.currentPath()).parent_path());
}

std::string monthDayText(int md) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d", md / 100, md % 100);
    return text;
}

std::string textOf(TableDatabase& db, const char* field) {
    auto text = db.readText(field);
    return text.isOk() ? text.value() : std::string();
}

std::vector<std::string> splitNames(const std::string& joined) {
    std::vector<std::string> names;
    size_t from = 0;
    while (from <= joined.size() && !joined.empty()) {
        const size_t comma = joined.find(',', from);
        names.push_back(joined.substr(from, comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return names;
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
    return joined;
}

std::vector<std::vector<Value>> indexRecords(const TimetableIndex& index) {
    std::vector<std::vector<Value>> records;
    for (const auto& t : index.timetables)
        records.push_back({kTimetableRecord, t.name, t.file,
                           t.season ? monthDayText(t.season->from) : "",
                           t.season ? monthDayText(t.season->to) : ""});
    if (!index.rotation.empty())
        records.push_back(
            {kRotationRecord, joinNames(index.rotation), "", index.rotationStart, ""});
    for (const auto& [date, name] : index.days) records.push_back({kDayRecord, name, "", date, ""});
    return records;
}

Status writeIndex(TableDatabase& db, const std::string& path, const TimetableIndex& index) {
    if (!db.hasTable(kTimetableAlias)) {
        if (Status s = db.create(path, timetableIndexFields(), indexRecords(index)); !s.isOk())
            return s;
        return db.open(path, kTimetableAlias);
    }
    if (Status s = db.select(kTimetableAlias); !s.isOk()) return s;
    return db.replaceAll(indexRecords(index));
}

Status refusedWhenReadOnly(TableDatabase& db) {
    if (Status s = db.select(kBellAlias); !s.isOk()) return s;
    if (Status s = db.canChange(); !s.isOk()) return s;
    if (db.hasTable(kTimetableAlias)) {
        db.select(kTimetableAlias);
        return db.canChange();
    }
    return Status::ok();
}

// Reads the index afresh under its lock, lets change edit it, and writes it whole; then the open
// timetables follow it. Nothing is written when change fails.
Status changeIndex(TableDatabase& db, const std::function<Status(TimetableIndex&)>& change) {
    if (Status s = refusedWhenReadOnly(db); !s.isOk()) return s;
    const std::string folder = tableFolder(db);
    const std::string path = joinPath(folder, kTimetableFile);
    TableDatabase::WriteLock lock(db, path);
    if (!lock.status().isOk()) return lock.status();
    if (db.hasTable(kTimetableAlias)) {
        if (auto r = db.reload(kTimetableAlias); !r.isOk()) return r.status();
    } else if (db.fileSystem().exists(path)) {
        // Another program made the index since this one looked: added to, never written over.
        OpenedTables report;
        openTimetables(db, &report);
        if (!db.hasTable(kTimetableAlias))
            return Status::ioError(report.errors.empty() ? path : report.errors.front());
    }
    TimetableIndex index = readTimetableIndex(db);
    if (Status s = change(index); !s.isOk()) return s;
    if (Status s = writeIndex(db, path, index); !s.isOk()) return s;
    // The change is made. A table that cannot be opened now (another timetable's, missing from
    // the folder) is said where the tables are opened, not as this change's failure.
    ReloadedTables ignored;
    followTimetables(db, &ignored);
    return Status::ok();
}

// A timetable's table as db.edb is opened (a damaged one set aside and made anew), except that a
// missing one is not made: an empty table would silence its days, which instead ring by the rest
// of the rule.
void openTimetableTable(TableDatabase& db, const std::string& folder,
                        const TimetableIndex::Entry& t, OpenedTables* report) {
    const std::string path = joinPath(folder, t.file);
    if (!db.fileSystem().exists(path)) {
        report->errors.push_back(path + ": the table of the timetable \"" + t.name +
                                 "\" is missing; its days ring by the rest of the rules");
        return;
    }
    openOrCreateTable(db, path, aliasOfFile(t.file), bellTableFields(), {}, report);
}

Status notATimetable(const std::string& name) {
    return Status::notFound(fillIn(uiText("Timetable", "没有作息表“%1”"), {name}));
}

Status defaultStays() {
    return Status::invalidArgument(
        fillIn(uiText("Timetable", "“%1”是默认的作息表（db.edb），不能改名或删除，也没有季节"),
               {kDefaultTimetable}));
}

// The first zxN.edb neither named in the index nor lying in the folder.
std::string freeTableFile(TableDatabase& db, const std::string& folder,
                          const TimetableIndex& index) {
    for (int n = 1;; ++n) {
        const std::string file = "zx" + std::to_string(n) + ".edb";
        const bool named = std::any_of(index.timetables.begin(), index.timetables.end(),
                                       [&](const auto& t) { return t.file == file; });
        if (!named && !db.fileSystem().exists(joinPath(folder, file)) &&
            !db.fileSystem().exists(joinPath(folder, file + ".deleted")))
            return file;
    }
}

}  // namespace

std::vector<FieldDef> timetableIndexFields() {
    return {{kKind, kFieldText, 1},
            {kName, kFieldText, 200},
            {kFile, kFieldText, 16},
            {kFrom, kFieldText, 10},
            {kTo, kFieldText, 10}};
}

const TimetableIndex::Entry* TimetableIndex::find(const std::string& name) const {
    for (const Entry& t : timetables)
        if (t.name == name) return &t;
    return nullptr;
}

namespace {

// A timetable's table is one of the folder's own: a plain name (never a path that leads
// elsewhere) of an .edb file other than the program's four.
bool isTimetableFileName(const std::string& file) {
    if (file.size() < 5 || file.find_first_of("/\\:") != std::string::npos) return false;
    std::string lower = file;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.compare(lower.size() - 4, 4, ".edb") != 0 || lower.front() == '.') return false;
    for (const char* own : {kBellFile, kSettingsFile, kCalendarFile, kTimetableFile})
        if (lower == own) return false;
    return true;
}

}  // namespace

TimetableIndex readTimetableIndex(TableDatabase& db) {
    TimetableIndex index;
    if (!db.select(kTimetableAlias).isOk()) return index;
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        if (!db.currentIsLive()) continue;
        const std::string kind = textOf(db, kKind), name = textOf(db, kName);
        const std::string from = textOf(db, kFrom), to = textOf(db, kTo);
        if (kind == kTimetableRecord) {
            TimetableIndex::Entry t{name, textOf(db, kFile), std::nullopt};
            if (!isTimetableFileName(t.file)) {
                index.problems.push_back(fillIn(
                    uiText("Timetable", "作息表“%1”的表文件“%2”不是这个文件夹里的表：不读取它"),
                    {name, t.file}));
                continue;
            }
            if (auto season = parseSeason(from, to); season.isOk())
                t.season = season.value();
            else if (!from.empty() || !to.empty())
                index.problems.push_back(
                    fillIn(uiText("Timetable", "作息表“%1”的季节不能用（%2）：它只按其他规则响"),
                           {name, season.status().message()}));
            index.timetables.push_back(std::move(t));
        } else if (kind == kRotationRecord) {
            index.rotation = splitNames(name);
            index.rotationStart = from;
            if (!parseDate(from))
                index.problems.push_back(fillIn(
                    uiText("Timetable", "轮换的开始日期“%1”不是日期：轮换不起作用"), {from}));
        } else if (kind == kDayRecord) {
            index.days[from] = name;
        }
    }
    return index;
}

TimetablePlan timetablePlan(TableDatabase& db) {
    const TimetableIndex index = readTimetableIndex(db);
    TimetablePlan plan;
    plan.timetables.push_back({kDefaultTimetable, std::nullopt});
    for (const auto& t : index.timetables)
        if (db.hasTable(aliasOfFile(t.file))) plan.timetables.push_back({t.name, t.season});
    plan.rotation = index.rotation;
    plan.rotationStart = index.rotationStart;
    plan.days = index.days;
    return plan;
}

std::vector<std::string> timetableNames(TableDatabase& db) {
    std::vector<std::string> names = {kDefaultTimetable};
    for (const auto& t : readTimetableIndex(db).timetables) names.push_back(t.name);
    return names;
}

std::optional<std::string> bellTableOf(TableDatabase& db, const std::string& name) {
    if (name == kDefaultTimetable) return std::string(kBellAlias);
    const TimetableIndex index = readTimetableIndex(db);
    const auto* t = index.find(name);
    if (!t || !db.hasTable(aliasOfFile(t->file))) return std::nullopt;
    return aliasOfFile(t->file);
}

Result<std::string> bellTableFor(TableDatabase& db, const std::string& name) {
    if (auto alias = bellTableOf(db, name)) return *alias;
    return notATimetable(name);
}

void openTimetables(TableDatabase& db, OpenedTables* report) {
    const std::string folder = tableFolder(db);
    const std::string path = joinPath(folder, kTimetableFile);
    if (folder.empty() || !db.fileSystem().exists(path)) return;
    if (openOrCreateTable(db, path, kTimetableAlias, timetableIndexFields(), {}, report) ==
        TableOrigin::kUnavailable)
        return;
    for (const auto& t : readTimetableIndex(db).timetables)
        openTimetableTable(db, folder, t, report);
}

void openTimetablesForReading(TableDatabase& db) {
    const std::string folder = tableFolder(db);
    const std::string path = joinPath(folder, kTimetableFile);
    if (folder.empty() || !db.fileSystem().exists(path)) return;
    if (!db.open(path, kTimetableAlias, TableDatabase::Access::kReadOnly).isOk()) return;
    // A timetable whose table cannot be read is left out: its days ring the rest of the rule.
    for (const auto& t : readTimetableIndex(db).timetables)
        db.open(joinPath(folder, t.file), aliasOfFile(t.file), TableDatabase::Access::kReadOnly);
}

void followTimetables(TableDatabase& db, ReloadedTables* result) {
    bool* changed = &result->timetables;
    std::vector<std::string>* errors = &result->errors;
    const std::string folder = tableFolder(db);
    if (!db.hasTable(kTimetableAlias)) {
        if (folder.empty() || !db.fileSystem().exists(joinPath(folder, kTimetableFile))) return;
        OpenedTables report;
        openTimetables(db, &report);
        *changed = db.hasTable(kTimetableAlias);
        errors->insert(errors->end(), report.errors.begin(), report.errors.end());
        return;
    }
    reloadTable(db, kTimetableAlias, changed, result);
    const TimetableIndex index = readTimetableIndex(db);
    std::vector<std::string> wanted;
    for (const auto& t : index.timetables) {
        const std::string alias = aliasOfFile(t.file);
        wanted.push_back(alias);
        if (!db.hasTable(alias)) {
            OpenedTables report;
            openTimetableTable(db, folder, t, &report);
            errors->insert(errors->end(), report.errors.begin(), report.errors.end());
            *changed = db.hasTable(alias) || *changed;
        } else {
            reloadTable(db, alias, changed, result);
        }
    }
    for (const std::string& alias : db.aliases())
        if (isTimetableAlias(alias) &&
            std::find(wanted.begin(), wanted.end(), alias) == wanted.end()) {
            db.close(alias);
            *changed = true;
        }
}

std::string timetableNameProblem(TableDatabase& db, const std::string& name) {
    if (name.empty()) return uiText("Timetable", "请输入作息表的名称");
    if (name.find(',') != std::string::npos || name.find("，") != std::string::npos)
        return uiText("Timetable", "作息表的名称不能有逗号");
    if (std::string reason = unstorableTextReason(name); !reason.empty()) return reason;
    auto gbk = utf8ToGbk(name);
    if (!gbk.isOk()) return gbk.status().message();
    if (gbk.value().size() > static_cast<size_t>(kTimetableNameWidth))
        return fillIn(
            uiText("Timetable", "作息表的名称太长：最多 %1 字节（%2 个汉字）"),
            {std::to_string(kTimetableNameWidth), std::to_string(kTimetableNameWidth / 2)});
    const auto names = timetableNames(db);
    if (std::find(names.begin(), names.end(), name) != names.end())
        return fillIn(uiText("Timetable", "已经有作息表“%1”"), {name});
    return {};
}

Status addTimetable(TableDatabase& db, const std::string& name, const std::string& copyOf) {
    if (std::string problem = timetableNameProblem(db, name); !problem.empty())
        return Status::invalidArgument(problem);
    std::vector<std::vector<Value>> bells;
    if (!copyOf.empty()) {
        auto from = bellTableFor(db, copyOf);
        if (!from.isOk()) return from.status();
        auto read = readBells(db, from.value());
        if (!read.isOk()) return read.status();
        for (const BellRecord& bell : read.value()) bells.push_back(bellValues(bell));
    }
    const std::string folder = tableFolder(db);
    return changeIndex(db, [&](TimetableIndex& index) {
        if (index.find(name))
            return Status::invalidArgument(fillIn(uiText("Timetable", "已经有作息表“%1”"), {name}));
        const std::string file = freeTableFile(db, folder, index);
        // The table is whole before the index names it: a crash in between leaves a file no
        // index names, which the next timetable's name passes over.
        if (Status s = db.create(joinPath(folder, file), bellTableFields(), bells); !s.isOk())
            return s;
        index.timetables.push_back({name, file, std::nullopt});
        return Status::ok();
    });
}

Status renameTimetable(TableDatabase& db, const std::string& from, const std::string& to) {
    if (from == kDefaultTimetable) return defaultStays();
    if (std::string problem = timetableNameProblem(db, to); !problem.empty())
        return Status::invalidArgument(problem);
    return changeIndex(db, [&](TimetableIndex& index) {
        auto it = std::find_if(index.timetables.begin(), index.timetables.end(),
                               [&](const auto& t) { return t.name == from; });
        if (it == index.timetables.end()) return notATimetable(from);
        // Another program may have taken the name since it was checked.
        if (index.find(to))
            return Status::invalidArgument(fillIn(uiText("Timetable", "已经有作息表“%1”"), {to}));
        it->name = to;
        // The rules follow the timetable under its new name.
        std::replace(index.rotation.begin(), index.rotation.end(), from, to);
        for (auto& [date, name] : index.days)
            if (name == from) name = to;
        return Status::ok();
    });
}

Result<int> timetableBellCount(TableDatabase& db, const std::string& name) {
    auto alias = bellTableFor(db, name);
    if (!alias.isOk()) return alias.status();
    auto bells = readBells(db, alias.value());
    if (!bells.isOk()) return bells.status();
    return static_cast<int>(bells.value().size());
}

Status deleteTimetable(TableDatabase& db, const std::string& name, const std::string& today) {
    if (name == kDefaultTimetable) return defaultStays();
    const std::string folder = tableFolder(db);
    std::string file;
    Status changed = changeIndex(db, [&](TimetableIndex& index) {
        auto it = std::find_if(index.timetables.begin(), index.timetables.end(),
                               [&](const auto& t) { return t.name == name; });
        if (it == index.timetables.end()) return notATimetable(name);
        if (std::find(index.rotation.begin(), index.rotation.end(), name) != index.rotation.end())
            return Status::invalidArgument(
                fillIn(uiText("Timetable", "作息表“%1”在按周轮换中：请先从轮换中去掉它"), {name}));
        for (const auto& [date, named] : index.days)
            if (named == name && date >= today)
                return Status::invalidArgument(
                    fillIn(uiText("Timetable", "校历的 %1 按作息表“%2”响铃：请先改掉那一天"),
                           {date, name}));
        // Days gone by that named it go with it.
        std::erase_if(index.days, [&](const auto& day) { return day.second == name; });
        file = it->file;
        index.timetables.erase(it);
        return Status::ok();
    });
    if (!changed.isOk()) return changed;
    // No index names the table any more; it is kept aside rather than removed, the bells with it.
    const std::string path = joinPath(folder, file);
    if (db.fileSystem().exists(path)) db.fileSystem().replace(path, path + ".deleted");
    return Status::ok();
}

Status setTimetableSeason(TableDatabase& db, const std::string& name,
                          const std::optional<Season>& season) {
    if (name == kDefaultTimetable) return defaultStays();
    return changeIndex(db, [&](TimetableIndex& index) {
        auto it = std::find_if(index.timetables.begin(), index.timetables.end(),
                               [&](const auto& t) { return t.name == name; });
        if (it == index.timetables.end()) return notATimetable(name);
        if (season) {
            TimetablePlan plan;
            for (const auto& t : index.timetables) plan.timetables.push_back({t.name, t.season});
            if (std::string overlap = seasonOverlap(plan, name, *season); !overlap.empty())
                return Status::invalidArgument(overlap);
        }
        it->season = season;
        return Status::ok();
    });
}

Status setTimetableRotation(TableDatabase& db, const std::vector<std::string>& names,
                            const std::string& start) {
    if (!names.empty() && names.size() < 2)
        return Status::invalidArgument(uiText("Timetable", "按周轮换至少要有两个作息表"));
    if (!names.empty() && !parseDate(start))
        return Status::invalidArgument(fillIn(uiText("Calendar", "没有这一天：%1"), {start}));
    return changeIndex(db, [&](TimetableIndex& index) {
        for (const std::string& name : names)
            if (name != kDefaultTimetable && !index.find(name)) return notATimetable(name);
        index.rotation = names;
        index.rotationStart = names.empty() ? std::string() : start;
        return Status::ok();
    });
}

Status setCalendarTimetable(TableDatabase& db, const std::string& from, const std::string& to,
                            const std::string& name) {
    auto dates = datesFromTo(from, to);
    if (!dates.isOk()) return dates.status();
    // A school without a second timetable needs no index for days that follow the rule.
    if (name.empty() && !db.hasTable(kTimetableAlias) &&
        !db.fileSystem().exists(joinPath(tableFolder(db), kTimetableFile)))
        return Status::ok();
    return changeIndex(db, [&](TimetableIndex& index) {
        if (!name.empty() && name != kDefaultTimetable && !index.find(name))
            return notATimetable(name);
        for (const std::string& date : dates.value())
            if (name.empty())
                index.days.erase(date);
            else
                index.days[date] = name;
        return Status::ok();
    });
}

Status setCalendarTimetableDays(TableDatabase& db, const std::string& from, const std::string& to,
                                const std::string& name, int ringDay, const std::string& note) {
    auto dates = datesFromTo(from, to);
    if (!dates.isOk()) return dates.status();
    if (Status s = checkCalendarEntry({dates.value().front(), ringDay, note}); !s.isOk()) return s;
    if (ringDay == kNoBells)
        return Status::invalidArgument(
            uiText("Calendar", "按作息表的日子要按周一到周日中的一天响铃"));
    if (name.empty() || (name != kDefaultTimetable && !readTimetableIndex(db).find(name)))
        return notATimetable(name);
    if (Status s = setCalendarTimetable(db, from, to, name); !s.isOk()) return s;
    return setCalendarDays(db, from, to, ringDay, note);
}

std::map<std::string, std::string> calendarTimetables(TableDatabase& db, const std::string& from,
                                                      const std::string& to) {
    std::map<std::string, std::string> days;
    for (const auto& [date, name] : readTimetableIndex(db).days)
        if ((from.empty() || date >= from) && (to.empty() || date <= to)) days[date] = name;
    return days;
}

std::string timetableShownName(const std::string& name) {
    return name == kDefaultTimetable ? uiText("Timetable", "常规作息") : name;
}

std::string timetableDayText(const std::string& name, int ringDay) {
    const std::string day = fillIn(uiText("Timetable", "按作息表 %1"), {timetableShownName(name)});
    if (ringDay < 1 || ringDay > 7) return day;
    return fillIn(uiText("Timetable", "%1（%2）"), {day, ringDayText(ringDay)});
}

std::string timetableReason(const TimetablePlan& plan, const DaysTimetable& day) {
    switch (day.why) {
        case DaysTimetable::Why::kCalendarDay:
            return uiText("Timetable", "校历指定");
        case DaysTimetable::Why::kSeason:
            for (const auto& t : plan.timetables)
                if (t.name == day.name && t.season) return seasonShownText(*t.season);
            return {};
        case DaysTimetable::Why::kRotation:
            return uiText("Timetable", "按周轮换");
        case DaysTimetable::Why::kDefault:
            break;
    }
    return uiText("Timetable", "默认");
}

std::string timetableRuleText(const TimetableIndex& index, const std::string& name) {
    std::string rule;
    if (const auto* t = index.find(name); t && t->season) rule = seasonShownText(*t->season);
    const auto also = [&rule](const std::string& more) {
        if (!rule.empty()) rule += uiText("Timetable", "；");
        rule += more;
    };
    if (std::find(index.rotation.begin(), index.rotation.end(), name) != index.rotation.end())
        also(fillIn(uiText("Timetable", "按周轮换（自 %1）"), {index.rotationStart}));
    const auto days = std::count_if(index.days.begin(), index.days.end(),
                                    [&](const auto& day) { return day.second == name; });
    if (days > 0) also(fillIn(uiText("Timetable", "校历指定 %1 天"), {std::to_string(days)}));
    return rule;
}

std::vector<std::string> typedNames(std::string_view list) {
    static constexpr std::string_view kSeparators[] = {"，", "、", "\u3000", ",", " ", "\t"};
    std::vector<std::string> names{""};
    while (!list.empty()) {
        const auto separator =
            std::find_if(std::begin(kSeparators), std::end(kSeparators),
                         [&](std::string_view s) { return list.starts_with(s); });
        if (separator == std::end(kSeparators)) {
            names.back() += list.front();
            list.remove_prefix(1);
            continue;
        }
        if (!names.back().empty()) names.emplace_back();
        list.remove_prefix(separator->size());
    }
    if (names.back().empty()) names.pop_back();
    return names;
}

}  // namespace tolvane
