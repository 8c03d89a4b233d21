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

}  // namespace
}  // namespace tolvane
