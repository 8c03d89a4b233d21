// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/BellEditing.h"

#include <cctype>
#include <cstdio>

#include "base/UiText.h"
#include "platform/TextCodec.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

namespace {

FlowMessage info(std::string message) {
    return {infoCaption(), std::move(message)};
}

// A piece as a whole number within 0..max; nullopt otherwise.
std::optional<int> pieceValue(const std::string& piece, int max) {
    if (piece.empty() || piece.size() > 2) return std::nullopt;
    int v = 0;
    for (char c : piece) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
}

int secondsOf(const std::string& time) {
    return parseTimeOfDay(time).value_or(0);
}

bool findStart(TableDatabase& db, const std::string& start) {
    db.goFirst();
    return db.find([&] {
        if (!db.currentIsLive()) return false;
        auto t = db.readText(schema::kStart);
        return t.isOk() && t.value() == start;
    });
}

// The start and end texts as stored, or the message that stops the flow.
struct Times {
    std::string start, end;
};
std::optional<FlowMessage> readTimes(const BellForm& form, Times* times) {
    auto start = normaliseTime(form.start);
    if (!start)
        return info(uiText("BellEditing",
                           "开始时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！"));
    times->start = *start;
    times->end.clear();
    if (!form.hasEnd) return std::nullopt;
    auto end = normaliseTime(form.end);
    if (!end)
        return info(uiText("BellEditing",
                           "结束时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！"));
    times->end = *end;
    // Equal times are refused too: the bell would stop the moment it starts.
    if (secondsOf(times->start) >= secondsOf(times->end))
        return info(uiText("BellEditing", "你设置的结束时间比开始时间早，请重新设置！"));
    return std::nullopt;
}

// A path longer than the 音乐 field would be stored cut: a bell that never rings, or silences
// whatever plays. Refused instead, naming the field and its limit.
std::optional<FlowMessage> musicTooLong(const std::string& music) {
    auto gbk = utf8ToGbk(music);
    if (!gbk.isOk() || gbk.value().size() <= static_cast<size_t>(schema::kMusicWidth))
        return std::nullopt;
    return info(fillIn(
        uiText("BellEditing",
               "音乐文件的路径太长：“%1”最多%2字节，这个路径有%3字节。"
               "请把音乐放到路径较短的文件夹中，再选择一次！"),
        {schema::kMusic, std::to_string(schema::kMusicWidth), std::to_string(gbk.value().size())}));
}

std::optional<FlowMessage> musicUnstorable(const std::string& music) {
    const std::string reason = unstorableTextReason(music);
    if (reason.empty()) return std::nullopt;
    return info(fillIn(uiText("BellEditing", "音乐文件的路径不能保存：%1。请重新选择音乐文件！"),
                       {reason}));
}

std::optional<FlowMessage> speechRefused(const BellForm& form) {
    if (!form.speech) return std::nullopt;
    const std::string problem = speechProblem(*form.speech);
    if (problem.empty()) return std::nullopt;
    return info(problem);
}

BellRecord recordOf(const Times& times, const BellForm& form, const SpokenText& speech) {
    return BellRecord{times.start,   times.end,  form.music, form.weekdays, secondsOf(times.start),
                      speech.speaks, speech.text};
}

// What the bell at the current record says now.
SpokenText storedSpeech(const TableDatabase& db) {
    auto bell = readBell(db);
    if (!bell.isOk()) return {};
    return {bell.value().speaks, bell.value().speech};
}

}  // namespace

std::string speechProblem(const SpokenText& speech) {
    if (speech.speaks && speech.text.find_first_not_of(" \t\r\n") == std::string::npos)
        return uiText("BellEditing", "请填写语音提醒的文字！");
    if (const std::string reason = unstorableTextReason(speech.text); !reason.empty())
        return fillIn(uiText("BellEditing", "语音提醒的文字不能保存：%1。"), {reason});
    auto gbk = utf8ToGbk(speech.text);
    if (gbk.isOk() && gbk.value().size() > static_cast<size_t>(schema::kReminderTextWidth))
        return fillIn(
            uiText("BellEditing", "语音提醒的文字太长：“%1”最多%2字节，这段文字有%3字节。"),
            {schema::kReminderText, std::to_string(schema::kReminderTextWidth),
             std::to_string(gbk.value().size())});
    return {};
}

