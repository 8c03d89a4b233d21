// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/core/ClockDisplay.h"

#include <cstdio>

#include "base/UiText.h"

namespace tolvane {

std::array<int, 8> clockGlyphs(int hour, int minute, int second) {
    constexpr int kColon = 10;
    const auto tens = [](int v) { return v > 9 ? (v - v % 10) / 10 : 0; };
    const auto units = [](int v) { return v > 9 ? v % 10 : v; };
    return {tens(hour),    units(hour), kColon,       tens(minute),
            units(minute), kColon,      tens(second), units(second)};
}

std::string dateLabelText(const LocalTime& t) {
    const size_t mondayFirst = static_cast<size_t>((t.weekday + 6) % 7);
    const auto twoDigits = [](int n) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", n % 100);
        return std::string(text);
    };
    // %5 and %6 are the month and day in two digits, for languages that write dates so
    // (English: "Wed 2026-12-09").
    return fillIn(uiText("ClockDisplay", "%1年%2月%3日 %4"),
                  {std::to_string(t.year), std::to_string(t.month), std::to_string(t.day),
                   weekdayName(mondayFirst), twoDigits(t.month), twoDigits(t.day)});
}

}  // namespace tolvane
