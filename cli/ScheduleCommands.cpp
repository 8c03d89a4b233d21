// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ScheduleCommands.h"

#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>

#include "base/PathText.h"
#include "base/UiText.h"
#include "bells/core/MusicCheck.h"
#include "cli/Json.h"
#include "cli/SpeechCommands.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/ScheduleList.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"

namespace tolvane::cli {

namespace {

// The options after the positional words, as --name value (or --flag alone).
struct Options {
    std::map<std::string, std::string> values;
    bool ok = true;
};
Options parseOptions(const std::vector<std::string>& args, size_t first,
                     const std::vector<std::string>& withValue,
                     const std::vector<std::string>& flags) {
    Options o;
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
            o.values[a] = "";
        } else if (std::find(withValue.begin(), withValue.end(), a) != withValue.end() &&
                   i + 1 < args.size()) {
            o.values[a] = args[++i];
        } else {
            o.ok = false;
        }
    }
    return o;
}

// A time of the command line as the form's pieces; false for text that is no time at all (the
// usage is shown). A time out of range is the form's to refuse, saying why.
bool splitTime(const std::string& text, std::array<std::string, 3>* pieces) {
    *pieces = timeOfDayPieces(text);
    return text.find(':') != std::string::npos;
}

// "周一,周三", "mon,wed" or "none".
bool parseDays(const std::string& list, std::array<bool, 7>* days) {
    static const char* const kShort[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    days->fill(false);
    if (list == "none") return true;
    std::stringstream in(list);
    for (std::string word; std::getline(in, word, ',');) {
        bool known = false;
        for (size_t d = 0; d < 7; ++d)
            if (word == schema::kWeekdays[d] || word == kShort[d]) (*days)[d] = known = true;
        if (!known) return false;
    }
    return true;
}

int report(const FlowResult& r, std::ostream& out, std::ostream& err) {
    if (r.message) out << r.message->caption << ": " << r.message->text << "\n";
    if (!r.why.empty()) err << "tolvanectl: " << r.why << "\n";
    return r.changed ? 0 : 1;
}

std::function<std::string(const std::string&)>& musicFileJudge() {
    static std::function<std::string(const std::string&)> judge =
        [](const std::string& file) -> std::string {
        std::error_code error;
        return std::filesystem::is_regular_file(pathFromUtf8(file), error)
                   ? ""
                   : UI_TEXT_NOOP("MusicCheck", "文件不存在");
    };
    return judge;
}

// The bell is stored either way: the music may be put in place later, or live on another
// computer that rings the same schedule. But this one would ring silence, and is told so now.
void warnWhenMusicWillNotPlay(const std::string& music, std::ostream& err) {
    // In the desktop's language, as the windows would say it.
    if (const std::string why = musicUnplayableHere(music); !why.empty())
        err << "tolvanectl: " << uiText("tolvanectl", "警告：")
            << unplayableSaid({{"", music}, why}) << "\n";
}

int usageError(std::ostream& err, const char* usage) {
    err << "usage: tolvanectl " << usage << "\n";
    return 2;
}

const char kAddUsage[] =
    "add DIR --start H:M:S [--end H:M:S] --music PATH [--days LIST] [--say TEXT]\n"
    "       [--timetable NAME]";
const char kChangeUsage[] =
    "change DIR OLD_START [--start H:M:S] [--end H:M:S | --no-end] [--music PATH] [--days LIST]\n"
    "       [--say TEXT | --no-say] [--timetable NAME]";

int failed(std::ostream& err, const Status& s) {
    err << "tolvanectl: " << s.message() << "\n";
    return 1;
}

// The bell table of the 作息表 --timetable names; the default one without it.
Result<std::string> tableOf(TableDatabase& db, const Options& o) {
    auto it = o.values.find("--timetable");
    return it == o.values.end() ? Result<std::string>(std::string(schema::kBellAlias))
                                : bellTableFor(db, it->second);
}

// Applies the given options onto form; false for a malformed one.
bool applyOptions(const Options& o, BellForm* form) {
    auto it = o.values.find("--start");
    if (it != o.values.end() && !splitTime(it->second, &form->start)) return false;
    if ((it = o.values.find("--end")) != o.values.end()) {
        if (!splitTime(it->second, &form->end)) return false;
        form->hasEnd = true;
    }
    if (o.values.count("--no-end")) form->hasEnd = false;
    if ((it = o.values.find("--music")) != o.values.end()) form->music = it->second;
    if ((it = o.values.find("--days")) != o.values.end() && !parseDays(it->second, &form->weekdays))
        return false;
    if ((it = o.values.find("--say")) != o.values.end())
        form->speech = SpokenText{true, it->second};
    if (o.values.count("--no-say")) form->speech = SpokenText{};
    return true;
}

// The words of a bell just written, made now rather than by the ringer a moment later.
void makeWrittenSpeech(TableDatabase& db, const std::string& dir, const BellForm& form,
                       std::ostream& err) {
    if (form.speech && form.speech->speaks) makeBellSpeech(db, dir, form.speech->text, err);
}

}  // namespace

bool openTables(TableDatabase& db, const std::string& dir, std::ostream& err) {
    const OpenedTables opened = openOrCreateTables(db, dir);
    for (const std::string& moved : opened.setAside)
        err << "tolvanectl: a damaged table was kept as " << moved << "\n";
    if (opened.usable()) return true;
    for (const std::string& e : opened.errors) err << "tolvanectl: " << e << "\n";
    return false;
}

int listCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Options o = parseOptions(args, 1, {"--timetable"}, {"--json"});
    if (args.empty() || !o.ok) return usageError(err, "list DIR [--json] [--timetable NAME]");
    TableDatabase db;
    if (Status s = openTablesForReading(db, args[0]); !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    auto table = tableOf(db, o);
    if (!table.isOk()) return failed(err, table.status());
    auto rows = readScheduleRows(db, table.value());
    if (!rows.isOk()) {
        err << "tolvanectl: " << args[0] << ": " << rows.status().message() << "\n";
        return 1;
    }
    std::vector<double> keys;
    for (const ScheduleRow& r : rows.value()) keys.push_back(listSortKey(r[kScheduleColumns]));
    const std::vector<size_t> order = listSortOrder(keys);
    const bool json = o.values.count("--json") > 0;
    if (json) out << "[";
    for (size_t i = 0; i < order.size(); ++i) {
        const ScheduleRow& r = rows.value()[order[i]];
        if (json) {
            out << (i ? ", " : "") << "{\"start\": " << jsonString(r[0])
                << ", \"end\": " << jsonString(r[1]) << ", \"music\": " << jsonString(r[2])
                << ", \"days\": [";
            bool first = true;
            for (size_t d = 0; d < 7; ++d)
                if (r[3 + d] == kMarkerOn)
                    out << (first ? "" : ", ") << jsonString(schema::kWeekdays[d]), first = false;
            out << "]}";
        } else {
            out << r[0] << "\t" << (r[1].empty() ? "-" : r[1]) << "\t";
            for (size_t d = 0; d < 7; ++d) out << r[3 + d];
            out << "\t" << r[2] << "\n";
        }
    }
    if (json) out << "]\n";
    return 0;
}

int addCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return usageError(err, kAddUsage);
    const Options o = parseOptions(
        args, 1, {"--start", "--end", "--music", "--days", "--say", "--timetable"}, {});
    BellForm form;
    form.weekdays = {true, true, true, true, true, false, false};
    if (!o.ok || !o.values.count("--start") || !applyOptions(o, &form))
        return usageError(err, kAddUsage);
    TableDatabase db;
    if (!openTables(db, args[0], err)) return 1;
    auto table = tableOf(db, o);
    if (!table.isOk()) return failed(err, table.status());
    const int status = report(addBell(db, form, table.value()), out, err);
    if (status == 0) warnWhenMusicWillNotPlay(form.music, err);
    if (status == 0) makeWrittenSpeech(db, args[0], form, err);
    return status;
}

int changeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 2) return usageError(err, kChangeUsage);
    const Options o =
        parseOptions(args, 2, {"--start", "--end", "--music", "--days", "--say", "--timetable"},
                     {"--no-end", "--no-say"});
    if (!o.ok || (o.values.count("--end") && o.values.count("--no-end")) ||
        (o.values.count("--say") && o.values.count("--no-say")))
        return usageError(err, kChangeUsage);
    TableDatabase db;
    if (!openTables(db, args[0], err)) return 1;
    auto table = tableOf(db, o);
    if (!table.isOk()) return failed(err, table.status());
    // What is not given keeps the bell's value, as the Change bell window pre-fills it.
    if (Status s = db.select(table.value()); !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    // The bell read here is the bell changed: no other program changes the table in between.
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) {
        err << "tolvanectl: " << lock.status().message() << "\n";
        return 1;
    }
    db.goFirst();
    const std::string& oldStart = args[1];
    if (!db.find([&] { return db.readText(schema::kStart).value() == oldStart; })) {
        err << "tolvanectl: no bell starts at " << oldStart << "\n";
        return 1;
    }
    auto bell = readBell(db);
    if (!bell.isOk()) {
        err << "tolvanectl: " << bell.status().message() << "\n";
        return 1;
    }
    BellForm form;
    splitTime(bell.value().start, &form.start);
    form.hasEnd = !bell.value().end.empty();
    if (form.hasEnd) splitTime(bell.value().end, &form.end);
    form.music = bell.value().music;
    form.weekdays = bell.value().weekdays;
    if (!applyOptions(o, &form)) return usageError(err, kChangeUsage);
    const int status = report(changeBell(db, oldStart, form, table.value()), out, err);
    if (status == 0) warnWhenMusicWillNotPlay(form.music, err);
    if (status == 0) makeWrittenSpeech(db, args[0], form, err);
    return status;
}

std::string musicUnplayableHere(const std::string& music) {
    for (const UnplayableMusic& u : findUnplayableMusic({{"", music}}, musicFileJudge()))
        return uiText("MusicCheck", u.why.c_str());
    return {};
}

void judgeMusicFilesWith(std::function<std::string(const std::string&)> fileUnplayableBecause) {
    musicFileJudge() = std::move(fileUnplayableBecause);
}

int deleteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Options o = parseOptions(args, 2, {"--timetable"}, {});
    if (args.size() < 2 || !o.ok) return usageError(err, "delete DIR START [--timetable NAME]");
    TableDatabase db;
    if (!openTables(db, args[0], err)) return 1;
    auto table = tableOf(db, o);
    if (!table.isOk()) return failed(err, table.status());
    if (auto refusal = readOnlyRefusal(db, table.value())) return report({refusal}, out, err);
    std::string why;
    if (deleteBell(db, args[1], &why, table.value())) return 0;
    err << "tolvanectl: " << why << "\n";
    return 1;
}

}  // namespace tolvane::cli
