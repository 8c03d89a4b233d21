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

}  // namespace tolvane
