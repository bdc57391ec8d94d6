// Lines, numbers and paths: the pieces every reader and writer stands on.
#include "quillon/paths.h"
#include "quillon/text.h"

#include "testing/test_support.h"

#include <cmath>

namespace quillon {
namespace {

TEST(TextTest, SplitsLinesWithEitherLineEnd) {
    EXPECT_EQ(SplitLines("a\nb\r\n\r\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextTest, ContentLinesLeaveOutEmptyLinesAtTheEnd) {
    TextFile file{"f", {"a", "", "b", "", ""}};
    EXPECT_EQ(file.ContentLineCount(), 3);
    EXPECT_EQ(file.Line(4), "");
    EXPECT_EQ(file.Line(99), "");
    EXPECT_EQ(file.At(3, "why"), "f, line 3: why");
}

TEST(TextTest, WholeNumbers) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    for (const Case& c : {Case{"       5", true, 5}, Case{"-12 ", true, -12}, Case{"+3", true, 3},
                          Case{"", false, 0}, Case{"5x", false, 0}, Case{"1.0", false, 0},
                          Case{"99999999999", false, 0}, Case{"- 4", false, 0}}) {
        int value = 0;
        EXPECT_EQ(ParseWholeNumber(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(TextTest, CensusValues) {
    struct Case {
        const char* text;
        const char* problem; // a part of the reason, or "" for a good value
        double value;
    };
    for (const Case& c :
         {Case{"    7", "", 7.0}, Case{"43485", "", 43485.0}, Case{"123457", "", 123457.0},
          Case{"   -0", "", 0.0}, Case{"   -3", "negative", 0.0}, Case{"  nan", "NaN", 0.0},
          Case{" -nan", "NaN", 0.0}, Case{"  inf", "infinite", 0.0},
          Case{"  1.5", "not a number", 0.0}, Case{"  abc", "not a number", 0.0},
          Case{"", "missing", 0.0}}) {
        double value = -1.0;
        const std::string problem = ParseCensusValue(c.text, value);
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.text;
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
        }
    }
}

TEST(TextTest, FixedFiveDecimalNumbers) {
    double value = 0.0;
    EXPECT_EQ(ParseFixedFive("  12.50000", value), "");
    EXPECT_EQ(value, 12.5);
    EXPECT_EQ(ParseFixedFive("-999.98999", value), "");
    EXPECT_EQ(value, -999.98999);
    EXPECT_NE(ParseFixedFive("  12.5", value).find("five decimals"), std::string::npos);
    EXPECT_NE(ParseFixedFive("       nan", value).find("NaN"), std::string::npos);
    EXPECT_NE(ParseFixedFive("  1x.00000", value).find("not a number"), std::string::npos);
}

TEST(TextTest, TableNumbersAlwaysHaveAPointAndEightDigits) {
    EXPECT_EQ(TableNumber(20.0), "20.0");
    EXPECT_EQ(TableNumber(-3.25), "-3.25");
    EXPECT_EQ(TableNumber(1.0 / 3.0), "0.33333333");
    EXPECT_EQ(TableNumber(123456789.0), "1.2345679e+08");
    EXPECT_EQ(TableNumber(1e-7), "1.0e-07");
    EXPECT_EQ(TableNumber(std::nan("")), "");
    EXPECT_EQ(FixedNumber(-0.0000001, 3, 7), "  0.000");
    EXPECT_EQ(FixedNumber(2.5, 2, 6), "  2.50");
}

TEST(PathsTest, OutputNamesAndForeignPaths) {
    EXPECT_EQ(LastPathPart("C:\\data\\a.cap"), "a.cap");
    EXPECT_EQ(LastPathPart("/data/a.cap"), "a.cap");
    EXPECT_EQ(LastPathPart("a.cap"), "a.cap");
    EXPECT_EQ(Utf8FromPath(WithSuffix(OutputBase(PathFromUtf8("/d/Survey.pro")), "_cv.tsv")),
              "/d/Survey_cv.tsv");
    EXPECT_EQ(Utf8FromPath(OutputBase(PathFromUtf8("Survey.txt.pro"))), "Survey.txt");
}

TEST(PathsTest, MembersAreFoundFromTheProjectFolder) {
    testsupport::TempDir dir;
    dir.Write("Sürvey.cap", "x");
    const fs::path project = PathFromUtf8(dir.File("p.pro"));
    std::string moved;
    // Relative to the project's folder, whatever the working folder.
    EXPECT_EQ(LocateProjectMember(project, "Sürvey.cap", moved),
              PathFromUtf8(dir.File("Sürvey.cap")));
    EXPECT_EQ(moved, "");
    // A path of another machine falls back to the file of that name beside the project.
    EXPECT_EQ(LocateProjectMember(project, "C:\\Users\\x\\Sürvey.cap", moved),
              PathFromUtf8(dir.File("Sürvey.cap")));
    EXPECT_EQ(moved, "C:\\Users\\x\\Sürvey.cap");
    // Nothing beside it either: the path as written, for the message.
#ifdef _WIN32
    const std::string nowhere = "C:\\nowhere\\else.cap";
#else
    const std::string nowhere = "/nowhere/else.cap";
#endif
    EXPECT_EQ(LocateProjectMember(project, nowhere, moved), PathFromUtf8(nowhere));
    EXPECT_EQ(moved, "");
}

TEST(PathsTest, ReadingAMissingFileOrAFolderSaysSo) {
    testsupport::TempDir dir;
    TextFile file;
    std::string error;
    EXPECT_EQ(ReadTextFile(PathFromUtf8(dir.File("none.pro")), "none.pro", file, error), -1);
    EXPECT_EQ(error, "none.pro: the file does not exist");
    EXPECT_EQ(ReadTextFile(dir.path(), "dir", file, error), -1);
    EXPECT_EQ(error, "dir: this is a folder, not a file");
    dir.Write("a.txt", "x\r\ny\r\n");
    EXPECT_EQ(ReadTextFile(PathFromUtf8(dir.File("a.txt")), "a.txt", file, error), 0);
    EXPECT_EQ(file.lines, (std::vector<std::string>{"x", "y"}));
}

} // namespace
} // namespace quillon
