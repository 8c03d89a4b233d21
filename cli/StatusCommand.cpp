#include "cli/StatusCommand.h"

#include <algorithm>
#include <ostream>

#include "cli/Json.h"
#include "platform/ClockSync.h"
#include "platform/Process.h"
#include "platform/SoundOutput.h"
#include "ringing/audio/Mp3Decoder.h"
#include "ringing/core/MusicCheck.h"
#include "ringing/core/RingLogFiles.h"
#include "ringing/core/RingerLock.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"

namespace tolvane::cli {

namespace {

bool contains(const std::string& line, const char* piece) {
    return line.find(piece) != std::string::npos;
}

RingerState ringerOf(const std::string& dir, const std::vector<std::string>& log) {
    RingerState state;
    const std::string pid = RingerLock::holder(dir);
    long number = 0;
    try {
        number = pid.empty() ? 0 : std::stol(pid);
    } catch (...) {
        number = 0;
    }
    if (!processIsRunning(number)) return state;
    state.pid = pid;
    state.planRunning = planRunsByLog(log);
    return state;
}

std::vector<std::string> problemsOf(const ClockSync& clock, const OutputReport& output,
                                    const std::vector<UnplayableMusic>& music) {
    std::vector<std::string> problems;
    if (clock.known && !clock.synchronised) problems.push_back("时钟未同步：" + clock.why);
    if (output.known && !output.present)
        problems.push_back("没有声音输出：没有声音服务器或设备接收声音");
    else if (output.known && !inaudibleReason(output.state).empty())
        problems.push_back("声音输出 " + output.name + " 听不到：" + inaudibleReason(output.state));
    std::vector<std::string> said;
    for (const UnplayableMusic& u : music) {
        const std::string line = "铃声的音乐不能播放：" + u.bell.music + "（" + u.why + "）";
        if (std::find(said.begin(), said.end(), line) == said.end()) said.push_back(line);
    }
    problems.insert(problems.end(), said.begin(), said.end());
    return problems;
}

std::vector<UnplayableMusic> unplayableIn(const std::string& dir) {
    TableDatabase db;
    if (!openTablesForReading(db, dir).isOk()) return {};
    auto bells = readBellMusic(db);
    return bells.isOk() ? findUnplayableMusic(bells.value(), unplayableBecause)
                        : std::vector<UnplayableMusic>{};
}

std::string jsonBool(bool on) {
    return on ? "true" : "false";
}

}  // namespace

bool planRunsByLog(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (contains(*line, "计划暂停")) return false;
        if (contains(*line, "计划恢复运行") || contains(*line, "程序启动：") ||
            contains(*line, "无窗口打铃启动："))
            return true;
    }
    return true;
}

std::string lastHeardLine(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (contains(*line, "铃声响起：")) return *line;
    return {};
}

std::string nextBell(const std::string& dir, const Clock& clock) {
    TableDatabase db;
    if (!openTablesForReading(db, dir).isOk()) return {};
    auto read = readBells(db);
    if (!read.isOk()) return {};
    std::vector<BellRecord> bells = std::move(read).value();
    std::sort(bells.begin(), bells.end(),
              [](const BellRecord& a, const BellRecord& b) { return a.sortValue < b.sortValue; });
    const int64_t now = clock.nowMs() / 1000;
    const LocalTime today = clock.toLocal(now);
    const int secondOfDay = today.hour * 3600 + today.minute * 60 + today.second;
    constexpr int kDaysAhead = 14;
    for (int d = 0; d <= kDaysAhead; ++d) {
        const LocalTime day = clock.toLocal(now + int64_t{d} * 86400);
        const RingDay ringDay = ringDayOf(db, day);
        if (!ringDay.startsBells) continue;
        const size_t weekday = static_cast<size_t>((ringDay.weekday + 6) % 7);  // Monday first
        for (const BellRecord& bell : bells)
            if (bell.weekdays[weekday] && (d > 0 || bell.sortValue > secondOfDay))
                return dateText(day) + " " + bell.start + " " + bell.music;
    }
    return {};
}

int statusCommand(const std::string& dir, bool json, std::ostream& out, std::ostream&) {
    const std::vector<std::string> log = readRingLog(dir);
    const RingerState ringer = ringerOf(dir, log);
    const std::string next = nextBell(dir, SystemClock());
    const ClockSync clock = readClockSync();
    const OutputReport output = readOutput("");
    const std::string heard = lastHeardLine(log);
    const std::vector<std::string> problems = problemsOf(clock, output, unplayableIn(dir));
    const bool portAvailable = !output.state.portUnplugged;
    if (json) {
        out << "{\"ringer\": "
            << (ringer.pid.empty()
                    ? std::string("null")
                    : "{\"pid\": " + ringer.pid + ", \"plan\": " +
                          jsonString(*ringer.planRunning ? "running" : "paused") + "}")
            << ", \"next_bell\": " << (next.empty() ? "null" : jsonString(next))
            << ", \"clock\": {\"synchronized\": "
            << (clock.known ? jsonBool(clock.synchronised) : "null")
            << ", \"offset_seconds\": 0}, \"output\": {\"name\": " << jsonString(output.name)
            << ", \"present\": " << (output.known ? jsonBool(output.present) : "null")
            << ", \"muted\": " << jsonBool(output.state.muted)
            << ", \"volume_percent\": " << output.state.volumePercent
            << ", \"port_available\": " << jsonBool(portAvailable)
            << "}, \"last_bell_heard\": " << (heard.empty() ? "null" : jsonString(heard))
            << ", \"problems\": [";
        for (size_t i = 0; i < problems.size(); ++i)
            out << (i ? ", " : "") << jsonString(problems[i]);
        out << "]}\n";
        return 0;
    }
    out << "ringer: "
        << (ringer.pid.empty() ? "none"
                               : "process " + ringer.pid + ", plan " +
                                     (*ringer.planRunning ? "running" : "paused"))
        << "\nnext bell: " << (next.empty() ? "none within two weeks" : next) << "\nclock: "
        << (!clock.known         ? "not told by the system"
            : clock.synchronised ? "synchronised"
                                 : "not synchronised")
        << ", offset 0 s\noutput: ";
    if (!output.known)
        out << "not told by the system";
    else if (!output.present)
        out << "none";
    else
        out << output.name << (output.state.muted ? ", muted" : "") << ", volume "
            << output.state.volumePercent << " %" << (portAvailable ? "" : ", port unplugged");
    out << "\nlast bell heard: " << (heard.empty() ? "none in the ring log" : heard)
        << "\nproblems:" << (problems.empty() ? " none" : "") << "\n";
    for (const std::string& p : problems) out << "  " << p << "\n";
    return 0;
}

}  // namespace tolvane::cli
