// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/qt/RingController.h"

namespace tolvane {

QtTickTimer::QtTickTimer() {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (onTimeout) onTimeout();
    });
}

RingController::RingController(TableDatabase& db, const Clock& clock, BellSound& sound,
                               PowerOff& powerOff, std::unique_ptr<TickTimer> timer,
                               QObject* parent)
    : QObject(parent),
      m_engine(db, clock, sound, powerOff),
      m_timer(timer ? std::move(timer) : std::make_unique<QtTickTimer>()) {
    m_timer->onTimeout = [this] {
        processDueSeconds();
        if (m_running) arm();
        afterTick();
    };
}

void RingController::setRunning(bool running) {
    if (running == m_running) return;
    m_running = running;
    if (!running) {
        m_timer->stop();
        // Seconds that pass while paused are never rung.
        m_engine.forgetLastSecond();
        return;
    }
    arm();
}

void RingController::arm() {
    m_timer->start(m_engine.msToNextSecond() + kMarginMs);
}

void RingController::processDueSeconds() {
    beforeTick();
    if (const Status s = m_engine.processDueSeconds(); !s.isOk()) {
        setRunning(false);
        emit fatalError(s.runtimeErrorCode(), QString::fromStdString(s.message()));
    }
}

}  // namespace tolvane
