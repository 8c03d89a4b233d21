#include "ringing/qt/RingController.h"

namespace tolvane {

namespace {
int64_t floorDiv1000(int64_t ms) {
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}
}  // namespace

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
      m_db(db),
      m_clock(clock),
      m_sound(sound),
      m_powerOff(powerOff),
      m_timer(timer ? std::move(timer) : std::make_unique<QtTickTimer>()) {
    m_timer->onTimeout = [this] {
        processDueSeconds();
        if (m_running) arm();
    };
}

void RingController::setRunning(bool running) {
    if (running == m_running) return;
    m_running = running;
    if (!running) {
        m_timer->stop();
        // Seconds that pass while paused are never rung.
        m_pacer.forget();
        return;
    }
    arm();
}

void RingController::arm() {
    const int64_t now = m_clock.nowMs();
    const int64_t nextBoundary = (floorDiv1000(now) + 1) * 1000;
    m_timer->start(static_cast<int>(nextBoundary - now) + kMarginMs);
}

void RingController::processDueSeconds() {
    beforeTick();
    // Paced on the local wall clock as one line of seconds: the autumn hour, which repeats the
    // same local times, is then a step back like an NTP correction, and rings nothing twice.
    const int64_t wall = civilToEpochSeconds(m_clock.toLocal(floorDiv1000(m_clock.nowMs())));
    for (int64_t second : m_pacer.secondsDue(wall)) {
        const Status s =
            runClockTick(m_db, civilFromEpochSeconds(second), m_shutdown, m_powerOff, m_sound);
        if (!s.isOk()) {
            setRunning(false);
            emit fatalError(s.runtimeErrorCode(), QString::fromStdString(s.message()));
            return;
        }
    }
}

}  // namespace tolvane
