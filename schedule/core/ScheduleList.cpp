// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/ScheduleList.h"

#include <cmath>
#include <cstdlib>

#include "schedule/core/Schema.h"

namespace tolvane {

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

Result<std::vector<ScheduleRow>> readScheduleRows(TableDatabase& db, const std::string& table) {
    auto bells = readBells(db, table);
    if (!bells.isOk()) return bells.status();
    std::vector<ScheduleRow> rows;
    for (const BellRecord& bell : bells.value()) {
        ScheduleRow row;
        row[0] = bell.start;
        row[1] = bell.end;
        row[2] = bell.music;
        for (size_t d = 0; d < 7; ++d) row[3 + d] = bell.weekdays[d] ? kMarkerOn : kMarkerOff;
        row[10] = std::to_string(bell.sortValue);
        rows.push_back(std::move(row));
    }
    return rows;
}

double listSortKey(std::string_view cell) {
    static constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (startsWith(cell, " "))
            cell.remove_prefix(1), trimmed = true;
        else if (startsWith(cell, kFullWidthSpace))
            cell.remove_prefix(kFullWidthSpace.size()), trimmed = true;
        if (endsWith(cell, " "))
            cell.remove_suffix(1), trimmed = true;
        else if (endsWith(cell, kFullWidthSpace))
            cell.remove_suffix(kFullWidthSpace.size()), trimmed = true;
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
                if (d < -kEpsilon)
                    hi = mid;
                else
                    lo = mid;
            }
            position = lo;  // 1-based lo + 1, as a 0-based index
        }
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(position), k);
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(position), r);
    }
    return rows;
}

}  // namespace tolvane
