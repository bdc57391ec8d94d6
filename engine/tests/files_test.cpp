// Output files that take their target's place only when complete, input checks and the
// run lock.
#include "engine/files.h"

#include "engine/portable.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace marvane {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

// The names in the folder, so that a temporary left behind shows.
std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(files_test, the_target_keeps_its_old_content_until_the_commit) {
    TempDir dir;
    dir.Write("out.txt", "old\n");
    OutputFile file;
    std::string error;
    ASSERT_EQ(file.Open(dir.File("out.txt"), "out.txt", error), 0) << error;
    file.Stream() << "new\n";
    file.Stream().flush();
    EXPECT_EQ(dir.Read("out.txt"), "old\n");
    EXPECT_EQ(Names(dir).size(), 2u); // the target and its temporary
    ASSERT_EQ(file.Commit(error), 0) << error;
    EXPECT_EQ(dir.Read("out.txt"), "new\n");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"out.txt"});
}

TEST(files_test, a_discarded_or_abandoned_file_leaves_the_target_and_no_temporary) {
    TempDir dir;
    dir.Write("out.txt", "old\n");
    {
        OutputFile file;
        std::string error;
        ASSERT_EQ(file.Open(dir.File("out.txt"), "out.txt", error), 0) << error;
        file.Stream() << "half";
        file.Discard();
    }
    {
        OutputFile abandoned;
        std::string error;
        ASSERT_EQ(abandoned.Open(dir.File("new.txt"), "new.txt", error), 0) << error;
        abandoned.Stream() << "half";
    }
    EXPECT_EQ(dir.Read("out.txt"), "old\n");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"out.txt"});
}

TEST(files_test, a_folder_is_neither_read_nor_written) {
    TempDir dir;
    fs::create_directory(dir.path() / "folder");
    std::string error;
    OutputFile file;
    EXPECT_EQ(file.Open(dir.File("folder"), "./folder", error), -1);
    EXPECT_EQ(error, "file \"./folder\" cannot be written: it is a folder");
    std::ifstream input;
    EXPECT_EQ(OpenInputFile(input, dir.File("folder"), "subject file \"./folder\"", error), -1);
    EXPECT_EQ(error, "subject file \"./folder\" is a folder, not a file");
    EXPECT_EQ(OpenInputFile(input, dir.File("none"), "subject file \"./none\"", error), -1);
    EXPECT_EQ(error, "subject file \"./none\" does not exist");
    EXPECT_FALSE(dir.Has("none"));
}

TEST(files_test, a_device_is_written_in_place) {
    if (!fs::exists("/dev/null")) {
        GTEST_SKIP() << "no /dev/null on this system";
    }
    OutputFile file;
    std::string error;
    ASSERT_EQ(file.Open("/dev/null", "/dev/null", error), 0) << error;
    file.Stream() << "discarded";
    ASSERT_EQ(file.Commit(error), 0) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(files_test, whole_files_and_same_files) {
    TempDir dir;
    std::string error;
    ASSERT_EQ(WriteWholeFile(dir.File("a.txt"), "a.txt", "text\n", error), 0) << error;
    EXPECT_EQ(dir.Read("a.txt"), "text\n");
    EXPECT_TRUE(SameFile(dir.File("a.txt"), dir.Folder() + "./sub/../a.txt"));
    EXPECT_TRUE(SameFile(dir.File("b.txt"), dir.Folder() + "./b.txt")); // neither exists
    EXPECT_FALSE(SameFile(dir.File("a.txt"), dir.File("b.txt")));
}

// --- The run lock ------------------------------------------------------------------

// An identifier that no process has: beyond every system's largest.
constexpr long long kEndedProcess = 999999999;

TEST(files_test, a_lock_is_held_until_released) {
    ASSERT_FALSE(portable::ProcessMayBeRunning(kEndedProcess));
    ASSERT_TRUE(portable::ProcessMayBeRunning(portable::CurrentProcessId()));
    TempDir dir;
    std::string error;
    {
        RunLock lock;
        ASSERT_EQ(lock.Acquire(dir.File("Marvane.lock"), error), 0) << error;
        EXPECT_EQ(dir.Read("Marvane.lock"),
                  "marvane process " + std::to_string(portable::CurrentProcessId()) + "\n");
        RunLock second;
        EXPECT_EQ(second.Acquire(dir.File("Marvane.lock"), error), -1);
        EXPECT_EQ(error, "another run (process " + std::to_string(portable::CurrentProcessId()) +
                             ") is writing its files in this folder, as the lock file \"" +
                             dir.File("Marvane.lock") +
                             "\" shows; wait until it has ended, or, if no run is active there, "
                             "delete that file and start again");
    }
    EXPECT_FALSE(dir.Has("Marvane.lock"));
}

TEST(files_test, a_lock_left_by_a_killed_run_is_taken_over) {
    TempDir dir;
    dir.Write("Marvane.lock", "marvane process " + std::to_string(kEndedProcess) + "\n");
    RunLock lock;
    std::string error;
    ASSERT_EQ(lock.Acquire(dir.File("Marvane.lock"), error), 0) << error;
    EXPECT_EQ(dir.Read("Marvane.lock"),
              "marvane process " + std::to_string(portable::CurrentProcessId()) + "\n");
}

TEST(files_test, a_lock_that_names_no_process_is_left_alone) {
    // It may be one whose run has created it and not yet written into it.
    TempDir dir;
    dir.Write("Marvane.lock", "");
    RunLock lock;
    std::string error;
    EXPECT_EQ(lock.Acquire(dir.File("Marvane.lock"), error), -1);
    EXPECT_EQ(error.substr(0, 48), "another run is writing its files in this folder,");
    EXPECT_TRUE(dir.Has("Marvane.lock"));
}

} // namespace
} // namespace marvane
