// What a run does with hostile or unlucky circumstances: a failure part way, a second
// run in the same folder, outputs that would overwrite each other, folders and numbers
// that are no numbers among its inputs.
#include "engine/engine.h"

#include "engine/portable.h"
#include "engine/tests/engine_runs.h"
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace marvane {
namespace {

namespace fs = std::filesystem;
using namespace test;
using testsupport::TempDir;

const char* const kOutputs[] = {"listing.txt", "summary.txt",         "info",   "stock",
                                "Faun.tot",    "basic_estimates.tsv", "SST.tot"};

// Every file of the folder with its content.
std::map<std::string, std::string> Contents(const TempDir& dir) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        contents[name] = entry.is_regular_file() ? dir.Read(name) : "(folder)";
    }
    return contents;
}

// A folder holding the basic case and the outputs of an earlier run.
void PrepareEarlierRun(const TempDir& dir) {
    dir.CopyAll(GoldenDir("basic"));
    for (const char* output : kOutputs) {
        dir.Write(output, std::string("earlier ") + output + "\n");
    }
}

TEST(run_faults_test, a_run_that_fails_part_way_leaves_every_earlier_output_as_it_was) {
    TempDir dir;
    PrepareEarlierRun(dir);
    // The subject file ends in the middle of the fifth sample.
    std::string subjects = dir.Read("basic.sam");
    dir.Write("basic.sam", subjects.substr(0, subjects.find("FIVE") + 20));
    const std::map<std::string, std::string> before = Contents(dir);
    std::ostringstream console;
    std::string error;
    EXPECT_EQ(RunProject("basic.pro", OptionsIn(dir), console, error), kRunFailed);
    EXPECT_EQ(error.substr(0, 32), "file \"./basic.sam\" ends after re");
    // Four samples were reported before the end of the file was met; nothing of them
    // shows, and no temporary file is left.
    EXPECT_EQ(Contents(dir), before);
}

// A console that looks at the listing file whenever the run writes a line.
class WatchingConsole : public std::stringbuf {
  public:
    explicit WatchingConsole(fs::path watched) : watched_(std::move(watched)) {}
    std::vector<std::string> seen;

  protected:
    int sync() override {
        seen.push_back(testsupport::ReadFile(watched_));
        return std::stringbuf::sync();
    }

  private:
    fs::path watched_;
};

TEST(run_faults_test, a_kill_at_any_moment_would_find_the_earlier_listing_whole) {
    TempDir dir;
    PrepareEarlierRun(dir);
    WatchingConsole watcher(dir.path() / "listing.txt");
    std::ostream console(&watcher);
    console << std::unitbuf; // every console write is a moment to look
    std::string error;
    ASSERT_EQ(RunProject("basic.pro", OptionsIn(dir), console, error), kRunComplete) << error;
    ASSERT_GE(watcher.seen.size(), 3u); // NNEW, NSH and the no-analog count at least
    for (const std::string& listing : watcher.seen) {
        EXPECT_EQ(listing, "earlier listing.txt\n");
    }
    EXPECT_EQ(dir.Read("listing.txt"), testsupport::ReadFile(Expected("basic", "listing.txt")));
}

struct OutputClash {
    Edit edit;
    const char* message;
};

class run_faults_clash_test : public ::testing::TestWithParam<OutputClash> {};

