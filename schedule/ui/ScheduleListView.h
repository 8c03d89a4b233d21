// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Filling the Schedule list (a QTreeWidget of ten columns) from the Bell schedule table.

#include <QString>
#include <string>

#include "base/Status.h"
#include "storage/TableDatabase.h"

class QTreeWidget;

namespace tolvane {

// Sets the ten columns' titles and widths and the temporary last column "排序值".
void setUpScheduleColumns(QTreeWidget* list);

// REQUIRES: the list has no rows and has its temporary column "排序值". Reads the table, sorts the
// rows by sort value and removes the temporary column. typeMismatch() for a damaged table.
Status fillScheduleList(QTreeWidget* list, TableDatabase& db);

// Deletes every row, puts the temporary column back and fills the list anew; no row is selected.
Status refreshScheduleList(QTreeWidget* list, TableDatabase& db);

// The 作息表 the list shows (the default one until told otherwise), and the alias of its bell
// table; a timetable gone since shows the default.
void showTimetable(QTreeWidget* list, const std::string& name);
std::string shownTimetable(const QTreeWidget* list);
std::string shownBellTable(const QTreeWidget* list, TableDatabase& db);

// The first-column text of the selected row; empty when none is selected.
QString selectedStartTime(const QTreeWidget* list);

}  // namespace tolvane
