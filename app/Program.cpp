#include "app/Program.h"

#include <chrono>

namespace tolvane {

namespace {
// A millisecond tick count seeds each random folder order.
uint64_t millisecondTicks() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace

Program::Program(std::string dataFolder, PowerOff& powerOff, PcmSinkFactory sinks)
    : m_dataFolder(std::move(dataFolder)),
      m_playback(std::make_unique<AudioPlayback>(std::move(sinks))),
      m_sound(std::make_unique<PlaylistBellSound>(*m_playback, millisecondTicks)),
      m_ring(std::make_unique<RingController>(m_db, m_clock, *m_sound, powerOff)) {
    m_ring->setObjectName(QStringLiteral("时钟2"));
    m_sound->setRandomPlay(true);  // until the settings are read
}

}  // namespace tolvane
