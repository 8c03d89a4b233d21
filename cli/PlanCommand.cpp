#include "cli/PlanCommand.h"

#include <filesystem>
#include <ostream>

#include "base/PathText.h"
#include "bells/core/ClockTick.h"
#include "schedule/core/Schema.h"
#include "settings/core/ProgramOptions.h"
#include "settings/core/Settings.h"

namespace tolvane::cli {

namespace {

// Parses "YYYY-MM-DD HH:MM:SS" into seconds of simulated (zone-less) time.
bool parseMoment(const std::string& text, int64_t* seconds) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
        6)
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 ||
        s < 0)
        return false;
    *seconds = civilToEpochSeconds(y, mo, d, h, mi, s);
    // Reject dates such as 02-30 that the calendar would roll over.
    const LocalTime back = ManualClock().toLocal(*seconds);
    return back.day == d && back.month == mo;
}

std::string momentText(const LocalTime& t) {
    return dateText(t) + " " + timeText(t);
}

// Prints what the tick asks of the sound and the power switch.
class Recorder final : public BellSound, public PowerOff {
public:
    explicit Recorder(std::ostream& out) : m_out(out) {}
    // The system's second; with a clock offset, the school's time it is after it.
    void setMoment(const LocalTime& system, const LocalTime& school, int offsetSeconds) {
        m_moment = momentText(system);
        if (offsetSeconds == 0) return;
        m_suffix = " (school time " + timeText(school) + ", clock offset " +
                   (offsetSeconds > 0 ? "+" : "") + std::to_string(offsetSeconds) + " s)";
    }
    void start(const std::string& music) override {
        m_out << m_moment << " start " << music << m_suffix << "\n";
    }
    void stop() override { m_out << m_moment << " stop" << m_suffix << "\n"; }
    void requestPowerOff() override { m_out << m_moment << " power-off" << m_suffix << "\n"; }

private:
    std::ostream& m_out;
    std::string m_moment;
    std::string m_suffix;
};

}  // namespace

int planCommand(const std::string& dir, const std::string& from, const std::string& to,
                std::ostream& out, std::ostream& err) {
    int64_t first, last;
    if (!parseMoment(from, &first) || !parseMoment(to, &last) || last < first) {
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

    Recorder recorder(out);
    const ManualClock civil;
    RingDayCache days;  // the school calendar, looked up once a day
    for (int64_t second = first; second <= last; ++second) {
        const LocalTime t = civil.toLocal(second + offset);
        recorder.setMoment(civil.toLocal(second), t, offset);
        if (Status s = runClockTick(db, t, days.of(db, t), shutdown, recorder, recorder);
            !s.isOk()) {
            err << "tolvanectl: " << dir << ": " << s.message() << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace tolvane::cli
