#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace testsupport {
namespace {

TEST(LineOf, TakesEachKindOfLineEnd) {
    const struct {
        const char* text;
        int number;
        const char* line;
    } cases[] = {
        {"a\nb\n", 1, "a"},     {"a\nb\n", 2, "b"},   {"a\nb\n", 3, "<missing>"},
        {"a\r\nb\r\n", 2, "b"}, {"a\rb", 2, "b"},     {"a\n\nc", 2, ""},
        {"a\n\nc", 3, "c"},     {"", 1, "<missing>"}, {"a\r\n\r\nc", 3, "c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineOf(c.text, c.number), c.line) << c.text << " line " << c.number;
}

TEST(ReadFile, TakesTheTextWithThePlatformsLineEndsAsLf) {
    const TempDir dir;
    const std::string bytes = "a\r\nb\rc\n\r\r\n\r";
    dir.Write("mixed.txt", bytes);
    EXPECT_EQ(ReadBytes(dir.path() / "mixed.txt"), bytes);
#ifdef _WIN32
    EXPECT_EQ(dir.Read("mixed.txt"), "a\nb\rc\n\r\n\r");
#else
    EXPECT_EQ(dir.Read("mixed.txt"), bytes);
#endif
    EXPECT_EQ(ReadFile(dir.path() / "missing.txt"), "");
    EXPECT_EQ(ReadBytes(dir.path() / "missing.txt"), "");
}

TEST(TempDir, IsFreshAndGoesWithTheObject) {
    fs::path kept;
    {
        const TempDir one;
        const TempDir two;
        EXPECT_NE(one.path(), two.path());
        one.Write("sub.txt", "x\ny\n");
        EXPECT_TRUE(one.Has("sub.txt"));
        EXPECT_FALSE(two.Has("sub.txt"));
        EXPECT_EQ(one.Line("sub.txt", 2), "y");
        EXPECT_EQ(one.Folder().back(), static_cast<char>(fs::path::preferred_separator));
        kept = one.path();
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(ScopedEnv, RestoresTheOldValueOrItsAbsence) {
    const char* name = "CORELITH_TEST_SUPPORT_VARIABLE";
    SetEnv(name, std::nullopt);
    {
        const ScopedEnv outer(name, "outer");
        {
            const ScopedEnv inner(name, std::nullopt);
            EXPECT_EQ(std::getenv(name), nullptr);
        }
        ASSERT_NE(std::getenv(name), nullptr);
        EXPECT_EQ(std::string(std::getenv(name)), "outer");
    }
    EXPECT_EQ(std::getenv(name), nullptr);
}

} // namespace
} // namespace testsupport
