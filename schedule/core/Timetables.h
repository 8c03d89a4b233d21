// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The school's 作息表 (timetables) as stored. The default one, 常规作息, is db.edb itself, so older
// copies of the program, which read only db.edb, ring it every day. Each further timetable is a
// table of db.edb's layout (zx1.edb, zx2.edb, …) named in a small index, zx.edb, with the rules
// that pick it: its season, the week rotation, and the school calendar's days that name it. The
// index exists only once a school has a second timetable. Layouts in docs/file-format.md.
//
// Every change to the index rewrites it whole under its write lock (a rename touches the
// timetable's record, the rotation and the calendar's days together), by rename: a crash leaves
// the old index or the new one.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "schedule/core/Schema.h"
#include "schedule/core/TimetableRule.h"
#include "storage/TableDatabase.h"

namespace tolvane {

namespace schema {
inline constexpr char kTimetableAlias[] = "作息表";
inline constexpr char kTimetableFile[] = "zx.edb";
inline constexpr char kKind[] = "类型";
inline constexpr char kName[] = "名称";
inline constexpr char kFile[] = "文件";
inline constexpr char kFrom[] = "开始";
inline constexpr char kTo[] = "结束";
// Bytes of GBK a timetable's name may take.
inline constexpr int kTimetableNameWidth = 40;
}  // namespace schema

std::vector<FieldDef> timetableIndexFields();

struct TimetableIndex {
    struct Entry {
        std::string name;
        std::string file;  // "zx1.edb", in the folder of db.edb
        std::optional<Season> season;
    };
    std::vector<Entry> timetables;  // the default (db.edb) is not among them
    std::vector<std::string> rotation;
    std::string rotationStart;                // YYYY-MM-DD
    std::map<std::string, std::string> days;  // date -> timetable
    // What of the index cannot be used, for a person to read: a timetable whose file is not a
    // table of the folder's own (a path elsewhere is never followed) is left out; a season or
    // rotation that is not one rings as if it were not there.
    std::vector<std::string> problems;

    const Entry* find(const std::string& name) const;
};

// The index as this database holds it; empty when the folder has none.
TimetableIndex readTimetableIndex(TableDatabase& db);

// The rule's view: the default and every timetable whose table is open, with their rules.
TimetablePlan timetablePlan(TableDatabase& db);

// The default first, then the others in the index's order.
std::vector<std::string> timetableNames(TableDatabase& db);

// The alias the bells of the timetable name are read under ("数据库" for the default); nullopt
// for a name that is not a timetable, or whose table could not be opened.
std::optional<std::string> bellTableOf(TableDatabase& db, const std::string& name);
// The same, or a NotFound naming it, for the commands.
Result<std::string> bellTableFor(TableDatabase& db, const std::string& name);

// Opens the index, when the folder of the bell table has one, and each timetable it names
// (a damaged table set aside and made anew, as db.edb is). Problems go into report.
void openTimetables(TableDatabase& db, OpenedTables* report);
void openTimetablesForReading(TableDatabase& db);
// Brings the open timetables in line with the index after it changed on disk (another program
// added or deleted one) and reads again those whose files changed; result's timetables when any
// did, and what could not be read into its damaged and errors.
void followTimetables(TableDatabase& db, ReloadedTables* result);

// Why name may not name a timetable (empty, too long, a comma, a taken name); empty when it may.
std::string timetableNameProblem(TableDatabase& db, const std::string& name);

// A new timetable: empty, or with the bells of copyOf.
Status addTimetable(TableDatabase& db, const std::string& name, const std::string& copyOf = {});
Status renameTimetable(TableDatabase& db, const std::string& from, const std::string& to);
// How many bells the timetable holds.
Result<int> timetableBellCount(TableDatabase& db, const std::string& name);
// Refused for the default and for a timetable the rotation or a calendar day from today on
// (YYYY-MM-DD) names. Its table's file is kept beside the others as "zxN.edb.deleted", so bells
// deleted by mistake can be got back.
Status deleteTimetable(TableDatabase& db, const std::string& name, const std::string& today);
// nullopt clears it. Refused for the default (it rings on every other day) and for a season that
// overlaps another's.
Status setTimetableSeason(TableDatabase& db, const std::string& name,
                          const std::optional<Season>& season);
// Timetable names as a person types a list of them: "夏季，冬季", "单周, 双周", "A、B" or "A B";
// each trimmed, empty ones left out.
std::vector<std::string> typedNames(std::string_view list);
// names empty clears the rotation.
Status setTimetableRotation(TableDatabase& db, const std::vector<std::string>& names,
                            const std::string& start);
// Each date from..to rings timetable name (empty: the day follows the rule again).
Status setCalendarTimetable(TableDatabase& db, const std::string& from, const std::string& to,
                            const std::string& name);

// Each date from..to rings timetable name as weekday ringDay (1..7, 周一..周日): that timetable's
// bells ticked for that weekday, so an exam timetable of 周一–周五 rings on a Saturday too. The
// index names the timetable and the calendar the weekday; both are checked before either is
// written.
Status setCalendarTimetableDays(TableDatabase& db, const std::string& from, const std::string& to,
                                const std::string& name, int ringDay, const std::string& note);
// The calendar's days from..to (either empty for open) that name a timetable.
std::map<std::string, std::string> calendarTimetables(TableDatabase& db, const std::string& from,
                                                      const std::string& to);
// "按作息表 考试", or with the weekday it rings as "按作息表 考试（按周一）": a calendar day's
// state in the reader's language.
std::string timetableDayText(const std::string& name, int ringDay = 0);
// A timetable's name as a reader sees it: the default's in the reader's language ("Regular
// (常规作息)"), every other as the school named it. Stored names never change.
std::string timetableShownName(const std::string& name);

// "夏季作息（05-01 至 09-30）", "单周（按周轮换）", "（校历指定）": why a timetable rings today, in
// the reader's language.
std::string timetableReason(const TimetablePlan& plan, const DaysTimetable& day);
// A timetable's rule as the list of timetables shows it: "05-01 至 09-30", "按周轮换", "".
std::string timetableRuleText(const TimetableIndex& index, const std::string& name);

}  // namespace tolvane
