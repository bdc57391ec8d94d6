#include "platform/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace corelith {
namespace {

struct Pair {
    std::string utf8;
    std::wstring wide;
};

TEST(WideText, ConvertsBothWays) {
    const Pair pairs[] = {
        {"", L""},
        {"core 1.txt", L"core 1.txt"},
        {"C:\\Daten\\Z\xC3\xBCrich\\Kern \xC3\x9F.csv", L"C:\\Daten\\Z\u00FCrich\\Kern \u00DF.csv"},
        {"\xCE\xBB-\xE6\x97\xA5\xE6\x9C\xAC", L"\u03BB-\u65E5\u672C"},
        {"\xF0\x9F\xA6\xA0", L"\U0001F9A0"}, // outside the basic plane: a surrogate pair in UTF-16
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", L"\uFFFF\U0010FFFF"}, // the last of each length
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(Widen(pair.utf8), pair.wide) << pair.utf8;
        EXPECT_EQ(Narrow(pair.wide), pair.utf8) << pair.utf8;
    }
}

TEST(WideText, EachInvalidSequenceBecomesOneReplacementCharacter) {
    const Pair pairs[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},                                     // a byte that never starts a character
        {"name\xC3", L"name\uFFFD"},                       // a character cut off at the end
        {"\xE6\x97x", L"\uFFFDx"},                         // cut off in the middle
        {"\x80\xBF", L"\uFFFD\uFFFD"},                     // continuation bytes without a start
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                     // an overlong '/'
        {"\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},           // overlong in three bytes
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
    };
    for (const Pair& pair : pairs)
        EXPECT_EQ(Widen(pair.utf8), pair.wide) << pair.utf8;
}

TEST(WideText, AnUnpairedSurrogateBecomesAReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Narrow(std::wstring{L'x', wchar_t(0xD800), L'y'}), "x" + replacement + "y");
    EXPECT_EQ(Narrow(std::wstring{wchar_t(0xDC00), wchar_t(0xD800)}), replacement + replacement);
    EXPECT_EQ(Narrow(std::wstring{L'a', wchar_t(0xDBFF)}), "a" + replacement);
}

TEST(WideText, TheArgumentsOfAWideMainBecomeUtf8) {
    const wchar_t* wide[] = {L"corelith.exe", L"--batch", L"C:\\Kern Z\u00FCrich \u03BB.txt", L""};
    Utf8Argv argv(4, wide);
    ASSERT_EQ(argv.Count(), 4);
    EXPECT_STREQ(argv.Values()[0], "corelith.exe");
    EXPECT_STREQ(argv.Values()[1], "--batch");
    EXPECT_STREQ(argv.Values()[2], "C:\\Kern Z\xC3\xBCrich \xCE\xBB.txt");
    EXPECT_STREQ(argv.Values()[3], "");
    EXPECT_EQ(argv.Values()[4], nullptr);
}

} // namespace
} // namespace corelith
