#include "ui/core/ClockDisplay.h"

#include <cstdio>

#include "ringing/core/ClockTick.h"

namespace tolvane {

std::array<int, 8> clockGlyphs(int hour, int minute, int second) {
    constexpr int kColon = 10;
    const auto tens = [](int v) { return v > 9 ? (v - v % 10) / 10 : 0; };
    const auto units = [](int v) { return v > 9 ? v % 10 : v; };
    return {tens(hour),    units(hour), kColon,       tens(minute),
            units(minute), kColon,      tens(second), units(second)};
}

std::string dateLabelText(const LocalTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日 ", t.year, t.month, t.day);
    return buf + std::string(weekdayFieldName(t.weekday));
}

}  // namespace tolvane
