// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 作息表 box above the list: the school's timetables, today's marked "（今天）"; choosing one
// shows its bells in the list, where adding, changing and deleting then act. Shown only once the
// school has a second timetable (the window's 作息表 menu item makes one).

#include <QObject>
#include <functional>
#include <string>

#include "base/Clock.h"

class QComboBox;
class QTreeWidget;

namespace tolvane {

class TableDatabase;

class TimetableChooser final : public QObject {
    Q_OBJECT
public:
    // showList: refills the list after the choice changed. All references outlive the chooser.
    TimetableChooser(QComboBox& box, QTreeWidget& list, TableDatabase& db, const Clock& clock,
                     std::function<void()> showList);

    // After the timetables changed (here or in another program) and when a new day begins: the
    // names and today's mark again. A shown timetable that is gone gives way to today's.
    void refill();
    // Cheap once a second: refills only on a new date.
    void followDay();

private:
    void choose(int index);

    QComboBox& m_box;
    QTreeWidget& m_list;
    TableDatabase& m_db;
    const Clock& m_clock;
    std::function<void()> m_showList;
    std::string m_day;
    bool m_chosen = false;  // the user chose a timetable: it stays shown across days
};

}  // namespace tolvane
