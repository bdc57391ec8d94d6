// End-to-end runs of the engine on small projects, compared with golden files.
#include "engine/engine.h"

#include "engine/cross_validation.h"

#include "engine/tests/engine_runs.h"
#include "engine/workload/workload.h"
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

namespace marvane {
namespace {

namespace fs = std::filesystem;
using testsupport::ExpectGolden;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace test;

// Runs golden case `name` on a scratch copy of the inputs of case `inputs` (changed by
// `edit` when it names a file) and compares the console and each listed output with
// the case's expected files.
RunResult RunGolden(const TempDir& dir, const std::string& name, const std::string& inputs,
                    const std::string& project, const std::vector<std::string>& outputs,
                    const Edit& edit = {}) {
    dir.CopyAll(GoldenDir(inputs));
    if (edit.file != nullptr) {
        ApplyEdit(dir.path(), edit);
    }
    const RunResult run = RunIn(dir, "./\n" + project + "\n\n");
    ExpectGolden(Expected(name, "console.txt"), run.console);
    for (const std::string& output : outputs) {
        const std::string actual = ReadFile(dir.path() / output);
        ExpectGolden(Expected(name, output), actual);
    }
    return run;
}

const std::vector<std::string> kAllOutputs{"listing.txt", "summary.txt", "info",
                                           "stock",       "Faun.tot",    "SST.tot"};

// The outputs of a complete run of project `name`.pro.
std::vector<std::string> CompleteOutputs(const std::string& name) {
    std::vector<std::string> outputs = kAllOutputs;
    outputs.push_back(name + "_estimates.tsv");
    return outputs;
}

TEST(engine_test, complete_run_on_a_small_project) {
    TempDir dir;
    const RunResult run = RunGolden(dir, "basic", "basic", "basic.pro", CompleteOutputs("basic"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadFile(dir.path() / "Marvane.ini"),
              "./basic.pro" + std::string(512 - 11, ' ') + "\n");
}

TEST(engine_test, run_without_position_headers_and_two_analogs) {
    TempDir dir;
    EXPECT_EQ(RunGolden(dir, "plain", "plain", "plain.pro", CompleteOutputs("plain")).status, 0);
}

const std::vector<std::string> kReports{"listing.txt", "summary.txt", "info"};

TEST(engine_test, no_analog_left_when_the_only_one_taken_is_excluded) {
    TempDir dir;
    EXPECT_EQ(RunGolden(dir, "jackknife", "basic", "basic.pro", kReports,
                        {"basic.pro", 7, " 3    2    3 1  1 1.000 1.000"})
                  .status,
              0);
    EXPECT_EQ(ReadFile(dir.path() / "listing.txt").find("NaN"), std::string::npos);
}

// A halt ends the run with a non-zero status: its message is in the listing file and
// its reason, naming the file, record and sample, on the console.
TEST(engine_test, halt_on_header_flags_before_any_reference_sample) {
    TempDir dir;
    std::vector<std::string> outputs = kReports;
    outputs.push_back("basic_estimates.tsv");
    EXPECT_EQ(
        RunGolden(dir, "halt_flags", "basic", "basic.pro", outputs, {"basic.pro", 6, "21"}).status,
        1);
}

TEST(engine_test, halt_on_a_reference_sample_without_species) {
    TempDir dir;
    EXPECT_EQ(RunGolden(dir, "halt_reference", "basic", "basic.pro", kReports,
                        {"basic.ref", 6, "            000000000000"})
                  .status,
              1);
}

TEST(engine_test, halt_on_a_subject_sample_without_species_keeps_earlier_output) {
    TempDir dir;
    std::vector<std::string> outputs = kReports;
    outputs.insert(outputs.end(), {"Faun.tot", "SST.tot", "basic_estimates.tsv"});
    EXPECT_EQ(RunGolden(dir, "halt_subject", "basic", "basic.pro", outputs,
                        {"basic.sam", 18, "            000000000000"})
                  .status,
              1);
}

struct ErrorCase {
    const char* name;
    const char* project;
    Edit edit;
};

class engine_error_test : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(engine_error_test, ends_with_a_diagnostic_and_the_pause) {
    TempDir dir;
    const RunResult run =
        RunGolden(dir, GetParam().name, "basic", GetParam().project, {}, GetParam().edit);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.console.find(" *** ERROR: "), std::string::npos);
    EXPECT_EQ(run.console.substr(run.console.size() - 26), "\n\n Ready. Press return...\n");
}

INSTANTIATE_TEST_SUITE_P(
    engine_test, engine_error_test,
    ::testing::Values(
        ErrorCase{"error_missing_project", "absent.pro", {}},
        ErrorCase{"error_missing_input", "basic.pro", {"basic.pro", 2, "./missing.ref"}},
        ErrorCase{
            "error_unreadable_number", "basic.pro", {"basic.ref", 10, "            00100x000000"}},
        ErrorCase{"error_invalid_descriptor", "basic.pro", {"basic.pro", 15, "12X,3G4.0/"}},
        ErrorCase{"error_short_file", "basic.pro", {"basic.env", 3, nullptr}},
        ErrorCase{
            "error_species_limit", "basic.pro", {"basic.pro", 7, "46    8    3 1 10 1.000 1.000"}},
        ErrorCase{
            "error_grid_limit", "basic.pro", {"basic.pro", 7, " 3    8    3 1 10 0.001 1.000"}},
        ErrorCase{
            "error_row_limit", "basic.pro", {"basic.pro", 7, " 3    8    3 1 10 0.020 5.000"}}),
    [](const ::testing::TestParamInfo<ErrorCase>& param) { return std::string(param.param.name); });

TEST(engine_test, a_missing_input_file_is_not_created_and_reports_are_not_replaced) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    ApplyEdit(dir.path(), {"basic.pro", 2, "./missing.ref"});
    WriteFile(dir.path() / "listing.txt", "an earlier listing\n");
    const RunResult run = RunIn(dir, "./\nbasic.pro\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "missing.ref"));
    EXPECT_EQ(ReadFile(dir.path() / "listing.txt"), "an earlier listing\n");
}

TEST(engine_test, a_report_named_like_an_input_is_refused_and_the_input_kept) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    ApplyEdit(dir.path(), {"basic.pro", 4, "./basic.ref"});
    const std::string references = ReadFile(dir.path() / "basic.ref");
    const RunResult run = RunIn(dir, "./\nbasic.pro\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.console.find(" *** ERROR: the listing file (project line 4) \"./basic.ref\" is "
                               "the reference file (project line 2); writing it would destroy "
                               "the input, so the run does not start.\n"),
              std::string::npos)
        << run.console;
    EXPECT_EQ(ReadFile(dir.path() / "basic.ref"), references);

