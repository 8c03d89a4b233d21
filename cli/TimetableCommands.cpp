// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TimetableCommands.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

#include "base/Clock.h"
#include "base/PathText.h"
#include "base/UiText.h"
#include "cli/ScheduleCommands.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/TimetableMaking.h"
#include "schedule/core/Timetables.h"
#include "settings/core/ProgramOptions.h"
#ifdef TOLVANE_HAVE_CSV
#include "schedule/csv/TimetableCsv.h"
#endif

namespace tolvane::cli {

namespace {

constexpr char kUsage[] =
    "usage: tolvanectl timetable DIR                     the timetables: name, bells, rule\n"
    "       tolvanectl timetable DIR add NAME [--copy OTHER]\n"
    "       tolvanectl timetable DIR rename OLD NEW\n"
    "       tolvanectl timetable DIR delete NAME [--yes]  (--yes: also when it holds bells)\n"
    "       tolvanectl timetable DIR season NAME --from MM-DD --to MM-DD | --none\n"
    "       tolvanectl timetable DIR rotate NAME,NAME[,…] --from YYYY-MM-DD | rotate --none\n"
    "       tolvanectl timetable DIR generate NAME --first HH:MM --lesson MIN --break MIN\n"
    "                --morning N [--afternoon-first HH:MM --afternoon N] [--long-break AFTER:MIN]\n"
    "                --music-start FILE --music-end FILE [--exam MIN] [--replace]\n"
    "                (--exam: 考试提醒, each lesson an exam whose bells speak at its start, MIN\n"
    "                minutes before its end and at its end)\n"
    "       tolvanectl timetable DIR import NAME FILE.csv [--replace]\n"
    "       tolvanectl timetable DIR export NAME     (CSV: 开始时间,结束时间,音乐,星期)\n";

int usageError(std::ostream& err) {
    err << kUsage;
    return 2;
}

int failed(std::ostream& err, const Status& s) {
    err << "tolvanectl: " << s.message() << "\n";
    return 1;
}

// "--name value" pairs and flags after the positional words.
struct Words {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    bool ok = true;
    bool has(const std::string& name) const { return options.count(name) > 0; }
    std::string operator[](const std::string& name) const {
        auto it = options.find(name);
        return it == options.end() ? std::string() : it->second;
    }
};
Words splitWords(const std::vector<std::string>& args, size_t first) {
    static const char* const kFlags[] = {"--none", "--yes", "--replace"};
    Words w;
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            w.positional.push_back(a);
        } else if (std::find(std::begin(kFlags), std::end(kFlags), a) != std::end(kFlags)) {
            w.options[a] = "";
        } else if (i + 1 < args.size()) {
            w.options[a] = args[++i];
        } else {
            w.ok = false;
        }
    }
    return w;
}

// Today by the school's clock (the system's with the folder's clock offset), as the ringer has it.
LocalTime schoolNow(const std::string& dir) {
    const SystemClock system;
    OffsetClock school(system);
    if (auto options = readProgramOptions(*FileSystem::platform(), dir); options.isOk())
        school.setOffsetSeconds(options.value().clockOffsetSeconds);
    return school.toLocal(school.nowMs() / 1000);
}

int listTimetables(TableDatabase& db, const std::string& dir, std::ostream& out) {
    const TimetableIndex index = readTimetableIndex(db);
    const TimetablePlan plan = timetablePlan(db);
    const DaysTimetable now = timetableOn(plan, schoolNow(dir));
    for (const std::string& name : timetableNames(db)) {
        auto bells = timetableBellCount(db, name);
        std::string rule = timetableRuleText(index, name);
        if (rule.empty() && name == kDefaultTimetable) rule = uiText("Timetable", "默认");
        out << name << "\t" << (bells.isOk() ? std::to_string(bells.value()) : "?") << "\t" << rule;
        if (name == now.name) out << "\t" << uiText("Timetable", "今天");
        out << "\n";
    }
    return 0;
}

