// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/core/TimeSpinner.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tolvane {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// The integer at the start of text after blanks and an optional sign; 0 when there is none.
long leadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        v = std::min(v * 10 + (text[i] - '0'), 1000000L);
    return negative ? -v : v;
}

}  // namespace

std::string spinTimeText(std::string_view text, int max, int direction) {
    const int v = static_cast<int>(std::clamp(leadingInteger(text), 0L, static_cast<long>(max)));
    if (direction > 0) return v == max ? "00" : twoDigits(v + 1);
    return v == 0 ? twoDigits(max) : twoDigits(v - 1);
}

}  // namespace tolvane
