#pragma once

// Rules of the application shell that need no screen: the Time spinner, the date label, the
// Schedule list's rows and its sort, and where the tables live.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "Clock.h"
#include "Status.h"
#include "TableDatabase.h"

namespace tolvane {

// The Time spinner: the edit box's text after a press of the up (+1) or down (-1) arrow, for
// a field whose values run from 0 to max (23 or 59). The value is read from the text's leading
// digits after blanks and a sign (none: 0); a typed value outside 0..max is first clamped into
// range, so the result is always two digits.
std::string spinTimeText(std::string_view text, int max, int direction);

// The eight glyphs of the clock face for a time: hour tens and units, colon (10), minute tens and
// units, colon, second tens and units; glyphs 0..9 are the digits.
std::array<int, 8> clockGlyphs(int hour, int minute, int second);

// "2013年8月26日 周一": the date, one space, the weekday's name.
std::string dateLabelText(const LocalTime& t);

// One row of the Schedule list while it is filled: ten visible cells and the sort value.
inline constexpr int kScheduleColumns = 10;
using ScheduleRow = std::array<std::string, kScheduleColumns + 1>;
inline constexpr char kMarkerOn[] = "●";
inline constexpr char kMarkerOff[] = "○";

// The rows of "数据库" in table order, cells as stored; typeMismatch() for a field of another type.
Result<std::vector<ScheduleRow>> readScheduleRows(TableDatabase& db);

// The number a sort cell holds: spaces (ASCII and full-width) trimmed, leading number read; 0
// when there is none.
double listSortKey(std::string_view cell);

// The list sort's order for keys in display order: the source row of each sorted row. Each key
// is inserted among those sorted so far (a key equal to the last goes after it, one equal to the
// first, and smaller than the last, before it; binary search in between).
std::vector<size_t> listSortOrder(const std::vector<double>& keys);

// A text cut to at most maxBytes in GBK, without splitting a character (the tray tip holds 62).
std::string cutToGbkBytes(std::string_view utf8, size_t maxBytes);

// Where the tables live: the program folder, or, when that cannot be written, the per-user data
// folder (dataHome/tolvane), so that no change is lost. Creates the latter when needed.
std::string chooseDataFolder(const std::string& programFolder, const std::string& dataHome);

}  // namespace tolvane
