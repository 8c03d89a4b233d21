// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wall clock, behind an interface so that tests and tolvanectl's dry run can drive the
// ringing engine with simulated time.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// A local calendar date and time of day, to the second.
struct LocalTime {
    int year = 1970;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int weekday = 4;  // 0 = Sunday .. 6 = Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const LocalTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since 1970-01-01 00:00 UTC, read from a precise source.
    virtual int64_t nowMs() const = 0;
    // The local date and time of a second since the epoch.
    virtual LocalTime toLocal(int64_t epochSecond) const = 0;
};

// The machine's clock in its local time zone. Never `time()`: glibc serves it from a coarse clock
// that, just after a second boundary, may still read the previous second.
class SystemClock final : public Clock {
public:
    int64_t nowMs() const override;
    LocalTime toLocal(int64_t epochSecond) const override;
};

// A clock whose time is set by hand, with civil time taken as UTC (no time zone, no DST).
class ManualClock final : public Clock {
public:
    explicit ManualClock(int64_t ms = 0) : m_ms(ms) {}
    void setMs(int64_t ms) { m_ms = ms; }
    void advanceMs(int64_t ms) { m_ms += ms; }
    int64_t nowMs() const override { return m_ms; }
    LocalTime toLocal(int64_t epochSecond) const override;

private:
    int64_t m_ms;
};

// Another clock moved by whole seconds: the time of a school whose bells follow a clock of its own
// (an old master clock running 37 s ahead). Whole seconds keep every tick on the other clock's
// second boundary. The offset may be changed from one thread while others read it.
class OffsetClock final : public Clock {
public:
    explicit OffsetClock(const Clock& base) : m_base(base) {}
    void setOffsetSeconds(int seconds) { m_offsetMs = int64_t{seconds} * 1000; }
    int offsetSeconds() const { return static_cast<int>(m_offsetMs / 1000); }
    const Clock& base() const { return m_base; }
    int64_t nowMs() const override { return m_base.nowMs() + m_offsetMs; }
    LocalTime toLocal(int64_t epochSecond) const override { return m_base.toLocal(epochSecond); }

private:
    const Clock& m_base;
    std::atomic<int64_t> m_offsetMs{0};
};

// Seconds since the epoch of a civil date and time taken as UTC; the inverse of
// ManualClock::toLocal.
int64_t civilToEpochSeconds(int year, int month, int day, int hour, int minute, int second);
inline int64_t civilToEpochSeconds(const LocalTime& t) {
    return civilToEpochSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second);
}
// The civil date and time of seconds since the epoch taken as UTC.
LocalTime civilFromEpochSeconds(int64_t seconds);

// The second since the epoch at which the machine's local time zone shows t. A time the zone
// skips (the spring hour) gives the second it stands for after the change; a time it shows twice
// (the autumn hour), one of the two.
int64_t localToEpochSeconds(const LocalTime& t);

// Days since 1970-01-01 of t's date: the days between two dates, whatever the time zone does.
inline int64_t dayNumber(const LocalTime& t) {
    return civilToEpochSeconds(t.year, t.month, t.day, 0, 0, 0) / 86400;
}

// Seconds since midnight of t's day.
inline int secondOfDay(const LocalTime& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

// "08:05:00": two digits a piece, the only form a stored time ever matches.
std::string timeText(const LocalTime& t);
// "2026-12-09".
std::string dateText(const LocalTime& t);

// Seconds after midnight of a time of day: "8:05", "08:05" or "08:05:30" (one or two digits a
// piece; hours 0-23, minutes and seconds 0-59). None for anything else: the one reader of times
// of day, whoever wrote them.
std::optional<int> parseTimeOfDay(std::string_view text);
// The date of "2026-12-09" (its weekday set); none for anything else, such as 2027-02-29.
std::optional<LocalTime> parseDate(std::string_view text);
// t on its day at secondOfDay seconds after midnight.
LocalTime atSecondOfDay(LocalTime t, int secondOfDay);

}  // namespace tolvane
