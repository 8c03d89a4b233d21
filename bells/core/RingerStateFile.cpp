// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingerStateFile.h"

// As in ProgramOptions.cpp: bytes in, bytes out (the texts are UTF-8), the template's bodies
// instantiated here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "base/PathText.h"

namespace tolvane {

namespace {

constexpr char kRinger[] = "ringer";
constexpr char kProblems[] = "problems";

constexpr std::array<std::pair<RingerProblemKind, const char*>, kProblemKinds> kKindNames{{
    {RingerProblemKind::kScheduleReadOnly, "schedule_read_only"},
    {RingerProblemKind::kScheduleDamaged, "schedule_damaged"},
    {RingerProblemKind::kSilentDays, "silent_days"},
    {RingerProblemKind::kOutput, "output"},
    {RingerProblemKind::kClock, "clock"},
    {RingerProblemKind::kWeb, "web"},
    {RingerProblemKind::kMusic, "music"},
    {RingerProblemKind::kSpeech, "speech"},
    {RingerProblemKind::kMetrics, "metrics"},
}};

}  // namespace

const std::array<std::pair<RingerProblemKind, const char*>, kProblemKinds>& problemKindNames() {
    return kKindNames;
}

namespace {

// One line each: a music's name may hold a line break, which would end the value early.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

bool parseTime(const char* text, LocalTime* t) {
    const std::optional<int> second = parseTimeOfDay(text);
    if (second) *t = atSecondOfDay(*t, *second);
    return second.has_value();
}

}  // namespace

Status writeRingerState(FileSystem& fs, const std::string& folder, const std::string& pid,
                        const RingerState& state) {
    CSimpleIniA ini;
    ini.SetValue(kRinger, "pid", pid.c_str());
    ini.SetValue(kRinger, "plan", state.plan == PlanState::kRunning ? "running" : "paused");
    if (state.playing) {
        ini.SetValue(kRinger, "playing_start", timeText(state.playing->start).c_str());
        ini.SetValue(kRinger, "playing_music", oneLine(state.playing->music).c_str());
        ini.SetValue(kRinger, "playing_end", oneLine(state.playing->end).c_str());
    }
    if (!state.ringingNow.empty()) {
        ini.SetValue(kRinger, "ringing_now", oneLine(state.ringingNow).c_str());
        ini.SetValue(kRinger, "ringing_now_repeats", state.ringingNowRepeats ? "yes" : "no");
    }
    ini.SetLongValue(kRinger, "clock_offset_seconds", state.clockOffsetSeconds);
    ini.SetLongValue(kRinger, "unplayable_bells", static_cast<long>(state.unplayableBells));
    ini.SetValue(kRinger, "web_address", oneLine(state.webAddress).c_str());
    ini.SetValue(kRinger, "web_fingerprint", oneLine(state.webFingerprint).c_str());
    for (size_t i = 0; i < state.problems.size(); ++i) {
        const RingerProblem& p = state.problems[i];
        const char* kind = "";
        for (const auto& [k, name] : kKindNames)
            if (k == p.kind) kind = name;
        ini.SetValue(kProblems, ("problem" + std::to_string(i + 1)).c_str(),
                     (std::string(kind) + " " + oneLine(p.text)).c_str());
    }
    std::string bytes;
    if (ini.Save(bytes) < 0) return Status::ioError("the ringer's state could not be written out");
    return replaceWholeFile(fs, joinPath(folder, kRingerStateFile), bytes);
}

Result<RingerState> readRingerState(FileSystem& fs, const std::string& folder,
                                    const std::string& pid) {
    const std::string path = joinPath(folder, kRingerStateFile);
    auto bytes = readWholeFile(fs, path);
    if (!bytes.isOk()) return bytes.status();
    CSimpleIniA ini;
    if (ini.LoadData(bytes.value()) < 0) return Status::corruption(path + ": not an INI file");
    if (pid.empty() || pid != ini.GetValue(kRinger, "pid", ""))
        return Status::notFound(path + ": published by another process than " + pid);
    RingerState state;
    const std::string plan = ini.GetValue(kRinger, "plan", "");
    if (plan != "running" && plan != "paused")
        return Status::corruption(path + ": no plan (running or paused)");
    state.plan = plan == "running" ? PlanState::kRunning : PlanState::kPaused;
    if (const char* start = ini.GetValue(kRinger, "playing_start")) {
        RingerState::Bell bell;
        if (!parseTime(start, &bell.start))
            return Status::corruption(path + ": playing_start is not a time of day");
        bell.music = ini.GetValue(kRinger, "playing_music", "");
        bell.end = ini.GetValue(kRinger, "playing_end", "");
        state.playing = std::move(bell);
    }
    state.ringingNow = ini.GetValue(kRinger, "ringing_now", "");
    state.ringingNowRepeats =
        std::string(ini.GetValue(kRinger, "ringing_now_repeats", "")) == "yes";
    state.clockOffsetSeconds =
        static_cast<int>(ini.GetLongValue(kRinger, "clock_offset_seconds", 0));
    state.unplayableBells =
        static_cast<size_t>(std::max(0L, ini.GetLongValue(kRinger, "unplayable_bells", 0)));
    state.webAddress = ini.GetValue(kRinger, "web_address", "");
    state.webFingerprint = ini.GetValue(kRinger, "web_fingerprint", "");
    for (size_t i = 1;; ++i) {
        const char* line = ini.GetValue(kProblems, ("problem" + std::to_string(i)).c_str());
        if (!line) break;
        const std::string text = line;
        const size_t space = text.find(' ');
        const std::string kind = text.substr(0, space);
        bool known = false;
        for (const auto& [k, name] : kKindNames)
            if (kind == name && space != std::string::npos) {
                state.problems.push_back({k, text.substr(space + 1)});
                known = true;
            }
        if (!known) return Status::corruption(path + ": problem" + std::to_string(i) + " unknown");
    }
    return state;
}

void removeRingerState(FileSystem& fs, const std::string& folder) {
    fs.remove(joinPath(folder, kRingerStateFile));
}

}  // namespace tolvane
