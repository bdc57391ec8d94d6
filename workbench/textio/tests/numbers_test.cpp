#include "textio/numbers.h"

#include <gtest/gtest.h>

#include <clocale>

namespace corelith {
namespace {

float Float(const char* text, float fallback = -1.0f) {
    float value = fallback;
    ParseLeadingFloat(text, value);
    return value;
}

TEST(NumbersTest, ReadsDecimalNumbersFromTheStart) {
    EXPECT_FLOAT_EQ(Float("12.5"), 12.5f);
    EXPECT_FLOAT_EQ(Float("  -3.25e2xyz"), -325.0f);
    EXPECT_FLOAT_EQ(Float("+.5"), 0.5f);
    EXPECT_FLOAT_EQ(Float("7."), 7.0f);
    EXPECT_FLOAT_EQ(Float("12,5"), 12.0f); // a comma ends the number
    EXPECT_FLOAT_EQ(Float("2e"), 2.0f);
    EXPECT_FLOAT_EQ(Float("1e-60"), 0.0f); // too small for a float
    EXPECT_EQ(LeadingNumberLength(" 1.5e3;", true), 6u);
    EXPECT_EQ(LeadingNumberLength("1.5", false), 1u);
}

TEST(NumbersTest, InfinityNanHexAndHugeAreNotNumbers) {
    for (const char* text :
         {"inf", "-INF", "nan", "NaN(1)", "", " ", "-", ".", "e5", "x1", "1e60"}) {
        float value = 42.0f;
        EXPECT_FALSE(ParseLeadingFloat(text, value)) << text;
        EXPECT_EQ(value, 42.0f) << text;
    }
    // The hexadecimal form is read as the decimal 0 it begins with, never as 16.
    EXPECT_FLOAT_EQ(Float("0x10"), 0.0f);
    EXPECT_FLOAT_EQ(Float("0x1p4"), 0.0f);
}

TEST(NumbersTest, WholeNumbers) {
    int value = -1;
    EXPECT_TRUE(ParseLeadingInt(" 19990518\r", value));
    EXPECT_EQ(value, 19990518);
    EXPECT_TRUE(ParseLeadingInt("+12.9", value));
    EXPECT_EQ(value, 12);
    value = 5;
    EXPECT_FALSE(ParseLeadingInt("word", value));
    EXPECT_FALSE(ParseLeadingInt("99999999999", value));
    EXPECT_FALSE(ParseLeadingInt("0x", value) && value != 0);
    EXPECT_EQ(value, 0);
}

TEST(NumbersTest, IgnoresTheProcessLocale) {
    // Without a German locale installed this still checks that the C locale is read.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_FLOAT_EQ(Float("1.5"), 1.5f);
    EXPECT_FLOAT_EQ(Float("1,5"), 1.0f);
    if (previous != nullptr)
        std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace corelith