namespace {}  // namespace

Result<BellRecord> bellOfForm(const BellForm& form) {
    if (form.music.empty())
        return Status::invalidArgument(uiText("BellEditing", "请选择添加铃声的音乐文件！"));
    std::optional<FlowMessage> stop = musicUnstorable(form.music);
    if (!stop) stop = musicTooLong(form.music);
    Times times;
    if (!stop) stop = readTimes(form, &times);
    if (!stop) stop = speechRefused(form);
    if (stop) return Status::invalidArgument(stop->text);
    return recordOf(times, form, form.speech.value_or(SpokenText{}));
}

std::string shownText(const FlowResult& result) {
    if (!result.message) return {};
    return result.why.empty() ? result.message->text : result.message->text + "\n" + result.why;
}

std::string weekdayText(const std::array<bool, 7>& days) {
    std::string text;
    for (size_t i = 0; i < days.size(); ++i)
        if (days[i]) text += weekdayName(i) + " ";
    return text;
}

std::array<std::string, 3> timeOfDayPieces(std::string_view text) {
    std::array<std::string, 3> pieces{std::string(text), "", "00"};
    const size_t first = text.find(':');
    if (first == std::string_view::npos) return pieces;
    const size_t second = text.find(':', first + 1);
    pieces[0] = text.substr(0, first);
    pieces[1] = text.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    if (second != std::string_view::npos) pieces[2] = text.substr(second + 1);
    return pieces;
}

std::optional<std::string> normaliseTime(const std::array<std::string, 3>& pieces) {
    const int maxima[] = {23, 59, 59};
    std::string text;
    for (size_t i = 0; i < 3; ++i) {
        auto v = pieceValue(pieces[i], maxima[i]);
        if (!v) return std::nullopt;
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d", *v);
        if (i) text += ':';
        text += buf;
    }
    return text;
}

std::optional<FlowMessage> readOnlyRefusal(TableDatabase& db, const std::string& table) {
    if (!db.select(table).isOk() || db.canChange().isOk()) return std::nullopt;
    return info(fillIn(
        uiText("BellEditing", "不能修改铃声计划：文件 %1 只能读取（没有写入权限），铃声照常响起。"),
        {db.currentPath()}));
}

namespace {

// When a bell of table rings, after "铃声将会在": the weekdays and time for the default
// timetable; for another, also the timetable and the days it has, or that it has none yet.
std::string ringsWhen(TableDatabase& db, const std::string& table, const std::string& days,
                      const std::string& start) {
    if (table == schema::kBellAlias)
        return fillIn(uiText("BellEditing", "铃声将会在%1的%2响起！"), {days, start});
    std::string name;
    for (const std::string& n : timetableNames(db))
        if (bellTableOf(db, n) == table) name = n;
    const std::string rule = timetableRuleText(readTimetableIndex(db), name);
    if (rule.empty())
        return fillIn(uiText("BellEditing",
                             "铃声属于作息表“%1”，但还没有哪一天用这个作息表：在校历或作息表窗口"
                             "里给它日子，它才会在那些天%2的%3响起。"),
                      {name, days, start});
    return fillIn(uiText("BellEditing", "铃声将会在作息表“%1”的日子（%2）里，%3的%4响起！"),
                  {name, rule, days, start});
}

}  // namespace

