// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlanCommand.h"

#include <filesystem>
#include <ostream>

#include "base/PathText.h"
#include "bells/core/ClockTick.h"
#include "bells/core/RingEngine.h"
#include "bells/core/RingLog.h"
#include "schedule/core/Schema.h"
#include "schedule/core/TimetableRule.h"
#include "settings/core/ProgramOptions.h"
#include "settings/core/Settings.h"

namespace tolvane::cli {

namespace {

// Parses "YYYY-MM-DD HH:MM:SS" into seconds of simulated (zone-less) time.
bool parseMoment(const std::string& text, int64_t* seconds) {
    if (text.size() < 12 || text[10] != ' ') return false;
    const std::optional<LocalTime> day = parseDate(std::string_view(text).substr(0, 10));
    const std::optional<int> second = parseTimeOfDay(std::string_view(text).substr(11));
    if (!day || !second) return false;
    *seconds = civilToEpochSeconds(*day) + *second;
    return true;
}

std::string momentText(const LocalTime& t) {
    return dateText(t) + " " + timeText(t);
}

// Prints what the ringer asks of the sound and the power switch, and what it warns of (a change
// of the clock and the bells it passed over).
class Recorder final : public BellSound, public PowerOff, public RingLog {
public:
    explicit Recorder(std::ostream& out) : m_out(out) {}
    // The system's second; with a clock offset, the school's time it is after it.
    void setMoment(const LocalTime& system, const LocalTime& school, int offsetSeconds) {
        m_moment = momentText(system);
        if (offsetSeconds == 0) return;
        m_suffix = " (school time " + timeText(school) + ", clock offset " +
                   (offsetSeconds > 0 ? "+" : "") + std::to_string(offsetSeconds) + " s)";
    }
    void start(const std::string& music, const std::string& speech) override {
        m_out << m_moment << " start " << music;
        if (!speech.empty()) m_out << " then says \"" << speech << "\"";
        m_out << m_suffix << "\n";
    }
    void stop() override { m_out << m_moment << " stop" << m_suffix << "\n"; }
    void requestPowerOff() override { m_out << m_moment << " power-off" << m_suffix << "\n"; }
    void warn(const std::string& line) override { m_out << m_moment << " log " << line << "\n"; }
    // Of the ringer's notes, the day's 作息表: which bells the day's lines come from.
    void note(const std::string& line) override {
        if (line.rfind(kTimetableLinePrefix, 0) == 0) warn(line);
    }
    // Said by start() above.
    void bellStarted(const LocalTime&, const std::string&) override {}

private:
    std::ostream& m_out;
    std::string m_moment;
    std::string m_suffix;
};

// Seconds of the machine's clock, set one by one, in its time zone: the plan then goes through
// the days the clock changes as the ringer does.
class PlanClock final : public Clock {
public:
    void setEpochSecond(int64_t second) { m_ms = second * 1000; }
    int64_t nowMs() const override { return m_ms; }
    LocalTime toLocal(int64_t epochSecond) const override { return m_zone.toLocal(epochSecond); }

private:
    SystemClock m_zone;
    int64_t m_ms = 0;
};

}  // namespace

int planCommand(const std::string& dir, const std::string& from, const std::string& to,
                std::ostream& out, std::ostream& err) {
    int64_t firstCivil, lastCivil;
    if (!parseMoment(from, &firstCivil) || !parseMoment(to, &lastCivil) || lastCivil < firstCivil) {
        err << "tolvanectl: plan needs --from and --to as \"YYYY-MM-DD HH:MM:SS\", --from first\n";
        return 2;
    }
    // Read-only: a dry run never changes the tables.
    TableDatabase db;
    if (Status s = openTablesForReading(db, dir); !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    if (Status s = selectSettingsRecord(db); !s.isOk()) {
        err << "tolvanectl: " << dir << ": " << s.message() << "\n";
        return 1;
    }
    auto time = db.readText(schema::kShutdownTime);
    auto flag = db.readLogical(schema::kAutoShutdown);
    if (!time.isOk() || !flag.isOk()) {
        err << "tolvanectl: " << dir << ": "
            << (time.isOk() ? flag.status() : time.status()).message() << "\n";
        return 1;
    }
    const ShutdownPlan shutdown{flag.value(), time.value()};
    auto options = readProgramOptions(*FileSystem::platform(), dir);
    if (!options.isOk()) {
        err << "tolvanectl: " << options.status().message() << "\n";
        return 1;
    }
    // --from and --to are the system's clock; the bells follow the school's.
    const int offset = options.value().clockOffsetSeconds;

    // The ringer's own engine, so the plan follows its rules for a clock that jumps (the spring
    // hour's bells named as not rung, the autumn hour's not rung twice).
    Recorder recorder(out);
    PlanClock clock;
    OffsetClock school(clock);
    school.setOffsetSeconds(offset);
    RingEngine engine(db, school, recorder, recorder);
    engine.setLog(recorder);
    engine.shutdownPlan() = shutdown;
    const int64_t last = localToEpochSeconds(civilFromEpochSeconds(lastCivil));
    for (int64_t second = localToEpochSeconds(civilFromEpochSeconds(firstCivil)); second <= last;
         ++second) {
        clock.setEpochSecond(second);
        recorder.setMoment(clock.toLocal(second), clock.toLocal(second + offset), offset);
        if (Status s = engine.processDueSeconds(); !s.isOk()) {
            err << "tolvanectl: " << dir << ": " << s.message() << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace tolvane::cli
