#include "textio/line_writer.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifdef __linux__
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace corelith {
namespace {

namespace fs = std::filesystem;

class LineWriterTest : public ::testing::Test {
  protected:
    // The names in the folder: a temporary file left behind would show here.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_.path()))
            names.push_back(testsupport::TextOf(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

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

TEST_F(LineWriterTest, TheTargetKeepsItsOldContentUntilTheNewOneIsComplete) {
    folder_.Write("out.txt", "old\n");
    LineWriter out(folder_.File("out.txt"));
    ASSERT_TRUE(out.IsOpen());
    out.Put(std::string(100000, 'x'));
    EXPECT_EQ(folder_.Read("out.txt"), "old\n");
    EXPECT_EQ(Names().size(), 2u) << "the new text is beside the target";
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(folder_.Read("out.txt"), std::string(100000, 'x'));
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(LineWriterTest, AWriterDroppedWithoutCloseLeavesTheOldFileAndNoTemporary) {
    folder_.Write("out.txt", "old\n");
    {
        LineWriter out(folder_.File("out.txt"));
        out.Put("half a file");
    }
    EXPECT_EQ(folder_.Read("out.txt"), "old\n");
    LineWriter again(folder_.File("new.txt"));
    again.Put("never closed");
    again.Discard();
    EXPECT_FALSE(again.IsOpen());
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(LineWriterTest, AFolderInThePlaceOfTheFileIsRefusedWithItsReason) {
    fs::create_directory(folder_.path() / "sub");
    LineWriter out(folder_.File("sub"));
    EXPECT_FALSE(out.IsOpen());
    EXPECT_NE(out.Reason().find("directory"), std::string::npos) << out.Reason();
    EXPECT_TRUE(fs::is_directory(folder_.path() / "sub"));
}

#ifdef __linux__
TEST_F(LineWriterTest, ALinkKeepsPointingAtTheNewContent) {
    folder_.Write("real.txt", "old\n");
    fs::create_symlink("real.txt", folder_.path() / "link.txt");
    LineWriter out(folder_.File("link.txt"));
    out.Put("new\n");
    ASSERT_EQ(out.Close(), 0);
    EXPECT_TRUE(fs::is_symlink(folder_.path() / "link.txt"));
    EXPECT_EQ(folder_.Read("real.txt"), "new\n");

    fs::create_symlink("loop2", folder_.path() / "loop1");
    fs::create_symlink("loop1", folder_.path() / "loop2");
    LineWriter loop(folder_.File("loop1"));
    EXPECT_FALSE(loop.IsOpen());
    EXPECT_NE(loop.Reason(), "");
}

TEST_F(LineWriterTest, ADeviceIsWrittenInPlace) {
    LineWriter out("/dev/null");
    ASSERT_TRUE(out.IsOpen());
    out.Put("gone\n");
    EXPECT_EQ(out.Close(), 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(LineWriterTest, AReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files";
    folder_.Write("ro.txt", "old\n");
    fs::permissions(folder_.path() / "ro.txt", fs::perms::owner_read);
    LineWriter out(folder_.File("ro.txt"));
    EXPECT_FALSE(out.IsOpen());
    EXPECT_NE(out.Reason().find("denied"), std::string::npos) << out.Reason();
    EXPECT_EQ(folder_.Read("ro.txt"), "old\n");
}

TEST_F(LineWriterTest, AFileTooLargeForTheSystemLeavesTheOldOne) {
    folder_.Write("out.txt", "old\n");
    // The size limit makes writes fail with EFBIG instead of a full disk.
    struct rlimit previous {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    LineWriter out(folder_.File("out.txt"));
    out.Put(std::string(1 << 16, 'x'));
    const int closed = out.Close();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(closed, -1);
    EXPECT_NE(out.Reason(), "");
    EXPECT_EQ(folder_.Read("out.txt"), "old\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(LineWriterTest, AKilledWriterLeavesTheOldFileWhole) {
    folder_.Write("out.txt", "old\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LineWriter out(folder_.File("out.txt"));
        out.Put(std::string(1 << 20, 'x'));
        std::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(folder_.Read("out.txt"), "old\n");
}
#endif

#ifdef __linux__
TEST_F(LineWriterTest, AFullDeviceIsReportedWithItsReasonAndStopsTheWriting) {
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
