#include "ShellRules.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ClockTick.h"
#include "PathText.h"
#include "Schema.h"
#include "TextCodec.h"

namespace tolvane {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// The integer at the start of text after blanks and an optional sign; 0 when there is none.
long leadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        v = std::min(v * 10 + (text[i] - '0'), 1000000L);
    return negative ? -v : v;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

std::string spinTimeText(std::string_view text, int max, int direction) {
    const int v = static_cast<int>(std::clamp(leadingInteger(text), 0L, static_cast<long>(max)));
    if (direction > 0) return v == max ? "00" : twoDigits(v + 1);
    return v == 0 ? twoDigits(max) : twoDigits(v - 1);
}

std::array<int, 8> clockGlyphs(int hour, int minute, int second) {
    constexpr int kColon = 10;
    const auto tens = [](int v) { return v > 9 ? (v - v % 10) / 10 : 0; };
    const auto units = [](int v) { return v > 9 ? v % 10 : v; };
    return {tens(hour), units(hour), kColon, tens(minute), units(minute), kColon, tens(second), units(second)};
}

std::string dateLabelText(const LocalTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日 ", t.year, t.month, t.day);
    return buf + std::string(weekdayFieldName(t.weekday));
}

Result<std::vector<ScheduleRow>> readScheduleRows(TableDatabase& db) {
    if (Status s = db.select(schema::kBellAlias); !s.isOk()) return s;
    db.goFirst();
    const int32_t count = db.recordCount();
    std::vector<ScheduleRow> rows;
    for (int32_t i = 0; i < count; ++i) {
        auto bell = readBell(db);
        if (!bell.isOk()) return bell.status();
        ScheduleRow row;
        row[0] = bell.value().start;
        row[1] = bell.value().end;
        row[2] = bell.value().music;
        for (size_t d = 0; d < 7; ++d) row[3 + d] = bell.value().weekdays[d] ? kMarkerOn : kMarkerOff;
        row[10] = std::to_string(bell.value().sortValue);
        rows.push_back(std::move(row));
        db.skip();
    }
    return rows;
}

double listSortKey(std::string_view cell) {
    static constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (startsWith(cell, " ")) cell.remove_prefix(1), trimmed = true;
        else if (startsWith(cell, kFullWidthSpace)) cell.remove_prefix(kFullWidthSpace.size()), trimmed = true;
        if (endsWith(cell, " ")) cell.remove_suffix(1), trimmed = true;
        else if (endsWith(cell, kFullWidthSpace)) cell.remove_suffix(kFullWidthSpace.size()), trimmed = true;
    }
    const std::string text(cell);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end == text.c_str() || !std::isfinite(v) ? 0.0 : v;
}

std::vector<size_t> listSortOrder(const std::vector<double>& keys) {
    constexpr double kEpsilon = 0.0000001;
    std::vector<double> sorted;
    std::vector<size_t> rows;
    for (size_t r = 0; r < keys.size(); ++r) {
        const double k = keys[r];
        size_t position;  // 0-based insertion index
        if (sorted.empty() || k - sorted.back() >= -kEpsilon) {
            position = sorted.size();
        } else if (k - sorted.front() <= kEpsilon) {
            position = 0;
        } else {
            size_t lo = 1, hi = sorted.size();  // 1-based, as the routine is written
            while (lo < hi - 1) {
                const size_t mid = (lo + hi) / 2;
                const double d = k - sorted[mid - 1];
                if (std::fabs(d) <= kEpsilon) {
                    lo = mid;
                    break;
                }
                if (d < -kEpsilon) hi = mid;
                else lo = mid;
            }
            position = lo;  // 1-based lo + 1, as a 0-based index
        }
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(position), k);
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(position), r);
    }
    return rows;
}

std::string cutToGbkBytes(std::string_view utf8, size_t maxBytes) {
    auto gbk = utf8ToGbk(utf8);
    if (!gbk.isOk()) return std::string();
    return gbkToUtf8(std::string_view(gbk.value()).substr(0, gbkPrefixLength(gbk.value(), maxBytes)));
}

namespace {
// Whether a file can be made in folder: asked by making one, which is what matters.
bool canWriteIn(const std::string& folder) {
    const std::filesystem::path probe = pathFromUtf8(folder) / ".tolvane-write-test";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}
}  // namespace

std::string chooseDataFolder(const std::string& programFolder, const std::string& dataHome) {
    if (canWriteIn(programFolder)) return programFolder;
    const std::filesystem::path fallback = pathFromUtf8(dataHome) / "tolvane";
    std::error_code ec;
    std::filesystem::create_directories(fallback, ec);
    return utf8FromPath(fallback);
}

}  // namespace tolvane
