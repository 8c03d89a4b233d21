// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tolvane {

namespace {

LocalTime fromTm(const std::tm& tm) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.weekday = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    return t;
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

int64_t SystemClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::toLocal(int64_t epochSecond) const {
    const auto t = static_cast<std::time_t>(epochSecond);
    std::tm tm{};
    // base/ sits below platform/: the C library's two spellings of one call are chosen here.
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return fromTm(tm);
}

int64_t localToEpochSeconds(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;  // the zone's rules decide
    return static_cast<int64_t>(std::mktime(&tm));
}

LocalTime ManualClock::toLocal(int64_t epochSecond) const {
    return civilFromEpochSeconds(epochSecond);
}

LocalTime civilFromEpochSeconds(int64_t epochSecond) {
    using namespace std::chrono;
    const int64_t days = floorDiv(epochSecond, 86400);
    const int64_t secs = epochSecond - days * 86400;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    LocalTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.weekday = static_cast<int>(weekday{sys_days{std::chrono::days{days}}}.c_encoding());
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

int64_t civilToEpochSeconds(int year, int month, int day, int hour, int minute, int second) {
    using namespace std::chrono;
    const sys_days d{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                     std::chrono::day{static_cast<unsigned>(day)}};
    return static_cast<int64_t>(d.time_since_epoch().count()) * 86400 + hour * 3600 + minute * 60 +
           second;
}

std::string timeText(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour % 100, t.minute % 100,
                  t.second % 100);
    return text;
}

std::string dateText(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year % 10000, t.month % 100, t.day % 100);
    return text;
}

namespace {

// A whole number of one to maxDigits digits, at most max; none otherwise.
std::optional<int> piece(std::string_view text, size_t maxDigits, int max) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> parseTimeOfDay(std::string_view text) {
    const size_t first = text.find(':');
    if (first == std::string_view::npos) return std::nullopt;
    const size_t second = text.find(':', first + 1);
    const auto hours = piece(text.substr(0, first), 2, 23);
    const auto minutes =
        piece(text.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                      : second - first - 1),
              2, 59);
    const auto seconds = second == std::string_view::npos ? std::optional<int>(0)
                                                          : piece(text.substr(second + 1), 2, 59);
    if (!hours || !minutes || !seconds) return std::nullopt;
    return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<LocalTime> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto y = piece(text.substr(0, 4), 4, 9999), m = piece(text.substr(5, 2), 2, 12),
               d = piece(text.substr(8, 2), 2, 31);
    if (!y || !m || !d || text.substr(5, 2).size() != 2 || *m < 1 || *d < 1) return std::nullopt;
    const LocalTime t = civilFromEpochSeconds(civilToEpochSeconds(*y, *m, *d, 0, 0, 0));
    if (t.year != *y || t.month != *m || t.day != *d) return std::nullopt;  // 2027-02-29
    return t;
}

LocalTime atSecondOfDay(LocalTime t, int secondOfDay) {
    t.hour = secondOfDay / 3600;
    t.minute = secondOfDay / 60 % 60;
    t.second = secondOfDay % 60;
    return t;
}

}  // namespace tolvane
