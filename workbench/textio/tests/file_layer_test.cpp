#include "textio/file_layer.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <clocale>

namespace corelith {
namespace {

class FileLayerTest : public ::testing::Test {
  protected:
    testsupport::TempDir folder_;
};

TEST_F(FileLayerTest, TextIsWrittenWithThePlatformsLineEnds) {
    std::FILE* out = OpenForWriting(folder_.File("lines.txt"));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(WriteText(out, "a\tb\n\nc\n"), 0);
    EXPECT_EQ(CloseFile(out), 0);
#ifdef _WIN32
    const std::string expected = "a\tb\r\n\r\nc\r\n";
#else
    const std::string expected = "a\tb\n\nc\n";
#endif
    EXPECT_EQ(testsupport::ReadBytes(folder_.path() / "lines.txt"), expected);
}

TEST_F(FileLayerTest, WritesTextUnchangedAndReadsItBack) {
    const std::string path = folder_.File("out.txt");
    std::FILE* out = OpenForWriting(path);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(WriteText(out, "Flag\tSpecies\n"), 0);
    EXPECT_EQ(WriteText(out, ""), 0);
    EXPECT_EQ(WriteText(out, "x\ty"), 0);
    EXPECT_EQ(CloseFile(out), 0);
    EXPECT_EQ(folder_.Read("out.txt"), "Flag\tSpecies\nx\ty");
    std::FILE* in = OpenForReading(path);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(std::fgetc(in), 'F');
    EXPECT_EQ(CloseFile(in), 0);
}

TEST_F(FileLayerTest, FailuresGiveNoHandle) {
    EXPECT_EQ(OpenForReading(folder_.File("missing.txt")), nullptr);
    EXPECT_EQ(OpenForReading(""), nullptr);
    EXPECT_EQ(OpenForWriting(folder_.File("no/such/folder.txt")), nullptr);
    EXPECT_EQ(OpenForWriting(testsupport::TextOf(folder_.path())), nullptr); // a folder
    EXPECT_EQ(WriteText(nullptr, "x"), -1);
    EXPECT_EQ(CloseFile(nullptr), -1);
}

#ifdef __linux__
TEST_F(FileLayerTest, AFullDiskIsReportedByClose) {
    std::FILE* full = OpenForWriting("/dev/full");
    ASSERT_NE(full, nullptr);
    WriteText(full, "some text that stays in the buffer\n");
    EXPECT_EQ(CloseFile(full), -1);
}
#endif

TEST(FormatCTest, FormatsInTheCLocaleWhateverTheProcessLocale) {
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(FormatC("%G", 1.5), "1.5");
    EXPECT_EQ(FormatC("%f", 10.0), "10.000000");
    EXPECT_EQ(FormatC("%5.0f|%+04.0f", 12.4, 3.0), "   12|+003");
    if (german != nullptr)
        std::setlocale(LC_ALL, "C");
}

// The standard printf on every platform: two-digit exponents (the old Windows printf writes
// three, 1E-006), and the same rounding and spelling of every conversion.
TEST(FormatCTest, ExponentsAndConversionsAreTheStandardOnes) {
    const struct {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"%G", 1e-6, "1E-06"},          {"%G", 0.000123456789, "0.000123457"},
        {"%G", 1.5e10, "1.5E+10"},      {"%g", 2.5e-5, "2.5e-05"},
        {"%e", 1e100, "1.000000e+100"}, {"%E", -3.25e-7, "-3.250000E-07"},
        {"%G", 100000.0, "100000"},     {"%G", 1234567.0, "1.23457E+06"},
        {"%.2f", 2.675, "2.67"},        {"%5.1f", -0.04, " -0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatC(c.format, c.value), c.text) << c.format << " of " << c.value;
    EXPECT_EQ(FormatC("%ld|%5d|%-4s|", 1367L, 42, "ab"), "1367|   42|ab  |");
}

TEST(FormatCTest, LongTextsAreNotCut) {
    const std::string name(1000, 'a');
    const std::string formatted = FormatC("%s\t%d%s", name.c_str(), 7, "\n");
    EXPECT_EQ(formatted, name + "\t7\n");
}

} // namespace
} // namespace corelith
