#include "platform/SoundOutput.h"

namespace tolvane {

std::string inaudibleReason(const OutputState& state) {
    if (state.muted) return "输出已静音";
    if (state.portUnplugged) return "输出端口没有接上（例如耳机插孔已拔出）";
    if (state.volumePercent < kAudibleVolumePercent)
        return "输出音量只有 " + std::to_string(state.volumePercent) + "%";
    return {};
}

}  // namespace tolvane
