// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/CalendarWindow.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCharFormat>

#include "language/Language.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Timetables.h"
#ifdef TOLVANE_HAVE_ICAL
#include "schedule/ical/HolidayPlan.h"
#endif

namespace tolvane {

namespace {
const QColor kHolidayColour(0xF4, 0xB6, 0xB6);
const QColor kMakeUpColour(0xB6, 0xE0, 0xB6);
const QColor kTimetableColour(0xB6, 0xD4, 0xF4);

std::string isoDate(const QDate& d) {
    return d.toString(Qt::ISODate).toStdString();
}

QLabel* legend(const QString& text, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
    label->setMargin(3);
    return label;
}
}  // namespace

CalendarWindow::CalendarWindow(TableDatabase& db, std::function<void()> changed, QWidget* parent)
    : QDialog(parent),
      m_db(db),
      m_changed(std::move(changed)),
      m_calendar(new QCalendarWidget(this)),
      m_lastDay(new QDateEdit(this)),
      m_weekday(new QComboBox(this)),
      m_note(new QLineEdit(this)),
      m_timetable(new QComboBox(this)),
      m_timetableWeekday(new QComboBox(this)) {
    setObjectName(QStringLiteral("校历窗口"));
    setWindowTitle(tr("校历"));
    // Month and weekday names in the interface's language, whatever the machine's locale.
    m_calendar->setLocale(interfaceLocale());
    m_lastDay->setLocale(interfaceLocale());
    m_calendar->setAccessibleName(tr("日历"));
    if (auto* days = m_calendar->findChild<QAbstractItemView*>())
        days->setAccessibleName(tr("日历"));
    m_lastDay->setAccessibleName(tr("到"));
    m_weekday->setAccessibleName(tr("按周几上课"));
    m_note->setAccessibleName(tr("说明"));
    m_timetable->setObjectName(QStringLiteral("作息表选择框"));
    m_timetable->setAccessibleName(tr("按哪个作息表"));
    for (const std::string& name : timetableNames(m_db))
        m_timetable->addItem(QString::fromStdString(name));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(true);
    m_lastDay->setCalendarPopup(true);
    m_lastDay->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_lastDay->setDate(m_calendar->selectedDate());
    connect(m_calendar, &QCalendarWidget::selectionChanged, this,
            [this] { m_lastDay->setDate(m_calendar->selectedDate()); });
    m_timetableWeekday->setObjectName(QStringLiteral("作息表周几选择框"));
    m_timetableWeekday->setAccessibleName(tr("按作息表里周几的铃声"));
    for (size_t day = 0; day < 7; ++day) {
        m_weekday->addItem(QString::fromStdString(weekdayName(day)));
        m_timetableWeekday->addItem(QString::fromStdString(ringDayText(static_cast<int>(day) + 1)));
    }
    m_note->setPlaceholderText(tr("说明（可不填）"));

    auto* holiday = new QPushButton(tr("放假"), this);
    auto* workday = new QPushButton(tr("按周X上课"), this);
    auto* normal = new QPushButton(tr("恢复正常"), this);
    auto* timetable = new QPushButton(tr("按作息表"), this);
    timetable->setObjectName(QStringLiteral("按作息表按钮"));
    auto* import = new QPushButton(tr("导入节假日安排（.ics）"), this);
    connect(holiday, &QPushButton::clicked, this, &CalendarWindow::onHoliday);
    connect(workday, &QPushButton::clicked, this, &CalendarWindow::onWorkday);
    connect(normal, &QPushButton::clicked, this, &CalendarWindow::onNormal);
    connect(timetable, &QPushButton::clicked, this, &CalendarWindow::onTimetable);
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("导入节假日安排"), QString(),
                                                          QStringLiteral("iCalendar (*.ics)"));
        if (!path.isEmpty()) importPlan(path);
    });
#ifndef TOLVANE_HAVE_ICAL
    import->setVisible(false);  // a build without libical (Windows, so far) cannot read a plan
