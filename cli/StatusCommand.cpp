// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StatusCommand.h"

#include <algorithm>
#include <ostream>

#include "base/UiText.h"
#include "bells/audio/Mp3Decoder.h"
#include "bells/core/MusicCheck.h"
#include "bells/core/RingLogFiles.h"
#include "bells/core/RingerLock.h"
#include "bells/core/RingerStateFile.h"
#include "bells/core/TimedNotices.h"
#include "cli/Json.h"
#include "platform/ClockSync.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/SoundOutput.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "schedule/core/SilentDays.h"
#include "schedule/core/Timetables.h"
#include "settings/core/Password.h"
#include "settings/core/ProgramOptions.h"
#include "speech/core/SpeechFiles.h"
#ifdef TOLVANE_WITH_WEB
#include "web/WebService.h"
#endif

namespace tolvane::cli {

namespace {

bool contains(const std::string& line, const char* piece) {
    return line.find(piece) != std::string::npos;
}

// The process ringing dir, if any, and the state it published (none from an older copy).
struct Ringing {
    RingerProcess process;
    std::optional<RingerState> state;
};

Ringing ringingOf(const std::string& dir, const std::vector<std::string>& log) {
    Ringing ringing;
    const std::string pid = RingerLock::holder(dir);
    long number = 0;
    try {
        number = pid.empty() ? 0 : std::stol(pid);
    } catch (...) {
        number = 0;
    }
    if (!processIsRunning(number)) return ringing;
    ringing.process.pid = pid;
    if (auto state = readRingerState(*FileSystem::platform(), dir, pid); state.isOk()) {
        ringing.state = std::move(state).value();
        ringing.process.planRunning = ringing.state->plan == PlanState::kRunning;
    } else {
        ringing.process.planRunning = planRunsByLog(log);
    }
    return ringing;
}

std::vector<std::string> problemsOf(const ClockSync& clock, const OutputReport& output,
                                    const std::string& chosenOutput,
                                    const std::vector<UnplayableMusic>& music) {
    std::vector<std::string> problems;
    if (const std::string said = clockProblem(clock); !said.empty()) problems.push_back(said);
    if (const std::string said = outputProblem(output, chosenOutput); !said.empty())
        problems.push_back(said);
    std::vector<std::string> said;
    for (const UnplayableMusic& u : music) {
        const std::string line = unplayableSaid(u);
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

// Bells whose words have no file yet: a ringer started makes them, and until then says them too.
std::vector<std::string> speechMissingIn(const std::string& dir) {
    TableDatabase db;
    if (!openTablesForReading(db, dir).isOk()) return {};
    const SpeechVoiceChoice choice = speechVoiceChoice(db);
    std::vector<std::string> missing;
    for (const SpokenBell& bell : spokenBells(db))
        if (!FileSystem::platform()->exists(speechFilePath(dir, bell.text, choice)))
            missing.push_back(unmadeSpeechSaid({bell, uiText("StatusCommand", "还没有做好")}));
    return missing;
}

std::vector<std::string> silentDaysIn(const std::string& dir, const Clock& clock) {
    TableDatabase db;
    if (!openTablesForReading(db, dir).isOk()) return {};
    return silentDayProblems(db, dateText(clock.toLocal(clock.nowMs() / 1000)));
}

// The web page as the ringer serves it: its address and certificate fingerprint; empty with a
// problem when it is asked for but refused, all empty when it is off.
struct WebPageState {
    std::string address;
    std::string fingerprint;
    std::string problem;
};

WebPageState webPageOf(const std::string& dir, const ProgramOptions& options) {
    WebPageState web;
    if (options.webPort == 0) return web;
#ifdef TOLVANE_WITH_WEB
    TableDatabase db;
    bool passwordSet = false;
    if (openTablesForReading(db, dir).isOk())
        if (auto hash = readPasswordHash(db); hash.isOk()) passwordSet = !hash.value().empty();
    web.problem = webPageRefusal(options, passwordSet);
    if (!web.problem.empty()) return web;
    auto certificate = readCertificate(dir, options.webCertificate, options.webKey);
    if (certificate.isOk()) {
        web.address = webAddressOf(certificate.value(), options.webPort);
        web.fingerprint = certificate.value().fingerprint;
    } else if (certificate.status().code() != Status::Code::kNotFound) {
        web.problem =
            fillIn(uiText("WebPage", "网页没有开启：%1"), {certificate.status().message()});
    }
#else
    (void)dir;
    web.problem = uiText("WebPage", "网页没有开启：这个版本不提供网页");
#endif
    return web;
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

std::string webRefusalByLog(const std::vector<std::string>& lines) {
    static constexpr char kRefused[] = "网页没有开启：";
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (const size_t at = line->find(kRefused); at != std::string::npos)
            return line->substr(at);
        if (contains(*line, "网页已开启：") || contains(*line, "网页已关闭") ||
            contains(*line, "程序启动：") || contains(*line, "无窗口打铃启动："))
            return {};
    }
    return {};
}

std::string lastHeardLine(const std::vector<std::string>& lines) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (contains(*line, "铃声响起：")) return *line;
    return {};
}

std::string nextBell(const std::string& dir, const Clock& clock) {
    return scheduleOf(dir, clock).next;
}

Schedule scheduleOf(const std::string& dir, const Clock& clock) {
    TableDatabase db;
    if (!openTablesForReading(db, dir).isOk()) return {};
    Schedule schedule;
    if (const auto next = nextBellOf(db, clock))
        schedule.next = dateText(next->day) + " " + next->bell.start + " " + next->bell.music;
    const RingDay today = ringDayOf(db, clock.toLocal(clock.nowMs() / 1000));
    if (!today.timetableLine.empty()) {
        schedule.timetable = today.timetable.name;
        schedule.why = timetableReason(timetablePlan(db), today.timetable);
    }
    return schedule;
}

int statusCommand(const std::string& dir, bool json, std::ostream& out, std::ostream& err) {
    auto options = readProgramOptions(*FileSystem::platform(), dir);
    if (!options.isOk()) {
        err << "tolvanectl: " << options.status().message() << "\n";
        return 1;
    }
    const int offset = options.value().clockOffsetSeconds;
    const std::vector<std::string> log = readRingLog(dir);
    const Ringing ringing = ringingOf(dir, log);
    const RingerProcess& ringer = ringing.process;
    const SystemClock systemClock;
    OffsetClock schoolClock(systemClock);
    schoolClock.setOffsetSeconds(offset);
    const Schedule schedule = scheduleOf(dir, schoolClock);
    const std::string& next = schedule.next;
    const ClockSync clock = readClockSync();
    const OutputReport output = readOutput(options.value().output);
    const std::string heard = lastHeardLine(log);
    // 广播通知 kept for later today, as the ringer keeps them beside the tables.
    const std::vector<TimedNotice> notices = ringer.pid.empty()
                                                 ? std::vector<TimedNotice>{}
                                                 : readTimedNotices(*FileSystem::platform(), dir);
    std::vector<std::string> problems;
    WebPageState web;
    if (ringing.state) {
        // What the ringer itself says: its output, its clock check, its page, its music.
        for (const RingerProblem& p : ringing.state->problems) problems.push_back(p.text);
        web.address = ringing.state->webAddress;
        web.fingerprint = ringing.state->webFingerprint;
    } else {
        problems = silentDaysIn(dir, schoolClock);
        const std::vector<std::string> more =
            problemsOf(clock, output, options.value().output, unplayableIn(dir));
        problems.insert(problems.end(), more.begin(), more.end());
        const std::vector<std::string> speech = speechMissingIn(dir);
        problems.insert(problems.end(), speech.begin(), speech.end());
        web = webPageOf(dir, options.value());
        if (const std::string refused = webRefusalByLog(log);
            web.problem.empty() && !ringer.pid.empty() && !refused.empty()) {
            web = {};
            web.problem = refused;
        }
        if (!web.problem.empty()) problems.push_back(web.problem);
    }
    // The bell playing, as only a ringer that publishes its state can tell.
    std::optional<std::string> playing;
    if (ringing.state)
        playing = !ringing.state->playing ? std::string()
                                          : timeText(ringing.state->playing->start) + " " +
                                                ringing.state->playing->music +
                                                (ringing.state->playing->end.empty()
                                                     ? std::string()
                                                     : " until " + ringing.state->playing->end);
    const bool portAvailable = !output.state.portUnplugged;
    // Mute, level and port of an output that is not there, or that the system does not describe,
    // would be made up.
    const bool stateTold = output.known && output.present && output.stateKnown;
    if (json) {
        out << "{\"ringer\": "
            << (ringer.pid.empty()
                    ? std::string("null")
                    : "{\"pid\": " + ringer.pid + ", \"plan\": " +
                          jsonString(*ringer.planRunning ? "running" : "paused") + "}")
            << ", \"bell_playing\": "
            << (!playing || playing->empty() ? "null" : jsonString(*playing))
            << ", \"ringing_now\": "
            << (!ringing.state || ringing.state->ringingNow.empty()
                    ? std::string("null")
                    : "{\"music\": " + jsonString(ringing.state->ringingNow) +
                          ", \"repeats\": " + jsonBool(ringing.state->ringingNowRepeats) + "}")
            << ", \"next_bell\": " << (next.empty() ? "null" : jsonString(next))
            << ", \"timetable\": "
            << (schedule.timetable.empty() ? std::string("null")
                                           : "{\"name\": " + jsonString(schedule.timetable) +
                                                 ", \"why\": " + jsonString(schedule.why) + "}")
            << ", \"clock\": {\"synchronized\": "
            << (clock.known ? jsonBool(clock.synchronised) : "null")
            << ", \"offset_seconds\": " << offset
            << "}, \"output\": {\"name\": " << jsonString(output.name)
            << ", \"present\": " << (output.known ? jsonBool(output.present) : "null")
            << ", \"muted\": " << (stateTold ? jsonBool(output.state.muted) : "null")
            << ", \"volume_percent\": "
            << (stateTold ? std::to_string(output.state.volumePercent) : "null")
            << ", \"port_available\": " << (stateTold ? jsonBool(portAvailable) : "null")
            << "}, \"web\": "
            << (options.value().webPort == 0
                    ? std::string("null")
                    : "{\"port\": " + std::to_string(options.value().webPort) + ", \"address\": " +
                          (web.address.empty() ? "null" : jsonString(web.address)) +
                          ", \"fingerprint\": " +
                          (web.fingerprint.empty() ? "null" : jsonString(web.fingerprint)) + "}")
            << ", \"last_bell_heard\": " << (heard.empty() ? "null" : jsonString(heard))
            << ", \"notices\": [";
        for (size_t i = 0; i < notices.size(); ++i)
            out << (i ? ", " : "") << "{\"at\": " << jsonString(timeText(notices[i].at))
                << ", \"text\": " << jsonString(notices[i].text)
                << ", \"times\": " << notices[i].times << "}";
        out << "], \"problems\": [";
        for (size_t i = 0; i < problems.size(); ++i)
            out << (i ? ", " : "") << jsonString(problems[i]);
        out << "]}\n";
        return 0;
    }
    out << "ringer: "
        << (ringer.pid.empty() ? "none"
                               : "process " + ringer.pid + ", plan " +
                                     (*ringer.planRunning ? "running" : "paused"))
        << (playing ? "\nbell playing: " + (playing->empty() ? "none" : *playing) : "")
        << (ringing.state && !ringing.state->ringingNow.empty()
                ? "\nringing now: " + ringing.state->ringingNow +
                      (ringing.state->ringingNowRepeats ? ", repeated until stopped" : "")
                : "")
        << "\nnext bell: " << (next.empty() ? "none within two weeks" : next)
        << (schedule.timetable.empty()
                ? std::string()
                : "\ntimetable today: " + schedule.timetable + " (" + schedule.why + ")")
        << "\nclock: "
        << (!clock.known         ? "not told by the system"
            : clock.synchronised ? "synchronised"
                                 : "not synchronised")
        << ", offset " << offset << " s\noutput: ";
    // A ringer of another session or a service hears an output this process may not see: what
    // it says of its own output goes first.
    const RingerProblem* ringerOutput = nullptr;
    if (ringing.state)
        for (const RingerProblem& p : ringing.state->problems)
            if (p.kind == RingerProblemKind::kOutput) ringerOutput = &p;
    if (ringing.state && (!output.known || !output.present))
        out << (ringerOutput ? "the ringer's: " + ringerOutput->text
                             : std::string("the ringer's, which it hears no problem with (this "
                                           "process cannot see it)"));
    else if (!output.known)
        out << "not told by the system";
    else if (!output.present)
        out << (options.value().output.empty() ? "none" : options.value().output + ", missing");
    else if (!output.stateKnown)
        out << output.name << ", mute and volume not told by the system";
    else
        out << output.name << (output.state.muted ? ", muted" : "") << ", volume "
            << output.state.volumePercent << " %" << (portAvailable ? "" : ", port unplugged");
    out << "\nweb page: ";
    if (options.value().webPort == 0)
        out << "off";
    else if (!web.address.empty())
        out << web.address << ", certificate fingerprint (SHA-256) " << web.fingerprint;
    else
        out << "not served";
    out << "\nlast bell heard: " << (heard.empty() ? "none in the ring log" : heard);
    for (const TimedNotice& n : notices)
        out << "\nnotice later today: " << timeText(n.at) << " " << n.text
            << (n.times > 1 ? " (" + std::to_string(n.times) + " times)" : "");
    out << "\nproblems:" << (problems.empty() ? " none" : "") << "\n";
    for (const std::string& p : problems) out << "  " << p << "\n";
    return 0;
}

}  // namespace tolvane::cli