    // The engine's own files are checked as well: here "info" is the subject file.
    ApplyEdit(dir.path(), {"basic.pro", 4, "./listing.txt"});
    ApplyEdit(dir.path(), {"basic.pro", 1, "info"});
    fs::copy_file(dir.path() / "basic.sam", dir.path() / "info");
    EXPECT_EQ(RunIn(dir, "./\nbasic.pro\n\n").status, 1);
    EXPECT_EQ(ReadFile(dir.path() / "info"), ReadFile(dir.path() / "basic.sam"));
}

TEST(engine_test, a_report_that_cannot_be_written_completely_is_an_error) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    std::string project = ReadFile(dir.path() / "basic.pro");
    project.replace(project.find("./listing.txt"), 13, "/dev/full");
    WriteFile(dir.path() / "basic.pro", project);
    const RunResult run = RunIn(dir, "./\nbasic.pro\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.console.find(" *** ERROR: file \"/dev/full\" could not be written completely.\n"),
              std::string::npos)
        << run.console;
}

TEST(engine_test, a_closed_console_neither_hangs_nor_loops) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    WriteFile(dir.path() / "Marvane.ini", "./basic.pro\n");
    std::istringstream in; // nothing to read at all
    std::ostringstream out;
    EXPECT_EQ(RunMarvane(in, out, OptionsIn(dir)), 0);
    EXPECT_NE(out.str().find(" NSH=      10\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.path() / "summary.txt"));
}

TEST(engine_test, faun_tot_reads_again_as_the_reference_file_of_the_project) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    ASSERT_EQ(RunIn(dir, "./\nbasic.pro\n\n").status, 0);
    const std::string fauna = ReadFile(dir.path() / "Faun.tot");
    // The enlarged table (3 real and 10 virtual rows) becomes the reference file, with
    // the environment values taken from SST.tot.
    fs::rename(dir.path() / "Faun.tot", dir.path() / "basic.ref");
    std::string env;
    std::istringstream sst(ReadFile(dir.path() / "SST.tot"));
    for (std::string line; std::getline(sst, line);) {
        env += line.substr(0, 12) + " " + line.substr(37, 5) + "     " + line.substr(47, 5) + "\n";
    }
    WriteFile(dir.path() / "basic.env", env);
    std::string project = ReadFile(dir.path() / "basic.pro");
    project.replace(project.find(" 3    8    3"), 12, " 3    8   13");
    WriteFile(dir.path() / "basic.pro", project);
    ASSERT_EQ(RunIn(dir, "./\nbasic.pro\n\n").status, 0);
    // Its proportions are whole percentages here, so its rows come back unchanged.
    EXPECT_EQ(ReadFile(dir.path() / "Faun.tot").substr(0, fauna.size()), fauna);
}

