// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TimetableChooser.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTreeWidget>
#include <algorithm>

#include "schedule/core/Calendar.h"
#include "schedule/core/Timetables.h"
#include "schedule/ui/ScheduleListView.h"

namespace tolvane {

TimetableChooser::TimetableChooser(QComboBox& box, QTreeWidget& list, TableDatabase& db,
                                   const Clock& clock, std::function<void()> showList)
    : QObject(&box),
      m_box(box),
      m_list(list),
      m_db(db),
      m_clock(clock),
      m_showList(std::move(showList)) {
    m_box.setAccessibleName(QCoreApplication::translate("tolvane::MainWindow", "作息表"));
    m_box.setToolTip(QCoreApplication::translate("tolvane::MainWindow", "列表显示和修改的作息表"));
    connect(&m_box, &QComboBox::activated, this, &TimetableChooser::choose);
}

void TimetableChooser::refill() {
    const LocalTime now = m_clock.toLocal(m_clock.nowMs() / 1000);
    m_day = dateText(now);
    const std::string today = ringDayOf(m_db, now).timetable.name;
    const std::vector<std::string> names = timetableNames(m_db);
    // Today's, until the user chooses another; and when the one chosen is gone.
    std::string shown = m_chosen ? shownTimetable(&m_list) : today;
    if (std::find(names.begin(), names.end(), shown) == names.end()) shown = today;
    const QSignalBlocker quiet(&m_box);
    m_box.clear();
    for (const std::string& name : names) {
        QString text = QString::fromStdString(timetableShownName(name));
        if (name == today) text += QCoreApplication::translate("tolvane::MainWindow", "（今天）");
        m_box.addItem(text, QString::fromStdString(name));
        if (name == shown) m_box.setCurrentIndex(m_box.count() - 1);
    }
    m_box.setVisible(names.size() > 1);
    if (shown != shownTimetable(&m_list)) {
        showTimetable(&m_list, shown);
        m_showList();
    }
}

void TimetableChooser::followDay() {
    if (dateText(m_clock.toLocal(m_clock.nowMs() / 1000)) != m_day) refill();
}

void TimetableChooser::choose(int index) {
    m_chosen = true;
    showTimetable(&m_list, m_box.itemData(index).toString().toStdString());
    m_showList();
}

}  // namespace tolvane