// The bells go into an empty timetable, or replace its bells when the user says so.
int putBells(TableDatabase& db, const std::string& name, std::vector<BellRecord> bells,
             bool replace, std::ostream& out, std::ostream& err) {
    auto alias = bellTableFor(db, name);
    if (!alias.isOk()) return failed(err, alias.status());
    auto held = timetableBellCount(db, name);
    if (!held.isOk()) return failed(err, held.status());
    if (held.value() > 0 && !replace) {
        err << "tolvanectl: "
            << fillIn(uiText("Timetable",
                             "作息表“%1”已有 %2 个铃声：加上 --replace 用新的铃声替换它们"),
                      {name, std::to_string(held.value())})
            << "\n";
        return 1;
    }
    const size_t count = bells.size();
    if (Status s = replaceTimetableBells(db, alias.value(), std::move(bells)); !s.isOk())
        return failed(err, s);
    out << fillIn(uiText("Timetable", "作息表“%1”现在有 %2 个铃声"), {name, std::to_string(count)})
        << "\n";
    return 0;
}

Result<int> number(const std::string& text) {
    try {
        size_t used = 0;
        const int n = std::stoi(text, &used);
        if (used == text.size()) return n;
    } catch (const std::exception&) {
    }
    return Status::invalidArgument("not a whole number: \"" + text + "\"");
}

int generate(TableDatabase& db, const Words& w, std::ostream& out, std::ostream& err) {
    for (const char* needed :
         {"--first", "--lesson", "--break", "--morning", "--music-start", "--music-end"})
        if (!w.has(needed)) return usageError(err);
    TimetableRecipe recipe;
    recipe.first = w["--first"];
    recipe.afternoonFirst = w["--afternoon-first"];
    recipe.musicStart = w["--music-start"];
    recipe.musicEnd = w["--music-end"];
    std::string longBreak = w["--long-break"];
    if (const size_t colon = longBreak.find(':'); !longBreak.empty()) {
        if (colon == std::string::npos) return usageError(err);
        auto after = number(longBreak.substr(0, colon)),
             minutes = number(longBreak.substr(colon + 1));
        if (!after.isOk() || !minutes.isOk()) return usageError(err);
        recipe.longBreakAfter = after.value();
        recipe.longBreakMinutes = minutes.value();
    }
    for (const auto& [option, field] : {std::pair{"--lesson", &recipe.lessonMinutes},
                                        {"--break", &recipe.breakMinutes},
                                        {"--morning", &recipe.morningLessons},
                                        {"--afternoon", &recipe.afternoonLessons}}) {
        if (!w.has(option)) continue;
        auto n = number(w[option]);
        if (!n.isOk()) return failed(err, n.status());
        *field = n.value();
    }
    if (w.has("--exam")) {
        auto minutes = number(w["--exam"]);
        if (!minutes.isOk()) return failed(err, minutes.status());
        recipe.exam = examReminder(minutes.value());
    }
    auto bells = generateBells(recipe);
    if (!bells.isOk()) return failed(err, bells.status());
    return putBells(db, w.positional[1], std::move(bells).value(), w.has("--replace"), out, err);
}

int importCsv(TableDatabase& db, const Words& w, std::ostream& out, std::ostream& err) {
#ifdef TOLVANE_HAVE_CSV
    std::ifstream in(pathFromUtf8(w.positional[2]), std::ios::binary);
    if (!in) {
        err << "tolvanectl: cannot read " << w.positional[2] << "\n";
        return 1;
    }
    std::stringstream bytes;
    bytes << in.rdbuf();
    auto bells = parseTimetableCsv(bytes.str());
    if (!bells.isOk()) return failed(err, bells.status().about(w.positional[2]));
    return putBells(db, w.positional[1], std::move(bells).value(), w.has("--replace"), out, err);
#else
    (void)db, (void)w, (void)out;
    err << "tolvanectl: this build cannot read CSV (it is built without libcsv)\n";
    return 1;
#endif
}

int exportCsv(TableDatabase& db, const std::string& name, std::ostream& out, std::ostream& err) {
#ifdef TOLVANE_HAVE_CSV
    auto alias = bellTableFor(db, name);
    if (!alias.isOk()) return failed(err, alias.status());
    auto bells = readBells(db, alias.value());
    if (!bells.isOk()) return failed(err, bells.status());
    std::sort(bells.value().begin(), bells.value().end(),
              [](const BellRecord& a, const BellRecord& b) { return a.sortValue < b.sortValue; });
    out << timetableCsv(bells.value());
    return 0;
#else
    (void)db, (void)name, (void)out;
    err << "tolvanectl: this build cannot write CSV (it is built without libcsv)\n";
    return 1;
#endif
}