TEST(engine_test, bundled_example_summary_table) {
    const fs::path example(MARVANE_EXAMPLE_DIR);
    TempDir dir;
    dir.CopyAll(example);
    const RunResult run = RunIn(dir, "./\nVelmar_Project1.pro\n\n");
    ASSERT_EQ(run.status, 0) << run.console;
    const std::string summary = ReadFile(dir.path() / "SST_short.txt");
    ExpectGolden(Expected("example", "SST_short.txt"), summary);
    const std::string console = run.console;
    ExpectGolden(Expected("example", "console.txt"), console);
}

// The basic case with every input file rewritten by `change` gives the basic case's
// expected outputs.
void ExpectBasicOutputsAfter(const std::function<std::string(const std::string&)>& change) {
    TempDir dir;
    dir.CopyAll(GoldenDir("basic"));
    for (const char* input : {"basic.pro", "basic.ref", "basic.sam", "basic.env"}) {
        WriteFile(dir.path() / input, change(ReadFile(dir.path() / input)));
    }
    const RunResult run = RunIn(dir, "./\nbasic.pro\n\n");
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(run.console, ReadFile(Expected("basic", "console.txt")));
    for (const std::string& output : kAllOutputs) {
        EXPECT_EQ(ReadFile(dir.path() / output), ReadFile(Expected("basic", output))) << output;
    }
}

TEST(engine_test, input_files_with_cr_lf_line_ends_give_the_same_outputs) {
    ExpectBasicOutputsAfter([](const std::string& text) {
        std::string crlf;
        for (const char c : text) {
            crlf += c == '\n' ? "\r\n" : std::string(1, c);
        }
        return crlf;
    });
}

TEST(engine_test, input_files_without_a_final_line_end_give_the_same_outputs) {
    ExpectBasicOutputsAfter([](const std::string& text) {
        return text.substr(0, text.size() - (text.back() == '\n' ? 1 : 0));
    });
}

// --- Both computing paths write the same bytes ------------------------------------------

struct PathOutputs {
    int status = 0;
    std::string console;
    std::vector<std::string> files;
};

const std::vector<std::string> kPathOutputs{"SST_complete.txt",
                                            "SST_short.txt",
                                            "info",
                                            "stock",
                                            "Faun.tot",
                                            "SST.tot",
                                            "random_estimates.tsv",
                                            "random_cv.tsv",
                                            "random_cv_summary.tsv"};

