// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Time spinner rule, shared by all fifteen spinners of the three windows.

#include <string>
#include <string_view>

namespace tolvane {

// The Time spinner: the edit box's text after a press of the up (+1) or down (-1) arrow, for
// a field whose values run from 0 to max (23 or 59). The value is read from the text's leading
// digits after blanks and a sign (none: 0); a typed value outside 0..max is first clamped into
// range, so the result is always two digits.
std::string spinTimeText(std::string_view text, int max, int direction);

}  // namespace tolvane
