#include "textio/text_cut.h"

#include <gtest/gtest.h>

#include <string>

namespace corelith {
namespace {

TEST(TextCutTest, ShortTextStaysWhole) {
    EXPECT_EQ(CutText("G. ruber", 63), "G. ruber");
    EXPECT_EQ(CutText("", 0), "");
}

TEST(TextCutTest, CutsAtTheLimit) {
    EXPECT_EQ(CutText(std::string(70, 'x'), 63), std::string(63, 'x'));
}

TEST(TextCutTest, NeverSplitsAUtf8Character) {
    // "ü" is two bytes and "€" three: a cut inside either moves back to its lead byte.
    EXPECT_EQ(CutText("abcü", 4), "abc");
    EXPECT_EQ(CutText("abcü", 5), "abcü");
    EXPECT_EQ(CutText("ab€x", 3), "ab");
    EXPECT_EQ(CutText("ab€x", 4), "ab");
    EXPECT_EQ(CutText("ab€x", 5), "ab€");
}

TEST(TextCutTest, OneByteEncodingsAreCutWhereAsked) {
    // Latin-1 non-breaking blanks (0xA0) look like continuation bytes, but no lead byte
    // comes before them.
    const std::string latin1 = "abc\xA0\xA0";
    EXPECT_EQ(CutText(latin1, 4), "abc\xA0");
}

} // namespace
} // namespace corelith
