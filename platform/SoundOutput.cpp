// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SoundOutput.h"

#include "base/UiText.h"

namespace tolvane {

std::string inaudibleReason(const OutputState& state) {
    if (state.muted) return uiText("SoundOutput", "输出已静音");
    if (state.portUnplugged) return uiText("SoundOutput", "输出端口没有接上（例如耳机插孔已拔出）");
    if (state.volumePercent < kAudibleVolumePercent)
        return fillIn(uiText("SoundOutput", "输出音量只有 %1%"),
                      {std::to_string(state.volumePercent)});
    return {};
}

std::string outputProblem(const OutputReport& report, const std::string& chosen) {
    if (!report.known) return {};
    if (!report.serverRunning)
        return uiText("SoundOutput", "没有声音输出：没有声音服务器或设备接收声音");
    if (!report.present)
        return chosen.empty() ? uiText("SoundOutput", "没有声音输出：声音服务器没有默认输出")
                              : fillIn(uiText("SoundOutput", "选定的声音输出 %1 不存在"), {chosen});
    if (!report.stateKnown) return {};
    const std::string why = inaudibleReason(report.state);
    return why.empty()
               ? why
               : fillIn(uiText("SoundOutput", "声音输出 %1 听不到：%2"), {report.name, why});
}

}  // namespace tolvane
