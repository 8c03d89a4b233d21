// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "校历": the school calendar as a month view, holidays and make-up days in colour with a legend.
// A day or a range (from the selected day to "到") becomes "放假", "按周X上课" or "恢复正常", with
// a note; a published holiday plan (.ics) can be imported.

#include <QDialog>
#include <functional>

#include "base/Status.h"
#include "ui/SecondaryWindow.h"

class QCalendarWidget;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

namespace tolvane {

class TableDatabase;

class CalendarWindow final : public QDialog {
    Q_OBJECT
public:
    // db holds the calendar table and must outlive the window. changed runs after each change to
    // the calendar (the engine and the date label follow it).
    CalendarWindow(TableDatabase& db, std::function<void()> changed, QWidget* parent = nullptr);

    // Handlers, public so that tests drive them as the buttons do.
    void onHoliday();
    void onWorkday();
    void onNormal();
    // The days chosen ring by the 作息表 chosen in its box ("按作息表 考试"); with 按周X they make
    // a make-up day of another timetable.
    void onTimetable();
    // Imports path (the file dialog's choice).
    void importPlan(const QString& path);
    void showMarks();

    QCalendarWidget* calendar() const { return m_calendar; }
    QDateEdit* lastDay() const { return m_lastDay; }
    QComboBox* weekdayBox() const { return m_weekday; }
    QLineEdit* noteEdit() const { return m_note; }
    QComboBox* timetableBox() const { return m_timetable; }
    MessagePresenter showMessage = messageBoxPresenter();

private:
    void apply(int ringDay);
    void report(const Status& s, const std::string& done);

    TableDatabase& m_db;
    std::function<void()> m_changed;
    QCalendarWidget* m_calendar;
    QDateEdit* m_lastDay;
    QComboBox* m_weekday;
    QLineEdit* m_note;
    QComboBox* m_timetable;
    QComboBox* m_timetableWeekday;  // whose bells of the timetable ring
};

}  // namespace tolvane
