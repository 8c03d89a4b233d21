// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two rules of a timetable that are dates, picked rather than typed: its season (two
// month-day pickers, so no day a month lacks can be named) and the week rotation (the timetables
// ticked in their order, and the date whose week it starts from).

#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "schedule/core/TimetableRule.h"

class QWidget;

namespace tolvane {

// nullopt when cancelled; a value holding nullopt when the season is to be cleared.
using SeasonAnswer = std::optional<std::optional<Season>>;
// problem: why a season picked may not be taken (it overlaps another's), said in the dialog,
// which then stays open with what was picked.
SeasonAnswer pickSeason(QWidget* parent, const QString& name, const std::optional<Season>& now,
                        const std::function<std::string(const Season&)>& problem);

struct RotationAnswer {
    std::vector<std::string> names;  // empty: no rotation
    std::string start;               // YYYY-MM-DD
};
// timetables: all of them, the default first; now: the rotation as it is, start its date.
std::optional<RotationAnswer> pickRotation(QWidget* parent,
                                           const std::vector<std::string>& timetables,
                                           const std::vector<std::string>& now, const QDate& start);

}  // namespace tolvane
