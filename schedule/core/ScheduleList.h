// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Schedule list as the main window shows it: one row per bell in table order, then the
// list's own sort by the hidden "排序值" column.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

namespace tolvane {

// One row of the Schedule list while it is filled: ten visible cells and the sort value.
inline constexpr int kScheduleColumns = 10;
inline constexpr int kMusicColumn = 2;  // after the start and end times
using ScheduleRow = std::array<std::string, kScheduleColumns + 1>;
inline constexpr char kMarkerOn[] = "●";
inline constexpr char kMarkerOff[] = "○";

// The rows of the bell table open as table (a 作息表's; "数据库" is the default one) in table
// order, cells as stored; typeMismatch() for a field of another type.
Result<std::vector<ScheduleRow>> readScheduleRows(TableDatabase& db,
                                                  const std::string& table = schema::kBellAlias);

// The number a sort cell holds: spaces (ASCII and full-width) trimmed, leading number read; 0
// when there is none.
double listSortKey(std::string_view cell);

// The list sort's order for keys in display order: the source row of each sorted row. Each key
// is inserted among those sorted so far (a key equal to the last goes after it, one equal to the
// first, and smaller than the last, before it; binary search in between).
std::vector<size_t> listSortOrder(const std::vector<double>& keys);

}  // namespace tolvane
