// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a voice is given to read: a bell's or a notice's text with its numbers, times, dates,
// percentages and Latin letters written out in Chinese as a Chinese listener expects to hear them
// ("14:30" 十四点三十分, "2:00" 两点, "第3节" 第三节, "2027年" 二〇二七年, "50%" 百分之五十).
// No voice reads these right by itself: Debian's Mandarin voice reads "2:00" as 二零零.

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

// text (UTF-8) with everything above written out; the rest as it is.
std::string speakableText(std::string_view text);

// A whole number as it is read: 15 十五, 105 一百零五, 10000 一万.
std::string chineseNumber(uint64_t n);

}  // namespace tolvane
