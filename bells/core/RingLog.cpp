// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingLog.h"

namespace tolvane {

RingLog& RingLog::none() {
    static RingLog* const silent = new RingLog;
    return *silent;
}

void RingLog::bellStarted(const LocalTime& second, const std::string& music) {
    note(startedLine(second, music));
}

void RingLog::bellHeard(const LocalTime& second, int64_t lateMs) {
    note(heardLine(second, lateMs));
}

void RingLog::bellInaudible(const LocalTime& second, const std::string& why) {
    warn(inaudibleLine(second, why));
}

void RingLog::bellPlayedUnverified(const LocalTime& second, int64_t lateMs) {
    note(unverifiedLine(second, lateMs));
}

// Never "铃声响起": that word is kept for a bell known to be heard (the status's last bell heard).
std::string RingLog::unverifiedLine(const LocalTime& second, int64_t lateMs) {
    return "铃声已播放：" + timeText(second) + "，第一个声音迟到 " + std::to_string(lateMs) +
           " 毫秒；系统不告诉声音输出是否静音或音量多大，能否听到未知";
}

std::string RingLog::inaudibleLine(const LocalTime& second, const std::string& why) {
    return "铃声没有被听到：" + timeText(second) + "，" + why;
}

std::string RingLog::startedLine(const LocalTime& second, const std::string& music) {
    return "铃声开始：" + timeText(second) + " " + music;
}

std::string RingLog::heardLine(const LocalTime& second, int64_t lateMs) {
    return "铃声响起：" + timeText(second) + "，第一个声音迟到 " + std::to_string(lateMs) + " 毫秒";
}

}  // namespace tolvane
