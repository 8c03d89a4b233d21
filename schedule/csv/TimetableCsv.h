// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A 作息表 as a spreadsheet keeps it: CSV with the header 开始时间,结束时间,音乐,星期, one bell a
// row, and a fifth column 语音提醒 (what the bell says) when any bell says something: a file of
// bells without words reads in older copies too. Written in UTF-8 (with the byte-order mark
// spreadsheet programs look for); read in UTF-8 or GBK, which older spreadsheets save.

#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "schedule/core/Schema.h"

namespace tolvane {

inline constexpr char kTimetableCsvHeader[] = "开始时间,结束时间,音乐,星期";
inline constexpr char kTimetableCsvSpeechColumn[] = "语音提醒";

std::string timetableCsv(const std::vector<BellRecord>& bells);

// Every row's bell, or the first bad row named by its line ("第 3 行：…"); nothing half-read.
Result<std::vector<BellRecord>> parseTimetableCsv(std::string_view bytes);

}  // namespace tolvane