// A run of the project in `inputs`, then its cross-validation, in leave-one-out form for
// odd seeds and in three folds for even ones.
PathOutputs RunPath(const fs::path& inputs, const fs::path& folder, bool referencePath, int threads,
                    unsigned seed) {
    fs::create_directories(folder);
    // File by file: mingw's std::filesystem::copy refuses a folder into an existing one.
    for (const fs::directory_entry& entry : fs::directory_iterator(inputs))
        fs::copy_file(entry.path(), folder / entry.path().filename());
    EngineOptions options{folder.string(), kPosixPathStyle};
    options.referencePath = referencePath;
    options.threads = threads;
    std::ostringstream console;
    std::string error;
    PathOutputs run;
    run.status = RunProject("random.pro", options, console, error);
    run.console = console.str() + error;
    const CrossValidationOptions cv{3, seed % 2 == 1};
    error.clear();
    // Appended piece by piece: the cross-validation's message is there only after it ran (and
    // GCC 12 takes a literal prefixed to a temporary for an overlapping copy, -Wrestrict).
    const int cvStatus = RunCrossValidation("random.pro", options, cv, console, error);
    run.console += '|';
    run.console += std::to_string(cvStatus);
    run.console += error;
    for (const std::string& name : kPathOutputs) {
        run.files.push_back(ReadFile(folder / name));
    }
    return run;
}

// A random project small enough for the straightforward loops: a synthetic reference set
// and core, random run parameters and header flags, and now and then a subject sample
// without species, a subject file that ends too early, or more virtual rows than fit.
void WriteRandomProject(unsigned seed, const fs::path& folder) {
    std::mt19937 random(seed);
    const auto integer = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    workload::SyntheticShape shape;
    shape.references = integer(5, 160);
    shape.species = integer(1, 45);
    shape.subjects = seed % 4 == 0 ? integer(257, 300) : integer(1, 60);
    shape.seed = seed;
    shape.duplicateShare = 0.1;
    workload::ProjectData data = workload::MakeSynthetic(shape);
    fs::create_directories(folder);
    data.maxAnalogs = integer(1, 50);
    data.excludeBestAnalog = integer(0, 1);
    data.subjectHeaderFlag = integer(0, 1);
    data.analogHeaderFlag = integer(0, 1);
    data.dataFormat = integer(0, 1);
    const float steps[] = {0.7f, 1.0f, 1.5f, 2.5f};
    const float radii[] = {0.0f, 0.2f, 0.5f, 1.0f, 3.0f, 9.0f};
    data.gridStep = steps[integer(0, 3)];
    data.searchRadius = radii[integer(0, 5)];
    // A subject sample identical to a reference sample has a perfect analog.
    data.subjects[0].values = data.references[0].values;
    if (seed % 5 == 1) {
        std::fill(data.subjects.back().values.begin(), data.subjects.back().values.end(), 0.0f);
    }
    std::string error;
    ASSERT_EQ(workload::WriteProject(data, folder.string(), "random", error), 0) << error;
    if (seed % 7 == 3) {
        std::string subjects = ReadFile(folder / "random.sam");
        WriteFile(folder / "random.sam", subjects.substr(0, subjects.size() * 2 / 3));
    }
}

TEST(engine_test, both_computing_paths_write_the_same_bytes_for_random_projects) {
    int completed = 0;
    int validated = 0;
    for (unsigned seed = 1; seed <= 16; ++seed) {
        TempDir dir;
        WriteRandomProject(seed, dir.path() / "inputs");
        ASSERT_FALSE(HasFatalFailure());
        const PathOutputs reference =
            RunPath(dir.path() / "inputs", dir.path() / "reference", true, 1, seed);
        const PathOutputs fast =
            RunPath(dir.path() / "inputs", dir.path() / "fast", false, 3, seed);
        EXPECT_EQ(fast.status, reference.status) << "seed " << seed;
        EXPECT_EQ(fast.console, reference.console) << "seed " << seed;
        for (size_t f = 0; f < kPathOutputs.size(); ++f) {
            EXPECT_EQ(fast.files[f], reference.files[f])
                << "seed " << seed << ", " << kPathOutputs[f];
        }
        completed += reference.status == 0 ? 1 : 0;
        validated += reference.console.rfind("|0") == reference.console.size() - 2 ? 1 : 0;
    }
    // Most runs must get through to the estimates, or the comparison shows little.
    EXPECT_GE(completed, 8);
    EXPECT_GE(validated, 8);
}

} // namespace
} // namespace marvane
