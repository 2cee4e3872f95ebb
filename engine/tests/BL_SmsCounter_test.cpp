// The composer's count at the edges where it changes: the last character that fits one message,
// the switch to UCS-2, extension characters taking two septets, and an escape pair or a
// surrogate pair never cut between two parts.
#include "engine/BL_SmsCounter.h"

#include <gtest/gtest.h>

namespace {

std::string times(const std::string &piece, size_t count)
{
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(SmsCounter, CountsUnitsPartsAndWhatIsLeft)
{
    struct Case {
        std::string text;
        bool ucs2;
        size_t units, parts, left;
    };
    const Case cases[] = {
        {"", false, 0, 1, 160},
        {times("a", 160), false, 160, 1, 0},
        {times("a", 161), false, 161, 2, 145},  // 153 + 8
        {times("€", 80), false, 160, 1, 0},     // two septets each
        {times("€", 81), false, 162, 2, 143},   // 76 pairs (152 septets), then 5 pairs
        {"a" + times("[", 80), false, 161, 2, 145},
        {times("é", 5), false, 5, 1, 155},  // é is in the GSM alphabet
        {"Привет", true, 6, 1, 64},
        {times("a", 69) + "ж", true, 70, 1, 0},
        {times("a", 70) + "ж", true, 71, 2, 63},
        {times("😀", 35), true, 70, 1, 0},  // surrogate pairs
        // The pair does not fit after 66 units of 67: it goes whole to the second part.
        {times("a", 66) + "😀" + times("b", 5), true, 73, 2, 60},
    };
    for (const Case &c : cases) {
        const SmsCount count = TSmsCounter::Count(c.text);
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_TRUE(count.valid);
        EXPECT_EQ(count.ucs2, c.ucs2);
        EXPECT_EQ(count.units, c.units);
        EXPECT_EQ(count.parts, c.parts);
        EXPECT_EQ(count.leftInPart, c.left);
    }
    EXPECT_FALSE(TSmsCounter::Count("\xC3").valid);
}

}  // namespace
