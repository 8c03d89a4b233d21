#include "app/Program.h"

#include <chrono>

#include "ringing/log/FileRingLog.h"

namespace tolvane {

namespace {
// A millisecond tick count seeds each random folder order.
uint64_t millisecondTicks() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
std::unique_ptr<RingLog> defaultRingLog(const std::string& folder) {
    return std::make_unique<FileRingLog>(FileRingLog::Options{folder});
}

}  // namespace

Program::Program(std::string dataFolder, PowerOff& powerOff, PcmSinkFactory sinks,
                 std::unique_ptr<RingLog> log)
    : m_dataFolder(std::move(dataFolder)),
      m_log(log ? std::move(log) : defaultRingLog(m_dataFolder)),
      m_playback(std::make_unique<AudioPlayback>(
          std::move(sinks),
          engineHooks([this] { return m_engineReady ? &m_ring->engine() : nullptr; }))),
      m_sound(std::make_unique<PlaylistBellSound>(*m_playback, millisecondTicks)),
      m_ring(std::make_unique<RingController>(m_db, m_clock, *m_sound, powerOff)) {
    m_ring->setObjectName(QStringLiteral("时钟2"));
    m_ring->engine().setLog(*m_log);
    m_inhibitor->onAnswer = [log = m_log.get()](const std::string& answer) { log->note(answer); };
    m_engineReady = true;
    m_sound->setRandomPlay(true);  // until the settings are read
}

Program::~Program() {
    // The engine goes before the playback: the player thread's reports from now on go nowhere.
    m_engineReady = false;
}

}  // namespace tolvane
