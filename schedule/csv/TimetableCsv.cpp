// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/csv/TimetableCsv.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <optional>

#include "base/UiText.h"
#include "platform/TextCodec.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/TimetableMaking.h"

namespace tolvane {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::array<std::string_view, 7> kDayNames = {"一", "二", "三", "四", "五", "六", "日"};

std::string quoted(const std::string& field) {
    std::string out(field.size() * 2 + 2, '\0');
    out.resize(csv_write(out.data(), out.size(), field.data(), field.size()));
    return out;
}

// One day of the week as a spreadsheet writes it: 周一, 一, 星期一, 1 (周日 also 周天, 7).
std::optional<size_t> dayIndex(std::string token) {
    for (std::string_view prefix : {"星期", "周"})
        if (token.rfind(prefix, 0) == 0) token.erase(0, prefix.size());
    if (token == "天") token = "日";
    for (size_t i = 0; i < kDayNames.size(); ++i)
        if (token == kDayNames[i] || token == std::to_string(i + 1)) return i;
    return std::nullopt;
}

// "周一 周二 周五", "周一至周五", "1-5", "每天": the days ticked; nullopt for words it is not.
std::optional<std::array<bool, 7>> parseDays(const std::string& written) {
    std::array<bool, 7> days{};
    // Each separator a spreadsheet may hold becomes a space.
    std::string text;
    for (size_t i = 0; i < written.size();) {
        size_t separator = 0;
        for (std::string_view s : {"、", "，", ",", "/", ";", "；"})
            if (written.compare(i, s.size(), s) == 0) separator = s.size();
        text += separator ? ' ' : written[i];
        i += separator ? separator : 1;
    }
    size_t from = 0;
    while (from < text.size()) {
        const size_t space = text.find(' ', from);
        const std::string token = text.substr(from, space - from);
        from = space == std::string::npos ? text.size() : space + 1;
        if (token.empty()) continue;
        if (token == "每天") {
            days.fill(true);
            continue;
        }
        size_t dash = token.find("至"), dashLength = 3;
        if (dash == std::string::npos) dash = token.find('-'), dashLength = 1;
        if (dash != std::string::npos) {
            const auto a = dayIndex(token.substr(0, dash)),
                       b = dayIndex(token.substr(dash + dashLength));
            if (!a || !b || *b < *a) return std::nullopt;
            for (size_t d = *a; d <= *b; ++d) days[d] = true;
            continue;
        }
        const auto day = dayIndex(token);
        if (!day) return std::nullopt;
        days[*day] = true;
    }
    return days;
}

std::string trimmed(std::string text) {
    const auto isSpace = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isSpace(static_cast<unsigned char>(text.back()))) text.pop_back();
    size_t lead = 0;
    while (lead < text.size() && isSpace(static_cast<unsigned char>(text[lead]))) ++lead;
    return text.substr(lead);
}

struct Rows {
    std::vector<std::vector<std::string>> rows{{}};
    static void field(void* bytes, size_t length, void* self) {
        static_cast<Rows*>(self)->rows.back().emplace_back(static_cast<const char*>(bytes), length);
    }
    static void rowEnd(int, void* self) { static_cast<Rows*>(self)->rows.emplace_back(); }
};

Result<std::vector<std::vector<std::string>>> splitRows(std::string_view text) {
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return Status::ioError("cannot start the CSV reader");
    Rows rows;
    const size_t read =
        csv_parse(&parser, text.data(), text.size(), Rows::field, Rows::rowEnd, &rows);
    const bool whole =
        read == text.size() && csv_fini(&parser, Rows::field, Rows::rowEnd, &rows) == 0;
    const std::string why = whole ? "" : csv_strerror(csv_error(&parser));
    csv_free(&parser);
    rows.rows.pop_back();  // the one begun after the last row's end
    if (!whole)
        return Status::invalidArgument(fillIn(uiText("TimetableCsv", "第 %1 行：%2"),
                                              {std::to_string(rows.rows.size() + 1), why}));
    return std::move(rows.rows);
}

Result<BellRecord> bellOfRow(const std::vector<std::string>& row) {
    if (row.size() < 4)
        return Status::invalidArgument(
            uiText("TimetableCsv", "要有四列：开始时间,结束时间,音乐,星期"));
    BellForm form;
    form.start = timeOfDayPieces(trimmed(row[0]));
    const std::string end = trimmed(row[1]);
    form.hasEnd = !end.empty();
    if (form.hasEnd) form.end = timeOfDayPieces(end);
    form.music = trimmed(row[2]);
    const auto days = parseDays(trimmed(row[3]));
    if (!days)
        return Status::invalidArgument(fillIn(
            uiText("TimetableCsv", "星期“%1”看不懂：请写 周一 周二 …，或 周一至周五"), {row[3]}));
    form.weekdays = *days;
    if (row.size() > 4) {
        const std::string words = trimmed(row[4]);
        form.speech = SpokenText{!words.empty(), words};
    }
    return bellOfForm(form);
}

}  // namespace

std::string timetableCsv(const std::vector<BellRecord>& bells) {
    const bool speaks = std::any_of(bells.begin(), bells.end(),
                                    [](const BellRecord& b) { return !b.spoken().empty(); });
    std::string text = std::string(kByteOrderMark) + kTimetableCsvHeader;
    if (speaks) (text += ',') += kTimetableCsvSpeechColumn;
    text += "\r\n";
    for (const BellRecord& bell : bells) {
        std::string days = weekdayText(bell.weekdays);
        if (!days.empty()) days.pop_back();  // its trailing space
        text += quoted(bell.start) + "," + quoted(bell.end) + "," + quoted(bell.music) + "," +
                quoted(days);
        if (speaks) (text += ',') += quoted(bell.spoken());
        text += "\r\n";
    }
    return text;
}

Result<std::vector<BellRecord>> parseTimetableCsv(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    const std::string text = isValidUtf8(bytes) ? std::string(bytes) : gbkToUtf8(bytes);
    auto rows = splitRows(text);
    if (!rows.isOk()) return rows.status();
    const auto& all = rows.value();
    std::string header;
    for (const std::string& field : all.empty() ? std::vector<std::string>{} : all.front()) {
        // Appended in two steps: GCC 12 sees an overlap in "," + std::string at -O3 (a false one).
        if (!header.empty()) header += ',';
        header += trimmed(field);
    }
    std::string withSpeech = kTimetableCsvHeader;
    (withSpeech += ',') += kTimetableCsvSpeechColumn;
    if (header != kTimetableCsvHeader && header != withSpeech)
        return Status::invalidArgument(
            fillIn(uiText("TimetableCsv", "第 1 行应是表头：%1"), {kTimetableCsvHeader}));
    std::vector<BellRecord> bells;
    for (size_t i = 1; i < all.size(); ++i) {
        auto bell = bellOfRow(all[i]);
        if (!bell.isOk())
            return Status::invalidArgument(
                fillIn(uiText("TimetableCsv", "第 %1 行：%2"),
                       {std::to_string(i + 1), bell.status().message()}));
        bells.push_back(std::move(bell).value());
    }
    if (std::string clash = bellsClash(bells); !clash.empty())
        return Status::invalidArgument(clash);
    return bells;
}

}  // namespace tolvane