#endif

    // The whole date, whatever the style's frame and arrows take.
    m_lastDay->setMinimumWidth(m_lastDay->fontMetrics().horizontalAdvance(m_lastDay->text()) + 40);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_calendar, 0, 0, 1, 4);
    grid->addWidget(legend(tr("放假"), kHolidayColour, this), 1, 0);
    grid->addWidget(legend(tr("调休上课"), kMakeUpColour, this), 1, 1);
    grid->addWidget(legend(tr("按作息表"), kTimetableColour, this), 1, 2);
    grid->addWidget(new QLabel(tr("从所选日期到："), this), 2, 0);
    grid->addWidget(m_lastDay, 2, 1);
    grid->addWidget(m_note, 2, 2, 1, 2);
    grid->addWidget(holiday, 3, 0);
    grid->addWidget(m_weekday, 3, 1);
    grid->addWidget(workday, 3, 2);
    grid->addWidget(normal, 3, 3);
    grid->addWidget(timetable, 4, 0);
    grid->addWidget(m_timetable, 4, 1, 1, 2);
    grid->addWidget(m_timetableWeekday, 4, 3);
    grid->addWidget(import, 5, 0, 1, 4);
    showMarks();
}

void CalendarWindow::showMarks() {
    m_calendar->setDateTextFormat(QDate(), QTextCharFormat());  // clears every mark
    const auto timetables = calendarTimetables(m_db, "", "");
    for (const CalendarEntry& e : readCalendar(m_db)) {
        QTextCharFormat format;
        format.setBackground(e.ringDay == kNoBells ? kHolidayColour : kMakeUpColour);
        std::string tip = ringDayText(e.ringDay);
        if (auto named = timetables.find(e.date); named != timetables.end()) {
            tip = timetableDayText(named->second, e.ringDay);
            format.setBackground(kTimetableColour);
        }
        if (!e.note.empty()) tip += " " + e.note;
        format.setToolTip(QString::fromStdString(tip));
        m_calendar->setDateTextFormat(
            QDate::fromString(QString::fromStdString(e.date), Qt::ISODate), format);
    }
    // A day that only names a timetable rings as its own weekday, by that timetable.
    for (const auto& [date, name] : timetables) {
        const QDate day = QDate::fromString(QString::fromStdString(date), Qt::ISODate);
        if (m_calendar->dateTextFormat(day).hasProperty(QTextFormat::BackgroundBrush)) continue;
        QTextCharFormat format;
        format.setBackground(kTimetableColour);
        format.setToolTip(QString::fromStdString(timetableDayText(name)));
        m_calendar->setDateTextFormat(day, format);
    }
}

void CalendarWindow::report(const Status& s, const std::string& done) {
    if (!s.isOk()) {
        showMessage({infoCaption(),
                     tr("校历未能修改：%1").arg(QString::fromStdString(s.message())).toStdString()},
                    QMessageBox::Warning);
        return;
    }
    showMarks();
    m_changed();
    if (!done.empty()) showMessage({infoCaption(), done}, QMessageBox::NoIcon);
}

void CalendarWindow::apply(int ringDay) {
    report(setCalendarDays(m_db, isoDate(m_calendar->selectedDate()), isoDate(m_lastDay->date()),
                           ringDay, m_note->text().toStdString()),
           "");
}

void CalendarWindow::onHoliday() {
    apply(kNoBells);
}

void CalendarWindow::onWorkday() {
    apply(m_weekday->currentIndex() + 1);
}

void CalendarWindow::onNormal() {
    const std::string from = isoDate(m_calendar->selectedDate()), to = isoDate(m_lastDay->date());
    if (Status s = setCalendarTimetable(m_db, from, to, ""); !s.isOk()) return report(s, "");
    auto removed = clearCalendarDays(m_db, from, to);
    report(removed.isOk() ? Status::ok() : removed.status(), "");
}

void CalendarWindow::onTimetable() {
    // The weekday box says whose bells of the timetable ring: a Saturday of exams rings the exam
    // timetable's 周一 unless another weekday is picked.
    report(setCalendarTimetableDays(
               m_db, isoDate(m_calendar->selectedDate()), isoDate(m_lastDay->date()),
               m_timetable->currentText().toStdString(), m_timetableWeekday->currentIndex() + 1,
               m_note->text().toStdString()),
           "");
}

void CalendarWindow::importPlan(const QString& path) {
#ifdef TOLVANE_HAVE_ICAL
    auto plan = readHolidayPlan(path.toStdString(), m_weekday->currentIndex() + 1);
    if (!plan.isOk()) return report(plan.status(), "");
    std::string done = tr("已导入 %1 天。").arg(plan.value().entries.size()).toStdString();
    // Appended in two steps: GCC 12 sees an overlap in "\n" + std::string at -O3 (a false one).
    for (const std::string& name : plan.value().skipped) {
        done += '\n';
        done += tr("不能读取、已跳过：%1").arg(QString::fromStdString(name)).toStdString();
    }
    report(setCalendarEntries(m_db, plan.value().entries), done);
#else
    (void)path;
#endif
}

}  // namespace tolvane
