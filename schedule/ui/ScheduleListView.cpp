// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/ScheduleListView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include "schedule/core/ScheduleList.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

namespace {
constexpr int kWidths[] = {60, 60, 340, 25, 25, 25, 25, 25, 25, 25};
constexpr int kSortColumn = kScheduleColumns;
constexpr int kSortColumnWidth = 50;

void addSortColumn(QTreeWidget* list) {
    list->setColumnCount(kScheduleColumns + 1);
    list->headerItem()->setText(kSortColumn, QStringLiteral("排序值"));
    list->setColumnWidth(kSortColumn, kSortColumnWidth);
}
}  // namespace

void setUpScheduleColumns(QTreeWidget* list) {
    static const char* const kTitles[] = {QT_TRANSLATE_NOOP("ScheduleList", "播放时间"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "结束时间"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "音乐"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "一"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "二"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "三"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "四"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "五"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "六"),
                                          QT_TRANSLATE_NOOP("ScheduleList", "日")};
    addSortColumn(list);
    // A style's own minimum follows its font, and with a wide one (Wine's) it made the day
    // columns twice their width and the list scroll sideways even when empty.
    list->header()->setMinimumSectionSize(kWidths[3]);
    for (int c = 0; c < kScheduleColumns; ++c) {
        list->headerItem()->setText(c, QCoreApplication::translate("ScheduleList", kTitles[c]));
        list->setColumnWidth(c, kWidths[c]);
    }
    list->header()->setStretchLastSection(false);
}

Status fillScheduleList(QTreeWidget* list, TableDatabase& db) {
    auto rows = readScheduleRows(db, shownBellTable(list, db));
    if (!rows.isOk()) return rows.status();
    std::vector<double> keys;
    for (const ScheduleRow& row : rows.value()) keys.push_back(listSortKey(row[kSortColumn]));
    QList<QTreeWidgetItem*> items;
    for (size_t source : listSortOrder(keys)) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c <= kSortColumn; ++c)
            item->setText(c, QString::fromStdString(rows.value()[source][static_cast<size_t>(c)]));
        for (int c = 3; c < kScheduleColumns; ++c) item->setTextAlignment(c, Qt::AlignCenter);
        items.push_back(item);
    }
    list->addTopLevelItems(items);
    list->setColumnCount(kScheduleColumns);
    list->clearSelection();
    list->setCurrentItem(nullptr);
    return Status::ok();
}

Status refreshScheduleList(QTreeWidget* list, TableDatabase& db) {
    list->clear();
    addSortColumn(list);
    return fillScheduleList(list, db);
}

namespace {
constexpr char kTimetableProperty[] = "tolvaneTimetable";
}

void showTimetable(QTreeWidget* list, const std::string& name) {
    list->setProperty(kTimetableProperty, QString::fromStdString(name));
}

std::string shownTimetable(const QTreeWidget* list) {
    const QString name = list->property(kTimetableProperty).toString();
    return name.isEmpty() ? std::string(kDefaultTimetable) : name.toStdString();
}

std::string shownBellTable(const QTreeWidget* list, TableDatabase& db) {
    return bellTableOf(db, shownTimetable(list)).value_or(schema::kBellAlias);
}

QString selectedStartTime(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

}  // namespace tolvane
