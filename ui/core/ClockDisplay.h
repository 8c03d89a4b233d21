// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window's header shows of the time: the clock face's glyphs and the date label.

#include <array>
#include <string>

#include "base/Clock.h"

namespace tolvane {

// The eight glyphs of the clock face for a time: hour tens and units, colon (10), minute tens and
// units, colon, second tens and units; glyphs 0..9 are the digits.
std::array<int, 8> clockGlyphs(int hour, int minute, int second);

// "2013年8月26日 周一": the date, one space, the weekday's name.
std::string dateLabelText(const LocalTime& t);

}  // namespace tolvane