TEST_P(run_faults_clash_test, two_outputs_of_one_name_are_refused_before_anything_is_written) {
    TempDir dir;
    PrepareEarlierRun(dir);
    ApplyEdit(dir.path(), GetParam().edit);
    const std::map<std::string, std::string> before = Contents(dir);
    std::ostringstream console;
    std::string error;
    EXPECT_EQ(RunProject("./basic.pro", OptionsIn(dir), console, error), kRunFailed);
    EXPECT_EQ(error, GetParam().message);
    EXPECT_EQ(Contents(dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    run_faults_test, run_faults_clash_test,
    ::testing::Values(
        OutputClash{{"basic.pro", 5, "./listing.txt"},
                    "the listing file (project line 4) \"./listing.txt\" and the summary table "
                    "(project line 5) \"./listing.txt\" are the same file; one would overwrite "
                    "the other, so the run does not start"},
        OutputClash{{"basic.pro", 5, "sub/../listing.txt"},
                    "the listing file (project line 4) \"./listing.txt\" and the summary table "
                    "(project line 5) \"sub/../listing.txt\" are the same file; one would "
                    "overwrite the other, so the run does not start"},
        OutputClash{{"basic.pro", 4, "info"},
                    "the listing file (project line 4) \"info\" and the engine's file \"info\" "
                    "are the same file; one would overwrite the other, so the run does not "
                    "start"},
        OutputClash{{"basic.pro", 5, "./basic_estimates.tsv"},
                    "the summary table (project line 5) \"./basic_estimates.tsv\" and the "
                    "estimates table \"./basic_estimates.tsv\" are the same file; one would "
                    "overwrite the other, so the run does not start"}));

struct FolderCase {
    const char* project;
    Edit edit;
    const char* folder;
    const char* message;
};

class run_faults_folder_test : public ::testing::TestWithParam<FolderCase> {};

TEST_P(run_faults_folder_test, a_folder_in_place_of_a_file_is_named_and_nothing_is_written) {
    TempDir dir;
    PrepareEarlierRun(dir);
    if (GetParam().edit.file != nullptr) {
        ApplyEdit(dir.path(), GetParam().edit);
    }
    fs::create_directory(dir.path() / GetParam().folder);
    const std::map<std::string, std::string> before = Contents(dir);
    const RunResult run = RunIn(dir, std::string("./\n") + GetParam().project + "\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.console.find(std::string(" *** ERROR: ") + GetParam().message + ".\n"),
              std::string::npos)
        << run.console;
    std::map<std::string, std::string> after = Contents(dir);
    after.erase("Marvane.ini");
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(
    run_faults_test, run_faults_folder_test,
    ::testing::Values(
        FolderCase{
            "cores.pro", {}, "cores.pro", "project file \"./cores.pro\" is a folder, not a file"},
        FolderCase{"basic.pro",
                   {"basic.pro", 2, "./refs"},
                   "refs",
                   "reference file (project line 2) \"./refs\" is a folder, not a file"},
        FolderCase{"basic.pro",
                   {"basic.pro", 4, "./out"},
                   "out",
                   "file \"./out\" cannot be written: it is a folder"}));

TEST(run_faults_test, a_second_run_in_a_folder_where_a_run_is_writing_is_refused) {
    TempDir dir;
    PrepareEarlierRun(dir);
    const std::string owner = std::to_string(portable::CurrentProcessId());
    dir.Write(kLockFileName, "marvane process " + owner + "\n");
    const std::map<std::string, std::string> before = Contents(dir);
    std::ostringstream console;
    std::string error;
    EXPECT_EQ(RunProject("basic.pro", OptionsIn(dir), console, error), kRunFailed);
    EXPECT_EQ(error.rfind("another run (process " + owner +
                              ") is writing its files in this folder, as the lock file",
                          0),
              0u)
        << error;
    EXPECT_EQ(Contents(dir), before);
}

TEST(run_faults_test, the_lock_of_a_killed_run_is_taken_over_and_removed_at_the_end) {
    TempDir dir;
    PrepareEarlierRun(dir);
    dir.Write(kLockFileName, "marvane process 999999999\n");
    std::ostringstream console;
    std::string error;
    EXPECT_EQ(RunProject("basic.pro", OptionsIn(dir), console, error), kRunComplete) << error;
    EXPECT_FALSE(dir.Has(kLockFileName));
    EXPECT_EQ(dir.Read("listing.txt"), testsupport::ReadFile(Expected("basic", "listing.txt")));
}

struct NumberCase {
    Edit edit;
    const char* message;
};

class run_faults_number_test : public ::testing::TestWithParam<NumberCase> {};

// Values that a float cannot hold, or that are no numbers at all, end the run with a
// message naming the file, the record, the columns and the field.
TEST_P(run_faults_number_test, is_named_with_its_file_record_and_field) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    ApplyEdit(dir.path(), GetParam().edit);
    std::ostringstream console;
    std::string error;
    EXPECT_EQ(RunProject("basic.pro", OptionsIn(dir), console, error), kRunFailed);
    EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    run_faults_test, run_faults_number_test,
    ::testing::Values(
        NumberCase{{"basic.env", 2, "BETA          NaN       1.00"},
                   "file \"./basic.env\", record 2, columns 14-18: \" NaN \" cannot be read with "
                   "F5.2 (env1 of reference sample 2)"},
        NumberCase{{"basic.env", 3, "GAMMA         2.00     -inf "},
                   "file \"./basic.env\", record 3, columns 24-28: \"-inf \" cannot be read with "
                   "F5.2 (env2 of reference sample 3)"},
        NumberCase{{"basic.env", 1, "ALPHA        1e400      0.00"},
                   "file \"./basic.env\", record 1, columns 14-18: \"1e400\" is out of range for "
                   "F5.2 (env1 of reference sample 1)"},
        NumberCase{{"basic.env", 1, "ALPHA        1e-99      0.00"},
                   "file \"./basic.env\", record 1, columns 14-18: \"1e-99\" is out of range for "
                   "F5.2 (env1 of reference sample 1)"},
        NumberCase{{"basic.ref", 6, "            0001nan 0000"},
                   "file \"./basic.ref\", record 6, columns 17-20: \"nan \" cannot be read with "
                   "F4.0 (species 2 of reference sample 2)"},
        NumberCase{{"basic.ref", 9, "GAMMA       -0x2-030    +022+045     500"},
                   "file \"./basic.ref\", record 9, columns 13-16: \"-0x2\" cannot be read with "
                   "F4.0 (the latitude degrees of reference sample 3)"},
        NumberCase{{"basic.sam", 2, "            1e990000INF "},
                   "file \"./basic.sam\", record 2, columns 13-16: \"1e99\" is out of range for "
                   "F4.0 (species 1 of subject sample 1)"},
        NumberCase{{"basic.pro", 7, " 3    8    3 1 10   nan 1.000"},
                   "file \"basic.pro\", record 7, columns 19-23: \"  nan\" cannot be read with "
                   "F5.3"}));

} // namespace
} // namespace marvane
