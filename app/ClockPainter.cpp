// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockPainter.h"

#include <QCoreApplication>
#include <QLabel>
#include <cstdlib>

#include "schedule/core/Calendar.h"
#include "ui/ClockFace.h"
#include "ui/core/ClockDisplay.h"

namespace tolvane {

ClockPainter::ClockPainter(ClockFace& face, QLabel& date, const OffsetClock& clock,
                           TableDatabase& db, QWidget& window)
    : QObject(&window), m_face(face), m_date(date), m_clock(clock), m_db(db), m_window(window) {
    m_timer.setObjectName(QStringLiteral("时钟1"));
    m_timer.setParent(this);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        paint();
        follow(false);
    });
}

void ClockPainter::paint() {
    const int64_t ms = m_clock.nowMs();
    const LocalTime now = m_clock.toLocal(ms / kMsPerSecond);
    m_face.showTime(now.hour, now.minute, now.second);
    followDate(now);
    showOffset();
}

void ClockPainter::showOffset() {
    const int offset = m_clock.offsetSeconds();
    if (offset == 0) return m_face.setToolTip(QString());
    const Clock& system = m_clock.base();
    const LocalTime now = system.toLocal(system.nowMs() / kMsPerSecond);
    // The main window's words.
    m_face.setToolTip(
        QCoreApplication::translate("tolvane::MainWindow", "学校的时间：系统时间 %1 %2 %3 秒")
            .arg(QString::fromStdString(timeText(now)))
            .arg(offset > 0 ? QStringLiteral("+") : QStringLiteral("-"))
            .arg(std::abs(offset)));
}

void ClockPainter::follow(bool planRunning) {
    if (!m_window.isVisible() || m_window.isMinimized() || planRunning) return m_timer.stop();
    const int64_t ms = m_clock.nowMs();
    m_timer.start(static_cast<int>(kMsPerSecond - ms % kMsPerSecond) + kMarginMs);
}

void ClockPainter::followDate(const LocalTime& now) {
    if (now.year == m_shownDate.year && now.month == m_shownDate.month &&
        now.day == m_shownDate.day)
        return;
    m_shownDate = now;
    // The day's state by the school calendar after the weekday: "· 放假", "· 按周一".
    std::string text = dateLabelText(now);
    if (const RingDay day = ringDayOf(m_db, now); day.fromCalendar)
        text += " · " + ringDayText(day.startsBells ? ringDayOfWeekday(day.weekday) : 0);
    // Whole where it fits; else cut, with the whole text in the tip.
    const QString whole = QString::fromStdString(text);
    m_date.setToolTip(whole);
    m_date.setText(m_date.fontMetrics().elidedText(whole, Qt::ElideRight, m_date.width()));
}

void ClockPainter::showCalendarDay() {
    m_shownDate = LocalTime{0, 0, 0};
    followDate(m_clock.toLocal(m_clock.nowMs() / kMsPerSecond));
}

}  // namespace tolvane
