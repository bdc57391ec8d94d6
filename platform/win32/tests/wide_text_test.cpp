#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

namespace corelith {
namespace {

struct Pair {
    std::string utf8;
    std::wstring utf16;
};

TEST(WideText, ConvertsBothWays) {
    const Pair pairs[] = {
        {"", L""},
        {"core 1.txt", L"core 1.txt"},
        {"C:\\Daten\\Z\xC3\xBCrich\\Kern \xC3\x9F.csv", L"C:\\Daten\\Z\u00FCrich\\Kern \u00DF.csv"},
        {"\xCE\xBB-\xE6\x97\xA5\xE6\x9C\xAC", L"\u03BB-\u65E5\u672C"},
        {"\xF0\x9F\xA6\xA0", L"\U0001F9A0"}, // outside the basic plane: a surrogate pair
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Pair& pair : pairs) {
        EXPECT_EQ(Widen(pair.utf8), pair.utf16) << pair.utf8;
        EXPECT_EQ(Narrow(pair.utf16), pair.utf8) << pair.utf8;
    }
}

TEST(WideText, InvalidTextBecomesReplacementCharacters) {
    const Pair pairs[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},               // a byte that never starts a character
        {"name\xC3", L"name\uFFFD"}, // a character cut off at the end
        {"\xE6\x97x", L"\uFFFDx"},   // cut off in the middle
    };
    for (const Pair& pair : pairs)
        EXPECT_EQ(Widen(pair.utf8), pair.utf16) << pair.utf8;
    // An encoded surrogate: how many replacement characters differs between versions of
    // Windows, but no surrogate gets through.
    const std::wstring surrogate = Widen("\xED\xA0\x80");
    EXPECT_FALSE(surrogate.empty());
    EXPECT_EQ(surrogate.find_first_not_of(L'\uFFFD'), std::wstring::npos);
    EXPECT_EQ(Narrow(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy"); // a lone surrogate
}

} // namespace
} // namespace corelith
