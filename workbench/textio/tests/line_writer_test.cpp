#include "textio/line_writer.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace corelith {
namespace {

class LineWriterTest : public ::testing::Test {
  protected:
    testsupport::TempDir folder_;
};

TEST_F(LineWriterTest, WritesTextUnchangedAndOwnsItsFileToTheClose) {
    LineWriter out(folder_.File("out.txt"));
    ASSERT_TRUE(out.IsOpen());
    EXPECT_EQ(out.Path(), folder_.File("out.txt"));
    out.Put("Flag\tSpecies\n");
    out.Put("");
    out.Put("x\ty");
    EXPECT_EQ(out.Status(), 0);
    EXPECT_EQ(out.Close(), 0);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(folder_.Read("out.txt"), "Flag\tSpecies\nx\ty");
    EXPECT_EQ(out.Reason(), "");
}

TEST_F(LineWriterTest, AFileThatCannotBeCreatedFailsWithItsReason) {
    LineWriter out(folder_.File("no/such/folder/out.txt"));
    EXPECT_FALSE(out.IsOpen());
    EXPECT_TRUE(out.Failed());
    EXPECT_NE(out.Reason(), "");
    out.Put("lost");
    EXPECT_EQ(out.Close(), -1);

    LineWriter never;
    EXPECT_FALSE(never.Failed());
    EXPECT_EQ(never.Close(), -1) << "nothing was written";
}

TEST_F(LineWriterTest, OpeningAgainStartsAFreshFile) {
    LineWriter out(folder_.File("no/such/folder/out.txt"));
    ASSERT_TRUE(out.Failed());
    ASSERT_TRUE(out.Open(folder_.File("second.txt")));
    EXPECT_FALSE(out.Failed());
    out.Put("b\n");
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(folder_.Read("second.txt"), "b\n");
}

TEST_F(LineWriterTest, AMovedWriterKeepsTheFile) {
    LineWriter first(folder_.File("moved.txt"));
    first.Put("one\n");
    LineWriter second = std::move(first);
    second.Put("two\n");
    EXPECT_EQ(second.Close(), 0);
    EXPECT_EQ(folder_.Read("moved.txt"), "one\ntwo\n");
}

#ifdef __linux__
TEST_F(LineWriterTest, AFullDiskIsReportedWithItsReasonAndStopsTheWriting) {
    LineWriter out("/dev/full");
    ASSERT_TRUE(out.IsOpen());
    // A line longer than any buffer reaches the device at once.
    out.Put(std::string(1 << 20, 'x'));
    EXPECT_TRUE(out.Failed());
    EXPECT_EQ(out.Status(), -1);
    EXPECT_NE(out.Reason().find("space"), std::string::npos) << out.Reason();
    EXPECT_EQ(out.Close(), -1);
}
#endif

} // namespace
} // namespace corelith
