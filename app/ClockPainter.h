// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's clock face and the date above it, read from the ringer's clock. The face
// changes once a second, just after the second begins, and not at all while nobody can see it:
// on the clock timer's own wake-up while the plan runs (the window calls paint() then), by the
// painter "时钟1", a single-shot timer armed for just after each second, while it is paused.

#include <QObject>
#include <QTimer>

#include "base/Clock.h"

class QLabel;
class QWidget;

namespace tolvane {

class ClockFace;
class TableDatabase;

class ClockPainter final : public QObject {
    Q_OBJECT
public:
    // The painter wakes this long after each second begins: the face changes within a few
    // milliseconds of the second, never just before it.
    static constexpr int kMarginMs = 2;
    static constexpr int kMsPerSecond = 1000;

    // Everything must outlive the painter; window is the one whose visibility decides.
    ClockPainter(ClockFace& face, QLabel& date, const OffsetClock& clock, TableDatabase& db,
                 QWidget& window);

    // Paints now's face and, when the day changed since it was last shown, the date. With a
    // clock offset, the face's tip says the system's time and the offset.
    void paint();
    // Arms the painter for the next second's beginning while the window shows and planRunning is
    // false; stops it otherwise (a running plan's clock timer has the face painted).
    void follow(bool planRunning);
    // Shows now's date in the label when the day changed since it was last shown, with the day's
    // state by the school calendar: a program left running for days shows the right date.
    void followDate(const LocalTime& now);
    // The calendar changed: today's state is looked up again.
    void showCalendarDay();

    QTimer& timer() { return m_timer; }

private:
    void showOffset();

    ClockFace& m_face;
    QLabel& m_date;
    const OffsetClock& m_clock;
    TableDatabase& m_db;
    QWidget& m_window;
    QTimer m_timer;
    LocalTime m_shownDate{0, 0, 0};
};

}  // namespace tolvane
