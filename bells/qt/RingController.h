// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The clock timer: armed for just after each wall-clock second boundary (never a free-running
// 1000 ms period, which drifts and skips seconds), it runs the Clock tick for every second of a
// running plan exactly once.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "bells/core/ClockTick.h"
#include "bells/core/RingEngine.h"

namespace tolvane {

// The single-shot timer the controller arms for each second; tests drive a manual one so every
// case is exact and instant.
class TickTimer {
public:
    virtual ~TickTimer() = default;
    // Fires onTimeout once, ms from now; a second start replaces the first.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    std::function<void()> onTimeout;
};

// The program's timer: a precise QTimer on the thread that made it.
class QtTickTimer final : public TickTimer {
public:
    QtTickTimer();
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

class RingController final : public QObject {
    Q_OBJECT
public:
    // Ticks fire this long after the second boundary, so the clock surely reads the new second.
    static constexpr int kMarginMs = 3;

    // All references must outlive the controller. Starts stopped. timer defaults to a QtTickTimer.
    RingController(TableDatabase& db, const Clock& clock, BellSound& sound, PowerOff& powerOff,
                   std::unique_ptr<TickTimer> timer = nullptr, QObject* parent = nullptr);

    // Runs the tick once a second (the plan runs) or stops it (the plan is paused). Asking for
    // the state it is already in leaves a running timer alone.
    void setRunning(bool running);
    bool isRunning() const { return m_running; }

    // The shutdown flag and time text.
    ShutdownPlan& shutdownPlan() { return m_engine.shutdownPlan(); }
    RingEngine& engine() { return m_engine; }

    // Runs the tick for every second due by the clock now; what the timer calls.
    void processDueSeconds();

    // Runs before the due seconds are ticked: the program brings its tables up to date here, so
    // the tick always rings the schedule as it is on disk.
    std::function<void()> beforeTick = [] {};
    // Runs after each timer wake-up's ticks: the clock face is painted here while the plan runs,
    // so face and tick share one wake-up a second.
    std::function<void()> afterTick = [] {};

signals:
    // A table field had another type than its schema: the program must end (code 5).
    void fatalError(int code, const QString& message);

private:
    void arm();

    RingEngine m_engine;
    std::unique_ptr<TickTimer> m_timer;
    bool m_running = false;
};

}  // namespace tolvane
