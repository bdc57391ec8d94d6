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

TEST(FormatCTest, LongTextsAreNotCut) {
    const std::string name(1000, 'a');
    const std::string formatted = FormatC("%s\t%d%s", name.c_str(), 7, "\n");
    EXPECT_EQ(formatted, name + "\t7\n");
}

} // namespace
} // namespace corelith
