#pragma once

// The clock timer: armed for just after each wall-clock second boundary (never a free-running
// 1000 ms period, which drifts and skips seconds), it runs the Clock tick for every second of a
// running plan exactly once.

#include <QObject>
#include <QTimer>

#include "ClockTick.h"
#include "SecondPacer.h"

namespace tolvane {

class RingController final : public QObject {
    Q_OBJECT
public:
    // Ticks fire this long after the second boundary, so the clock surely reads the new second.
    static constexpr int kMarginMs = 3;

    // All references must outlive the controller. Starts stopped (period 0).
    RingController(TableDatabase& db, const Clock& clock, BellSound& sound, PowerOff& powerOff,
                   QObject* parent = nullptr);

    // 0 stops the tick (the plan is paused); any other period runs it once a second. Setting the
    // period it already has leaves a running timer alone.
    void setPeriod(int ms);
    int period() const { return m_period; }

    // The shutdown flag (read once at start) and time text (replaced when saved).
    ShutdownPlan& shutdownPlan() { return m_shutdown; }

    // Runs the tick for every second due by the clock now; what the timer calls.
    void processDueSeconds();

signals:
    // A table field had another type than its schema: the program must end (code 5).
    void fatalError(int code, const QString& message);

private:
    void arm();

    TableDatabase& m_db;
    const Clock& m_clock;
    BellSound& m_sound;
    PowerOff& m_powerOff;
    ShutdownPlan m_shutdown;
    SecondPacer m_pacer;
    QTimer m_timer;
    int m_period = 0;
};

}  // namespace tolvane
