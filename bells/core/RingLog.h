// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the ringing engine tells its log, one call per event, each becoming one readable line
// ("did the 8:00 bell ring yesterday, was it heard, how late?"). This default writes nothing
// (tests, dry runs, builds without a log); bells/log/FileRingLog writes the file beside the
// tables and the systemd journal. Calls may come from the player thread: implementations are
// thread-safe, and must never block or fail the ringing.

#include <cstdint>
#include <string>

#include "base/Clock.h"

namespace tolvane {

class RingLog {
public:
    virtual ~RingLog() = default;
    // The log that writes nothing.
    static RingLog& none();

    // A line about the program: start and exit, pause, reload, power-off, the sleep inhibitor.
    virtual void note(const std::string& line) { (void)line; }
    // Something went wrong that costs sound: no output, a file skipped.
    virtual void warn(const std::string& line) { (void)line; }
    // A bell started at its scheduled second with this 音乐 value.
    virtual void bellStarted(const LocalTime& second, const std::string& music);
    // The bell's first sample reached the sound server lateMs after its second.
    virtual void bellHeard(const LocalTime& second, int64_t lateMs);
    // The bell's first sample reached an output nobody can hear, for the reason why.
    virtual void bellInaudible(const LocalTime& second, const std::string& why);
    // The bell's first sample reached the output lateMs after its second, on a system that does
    // not tell whether the output can be heard (muted, turned down): played, not known heard.
    virtual void bellPlayedUnverified(const LocalTime& second, int64_t lateMs);
    // A bell due was not rung (the clock jumped past it), said in line.
    virtual void bellSkipped(const std::string& line) { warn(line); }
    // Writes out what is queued (exit, tests).
    virtual void flush() {}

protected:
    static std::string startedLine(const LocalTime& second, const std::string& music);
    static std::string heardLine(const LocalTime& second, int64_t lateMs);
    static std::string inaudibleLine(const LocalTime& second, const std::string& why);
    static std::string unverifiedLine(const LocalTime& second, int64_t lateMs);
};

}  // namespace tolvane