int deleteOne(TableDatabase& db, const std::string& dir, const Words& w, std::ostream& err) {
    const std::string& name = w.positional[1];
    auto held = timetableBellCount(db, name);
    if (!held.isOk()) return failed(err, held.status());
    if (held.value() > 0 && !w.has("--yes")) {
        err << "tolvanectl: "
            << fillIn(uiText("Timetable", "作息表“%1”有 %2 个铃声：加上 --yes 才删除它"),
                      {name, std::to_string(held.value())})
            << "\n";
        return 1;
    }
    if (Status s = deleteTimetable(db, name, dateText(schoolNow(dir))); !s.isOk())
        return failed(err, s);
    return 0;
}

int seasonOf(TableDatabase& db, const Words& w, std::ostream& err) {
    if (w.has("--none")) {
        if (w.has("--from") || w.has("--to")) return usageError(err);
        if (Status s = setTimetableSeason(db, w.positional[1], std::nullopt); !s.isOk())
            return failed(err, s);
        return 0;
    }
    if (!w.has("--from") || !w.has("--to")) return usageError(err);
    auto season = parseSeason(w["--from"], w["--to"]);
    if (!season.isOk()) return failed(err, season.status());
    if (Status s = setTimetableSeason(db, w.positional[1], season.value()); !s.isOk())
        return failed(err, s);
    return 0;
}

int rotate(TableDatabase& db, const Words& w, std::ostream& err) {
    Status s = Status::ok();
    if (w.has("--none") && w.positional.size() == 1 && !w.has("--from"))
        s = setTimetableRotation(db, {}, "");
    else if (!w.has("--none") && w.positional.size() == 2 && w.has("--from"))
        s = setTimetableRotation(db, typedNames(w.positional[1]), w["--from"]);
    else
        return usageError(err);
    return s.isOk() ? 0 : failed(err, s);
}

}  // namespace

int timetableCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << kUsage;
        return 0;
    }
    if (args.empty()) return usageError(err);
    const Words w = splitWords(args, 1);
    if (!w.ok) return usageError(err);
    TableDatabase db;
    if (w.positional.empty() && w.options.empty()) {
        if (Status s = openTablesForReading(db, args[0]); !s.isOk()) return failed(err, s);
        return listTimetables(db, args[0], out);
    }
    const std::string verb = w.positional.empty() ? "" : w.positional[0];
    const size_t words = w.positional.size();
    const auto takes = [&](size_t positional, std::initializer_list<const char*> allowed) {
        if (words != positional) return false;
        for (const auto& [name, value] : w.options)
            if (std::find_if(allowed.begin(), allowed.end(),
                             [&](const char* a) { return name == a; }) == allowed.end())
                return false;
        return true;
    };
    if (verb == "export" && takes(2, {})) {
        if (Status s = openTablesForReading(db, args[0]); !s.isOk()) return failed(err, s);
        return exportCsv(db, w.positional[1], out, err);
    }
    const bool known =
        (verb == "add" && takes(2, {"--copy"})) || (verb == "rename" && takes(3, {})) ||
        (verb == "delete" && takes(2, {"--yes"})) ||
        (verb == "season" && takes(2, {"--from", "--to", "--none"})) ||
        (verb == "rotate" && (takes(1, {"--none"}) || takes(2, {"--from"}))) ||
        (verb == "generate" && takes(2, {"--first", "--lesson", "--break", "--morning",
                                         "--afternoon-first", "--afternoon", "--long-break",
                                         "--music-start", "--music-end", "--exam", "--replace"})) ||
        (verb == "import" && takes(3, {"--replace"}));
    if (!known) return usageError(err);
    if (!openTables(db, args[0], err)) return 1;
    Status s = Status::ok();
    if (verb == "add") s = addTimetable(db, w.positional[1], w["--copy"]);
    if (verb == "rename") s = renameTimetable(db, w.positional[1], w.positional[2]);
    if (verb == "delete") return deleteOne(db, args[0], w, err);
    if (verb == "season") return seasonOf(db, w, err);
    if (verb == "rotate") return rotate(db, w, err);
    if (verb == "generate") return generate(db, w, out, err);
    if (verb == "import") return importCsv(db, w, out, err);
    return s.isOk() ? 0 : failed(err, s);
}

}  // namespace tolvane::cli