FlowResult addBell(TableDatabase& db, const BellForm& form, const std::string& table) {
    if (auto refusal = readOnlyRefusal(db, table)) return {refusal};
    if (form.music.empty()) return {info(uiText("BellEditing", "请选择添加铃声的音乐文件！"))};
    if (auto stop = musicUnstorable(form.music)) return {stop};
    if (auto stop = musicTooLong(form.music)) return {stop};
    Times times;
    if (auto stop = readTimes(form, &times)) return {stop};
    if (auto stop = speechRefused(form)) return {stop};
    if (!db.select(table).isOk()) return {info(uiText("BellEditing", "添加铃声失败！"))};
    // From the check for a taken time to the append, no other program may add that time.
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk())
        return {info(uiText("BellEditing", "添加铃声失败！")), false, lock.status().message()};
    if (findStart(db, times.start))
        return {info(uiText("BellEditing", "对不起！这个时间点已经有铃声！"))};
    const BellRecord bell = recordOf(times, form, form.speech.value_or(SpokenText{}));
    if (Status s = db.append(bellValues(bell)); !s.isOk())
        return {info(uiText("BellEditing", "添加铃声失败！")), false, s.message()};
    // Records left marked deleted by an earlier purge that failed go now (the bell is saved
    // whether or not this works).
    if (db.hasDeletedRecords()) db.purge();
    const std::string days = weekdayText(form.weekdays);
    const std::string added = uiText("BellEditing", "添加铃声成功");
    if (days.empty())
        return {FlowMessage{added, uiText("BellEditing",
                                          "注意，添加铃声虽然添加成功！但还铃声不会响起，"
                                          "因为你没有选择每周哪一天响起！")},
                true};
    return {FlowMessage{added, uiText("BellEditing", "添加铃声成功！") +
                                   ringsWhen(db, table, days, times.start)},
            true};
}

FlowResult changeBell(TableDatabase& db, const std::string& oldStart, const BellForm& form,
                      const std::string& table) {
    if (auto refusal = readOnlyRefusal(db, table)) return {refusal};
    if (form.music.empty()) return {};
    if (auto stop = musicUnstorable(form.music)) return {stop};
    if (auto stop = musicTooLong(form.music)) return {stop};
    Times times;
    if (auto stop = readTimes(form, &times)) return {stop};
    if (auto stop = speechRefused(form)) return {stop};
    if (!db.select(table).isOk()) return {};
    const auto failed = [](const Status& why) {
        return FlowResult{
            FlowMessage{uiText("BellEditing", "失败"), uiText("BellEditing", "修改失败！")}, false,
            why.message()};
    };
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) return failed(lock.status());
    if (!findStart(db, oldStart)) return {};  // the bell is no longer in the table
    if (times.start != oldStart && findStart(db, times.start))
        return {info(uiText("BellEditing", "对不起！这个时间点已经有铃声！"))};
    findStart(db, oldStart);
    const BellRecord bell = recordOf(times, form, form.speech ? *form.speech : storedSpeech(db));
    // One step: the old record and the new one never both exist, and never neither.
    if (Status s = db.replaceCurrent(bellValues(bell)); !s.isOk()) return failed(s);
    const std::string days = weekdayText(form.weekdays);
    const std::string changed = uiText("BellEditing", "修改成功");
    if (days.empty())
        return {
            FlowMessage{changed,
                        uiText("BellEditing",
                               "修改成功！铃声暂时取消！但还保留在铃声计划中，方便下次的调用！")},
            true};
    return {FlowMessage{changed, uiText("BellEditing", "修改成功！") +
                                     ringsWhen(db, table, days, times.start)},
            true};
}

bool deleteBell(TableDatabase& db, const std::string& start, std::string* why,
                const std::string& table) {
    const auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    if (Status s = db.select(table); !s.isOk()) return fail(s.message());
    TableDatabase::WriteLock lock(db);
    if (!lock.status().isOk()) return fail(lock.status().message());
    if (!findStart(db, start)) return fail("no bell starts at " + start);
    if (Status s = db.deleteCurrent(); !s.isOk()) return fail(s.message());
    // Marked deleted, the bell rings nowhere any more; a purge that fails now (a full disk) is
    // made by the next change.
    db.purge();
    return true;
}

}  // namespace tolvane
