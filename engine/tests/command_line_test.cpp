// marvane's command line: the version, a run without dialog, lifted limits and wrong
// arguments.
#include "engine/command_line.h"

#include "engine/tests/engine_runs.h"
#include "testing/test_support.h"

#include "corelith_version.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace marvane {
namespace {

using namespace test;
using testsupport::TempDir;

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
    std::string unread; // what is left of the console input
};

Outcome Invoke(const TempDir& dir, const std::vector<std::string>& arguments,
               const std::string& input = "typed\n") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.status = RunCommandLine(arguments, in, out, err, OptionsIn(dir));
    outcome.out = out.str();
    outcome.err = err.str();
    std::getline(in, outcome.unread);
    return outcome;
}

TEST(command_line_test, the_version_is_the_projects) {
    TempDir dir;
    const Outcome version = Invoke(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("marvane ") + CORELITH_VERSION + "\n");
    EXPECT_EQ(Invoke(dir, {"--help"}).out.substr(0, 14), "usage: marvane");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(command_line_test, arguments_that_make_no_sense_give_the_usage_and_status_2) {
    const std::vector<std::vector<std::string>> wrong{
        {"--cross-validate"},
        {"a.pro", "b.pro"},
        {"--bogus", "a.pro"},
        {"--folds", "3", "a.pro"},
        {"--leave-one-out", "a.pro"},
        {"--cross-validate", "--folds", "1", "a.pro"},
        {"--cross-validate", "--folds", "x", "a.pro"},
        {"--cross-validate", "--folds"},
        {"--cross-validate", "--folds", "3", "--leave-one-out", "a.pro"},
        {"--version", "a.pro"}};
    TempDir dir;
    for (const std::vector<std::string>& arguments : wrong) {
        const Outcome outcome = Invoke(dir, arguments);
        EXPECT_EQ(outcome.status, 2) << arguments[0];
        EXPECT_EQ(outcome.err.substr(0, 9), "marvane: ") << arguments[0];
        EXPECT_NE(outcome.err.find("usage: marvane"), std::string::npos);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(command_line_test, a_project_runs_without_dialog_pause_or_ini_file) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    const Outcome outcome = Invoke(dir, {"basic.pro"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.unread, "typed"); // nothing was asked
    EXPECT_EQ(outcome.out,
              " NNEW=      25\n NSH=      10\n"
              " Samples marked \"no analog\" in basic_estimates.tsv:       1 of       8\n");
    EXPECT_FALSE(dir.Has("Marvane.ini"));
    for (const char* output : {"listing.txt", "summary.txt", "info", "stock", "Faun.tot", "SST.tot",
                               "basic_estimates.tsv"}) {
        EXPECT_EQ(dir.Read(output), testsupport::ReadFile(Expected("basic", output))) << output;
    }
}

TEST(command_line_test, a_failed_or_halted_run_ends_with_status_1_and_its_reason) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    const Outcome missing = Invoke(dir, {"absent.pro"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, " *** ERROR: project file \"absent.pro\" does not exist.\n");
    ApplyEdit(dir.path(), {"basic.sam", 18, "            000000000000"});
    const Outcome halted = Invoke(dir, {"basic.pro"});
    EXPECT_EQ(halted.status, 1);
    EXPECT_EQ(halted.err, " *** HALT: file \"./basic.sam\", record 17: subject sample 5 \"FIVE\" "
                          "has no species: its values add up to zero; the listing file says "
                          "more.\n");
    EXPECT_NE(dir.Read("listing.txt").find("THERE ARE NO SPECIES IN SUBJECT SAMPLE  5."),
              std::string::npos);
}

// The basic case with a grid step of 0.008 and the search radius 1.0: 253 x 253 grid
// nodes and some 64,000 virtual samples, far beyond the fixed tables.
void WriteGlobalCase(const TempDir& dir) {
    dir.CopyAll(GoldenDir("basic"));
    ApplyEdit(dir.path(), {"basic.pro", 7, " 3    8    3 1 10 0.008 1.000"});
}

TEST(command_line_test, lifted_limits_run_what_the_fixed_tables_refuse) {
    TempDir dir;
    WriteGlobalCase(dir);
    const Outcome fixed = Invoke(dir, {"basic.pro"});
    EXPECT_EQ(fixed.status, 1);
    EXPECT_EQ(fixed.err, " *** ERROR: gridStep 0.008 gives a grid of 64009 nodes over the range "
                         "of the environment values, more than the limit of 50000 grid nodes; "
                         "please choose a larger gridStep.\n");
    const Outcome lifted = Invoke(dir, {"--no-limits", "basic.pro"});
    ASSERT_EQ(lifted.status, 0) << lifted.err;
    const std::string nsh = lifted.out.substr(lifted.out.find(" NSH=") + 5, 8);
    const int virtuals = std::stoi(nsh);
    EXPECT_GT(virtuals, 50000);
    // Every virtual sample keeps a name of its own in 12 characters.
    std::istringstream stock(dir.Read("stock"));
    std::set<std::string> names;
    for (std::string line; std::getline(stock, line);) {
        EXPECT_EQ(line.size(), 12u) << line;
        names.insert(line);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(virtuals));
    EXPECT_EQ(names.count("---10000----"), 1u);
    // The summary table keeps its columns.
    std::istringstream summary(dir.Read("summary.txt"));
    std::string line;
    std::getline(summary, line);
    EXPECT_EQ(line, "SAMPLE\tDISS\tSD\tT1\tSD\tT2\tSD");
    while (std::getline(summary, line)) {
        EXPECT_EQ(line.size(), 12u + 2 * 9 + 4 * 6) << line;
    }
}

TEST(command_line_test, the_ini_file_can_lift_the_limits_of_the_dialog_start) {
    TempDir dir;
    WriteGlobalCase(dir);
    const std::string path = "./basic.pro";
    dir.Write("Marvane.ini", path + std::string(512 - path.size(), ' ') + "\nNoLimits=1\n");
    const RunResult run = RunIn(dir, "\n\n\n");
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(run.console.find("*** ERROR"), std::string::npos);
    // The entry stays for the next run.
    EXPECT_EQ(dir.Read("Marvane.ini"),
              path + std::string(512 - path.size(), ' ') + "\nNoLimits=1\n");
    dir.Write("Marvane.ini", path + "\nNoLimits=0\n");
    EXPECT_EQ(RunIn(dir, "\n\n\n").status, 1);
}

} // namespace
} // namespace marvane
