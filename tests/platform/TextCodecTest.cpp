// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/TextCodec.h"

namespace tolvane {
namespace {

TEST(TextCodecTest, GbkCharactersKeepTheirGbkBytes) {
    EXPECT_EQ("\xD6\xDC\xD2\xBB", utf8ToGbk("周一").value());
    EXPECT_EQ("周一 08:00", gbkToUtf8("\xD6\xDC\xD2\xBB 08:00"));
    // Outside GBK: a four-byte GB18030 sequence, and back.
    const std::string bell = utf8ToGbk("\xF0\x9F\x94\x94").value();
    EXPECT_EQ(4u, bell.size());
    EXPECT_EQ("\xF0\x9F\x94\x94", gbkToUtf8(bell));
}

TEST(TextCodecTest, DamagedBytesBecomeReplacementMarks) {
    EXPECT_EQ(
        "a\xEF\xBF\xBD"
        "b",
        gbkToUtf8("a\xFF"
                  "b"));
    EXPECT_EQ("周\xEF\xBF\xBD", gbkToUtf8("\xD6\xDC\xD2"));  // cut in half
    EXPECT_FALSE(utf8ToGbk("\xED\xA0\x80").isOk());          // a surrogate
}

TEST(TextCodecTest, PrefixEndsOnACharacterBoundary) {
    const std::string mixed =
        "ab\xD6\xDC"
        "c\x81\x30\x81\x30";  // a, b, 周, c, 4-byte
    EXPECT_EQ(2u, gbkPrefixLength(mixed, 3));
    EXPECT_EQ(4u, gbkPrefixLength(mixed, 4));
    EXPECT_EQ(5u, gbkPrefixLength(mixed, 8));
    EXPECT_EQ(9u, gbkPrefixLength(mixed, 9));
    EXPECT_EQ(9u, gbkPrefixLength(mixed, 100));
}

// What breaks a line or turns a name around is refused where it would be stored, and written
// out visibly where it is shown: C0 and DEL, NEL and the rest of C1, the line and paragraph
// separators, the direction controls.
TEST(TextCodecTest, LineBreakersAndDirectionControlsAreRefusedAndShownEscaped) {
    for (const char* unsafe : {"a\nb", "a\x7f", "a\u0085b", "a\u2028b", "a\u2029", "\u202egnp.mp3",
                               "a\u2066b", "a\u200fb", "a\u061cb"})
        EXPECT_FALSE(unstorableTextReason(unsafe).empty()) << unsafe;
    for (const char* fine : {"上课\t铃.mp3", "a\u2027b", "a\u2030", "é\u00a0x", "a\u202fb"})
        EXPECT_EQ(unstorableTextReason(fine), "") << fine;
    EXPECT_NE(unstorableTextReason("x\u2028").find("U+2028"), std::string::npos);
    EXPECT_EQ(withControlsEscaped("a\u2028b\u0085c\u202ed\re\t上"),
              "a\\u2028b\\u0085c\\u202Ed\\x0De\t上");
}

}  // namespace
}  // namespace tolvane
