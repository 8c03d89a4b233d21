// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ui/core/ClockDisplay.h"
#include "ui/core/TimeSpinner.h"

namespace tolvane {
namespace {

TEST(TimeSpinnerTest, WrapsAndAlwaysWritesTwoDigits) {
    struct Case {
        const char* text;
        int max;
        int direction;
        const char* expected;
    };
    const Case cases[] = {
        {"59", 59, +1, "00"}, {"00", 59, -1, "59"},  {"09", 59, +1, "10"},
        {"10", 59, -1, "09"}, {"23", 23, +1, "00"},  {"00", 23, -1, "23"},
        {"", 59, +1, "01"},   {" 7x", 23, +1, "08"}, {"-5", 59, -1, "59"},  // clamped to 0 first
        {"75", 59, -1, "58"},  // clamped to 59 first, never "074"
        {"75", 59, +1, "00"}, {"+3", 59, -1, "02"},  {"999999999999", 23, -1, "22"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, spinTimeText(c.text, c.max, c.direction))
            << "\"" << c.text << "\" " << c.direction;
}

TEST(ClockGlyphsTest, TensUnitsAndColons) {
    EXPECT_EQ((std::array<int, 8>{0, 9, 10, 0, 5, 10, 0, 7}), clockGlyphs(9, 5, 7));
    EXPECT_EQ((std::array<int, 8>{2, 3, 10, 5, 9, 10, 5, 9}), clockGlyphs(23, 59, 59));
    EXPECT_EQ((std::array<int, 8>{0, 0, 10, 0, 0, 10, 0, 0}), clockGlyphs(0, 0, 0));
}

TEST(DateLabelTest, NoLeadingZerosAndTheWeekday) {
    const LocalTime t = ManualClock().toLocal(civilToEpochSeconds(2013, 8, 26, 9, 5, 7));
    EXPECT_EQ("2013年8月26日 周一", dateLabelText(t));
}

}  // namespace
}  // namespace tolvane
