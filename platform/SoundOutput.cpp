#include "platform/SoundOutput.h"

namespace tolvane {

std::string inaudibleReason(const OutputState& state) {
    if (state.muted) return "输出已静音";
    if (state.portUnplugged) return "输出端口没有接上（例如耳机插孔已拔出）";
    if (state.volumePercent < kAudibleVolumePercent)
        return "输出音量只有 " + std::to_string(state.volumePercent) + "%";
    return {};
}

std::string outputProblem(const OutputReport& report, const std::string& chosen) {
    if (!report.known) return {};
    if (!report.serverRunning) return "没有声音输出：没有声音服务器或设备接收声音";
    if (!report.present)
        return chosen.empty() ? "没有声音输出：声音服务器没有默认输出"
                              : "选定的声音输出 " + chosen + " 不存在";
    const std::string why = inaudibleReason(report.state);
    return why.empty() ? why : "声音输出 " + report.name + " 听不到：" + why;
}

}  // namespace tolvane
