// Cross-validation: the folds, the figures, and estimates that are exactly those of runs
// of the reduced projects.
#include "engine/cross_validation.h"

#include "engine/tests/engine_runs.h"
#include "engine/tsv_tables.h"
#include "engine/workload/workload.h"
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

namespace marvane {
namespace {

namespace fs = std::filesystem;
using namespace test;
using testsupport::TempDir;

TEST(cross_validation_test, folds_are_a_fixed_shuffle_of_nearly_equal_sizes) {
    // The assignment must be the same on every platform and in every release.
    EXPECT_EQ(AssignFolds(10, 3), (std::vector<int>{1, 0, 2, 0, 0, 2, 1, 2, 1, 0}));
    for (const auto& [count, folds] : {std::pair{53, 10}, {3916, 10}, {7, 7}, {5, 2}}) {
        const std::vector<int> assigned = AssignFolds(count, folds);
        std::vector<int> sizes(static_cast<size_t>(folds), 0);
        for (const int fold : assigned) {
            ASSERT_GE(fold, 0);
            ASSERT_LT(fold, folds);
            ++sizes[static_cast<size_t>(fold)];
        }
        const auto [smallest, largest] = std::minmax_element(sizes.begin(), sizes.end());
        EXPECT_LE(*largest - *smallest, 1) << count << " in " << folds;
    }
}

CrossValidatedSample Validated(float observed, float estimated) {
    CrossValidatedSample sample;
    sample.observed = {observed, observed};
    sample.estimate = {estimated, estimated};
    sample.estimated = true;
    return sample;
}

TEST(cross_validation_test, figures_of_residuals_checked_by_hand) {
    // Observed 0 .. 9, one per bin of the ten; residuals 1, -1, 0 x 6, 2, 2.
    const float residuals[] = {1, -1, 0, 0, 0, 0, 0, 0, 2, 2};
    std::vector<CrossValidatedSample> samples;
    for (int i = 0; i < 10; ++i) {
        samples.push_back(Validated(static_cast<float>(i), static_cast<float>(i) + residuals[i]));
    }
    samples.push_back(CrossValidatedSample{"NONE", {50, 50}, false, {0, 0}}); // left out
    const CrossValidationFigures f = ComputeFigures(samples, 0);
    EXPECT_EQ(f.samples, 10);
    EXPECT_DOUBLE_EQ(f.rmsep, 1.0);    // sqrt((1 + 1 + 4 + 4) / 10)
    EXPECT_DOUBLE_EQ(f.meanBias, 0.4); // 4 / 10
    EXPECT_DOUBLE_EQ(f.maxBias, 2.0);  // the bins of 8 and 9
    // Estimates 1 0 2 3 4 5 6 7 10 11 against 0 .. 9: means 4.9 and 4.5.
    double sxy = 0, sxx = 0, syy = 0;
    const double estimates[] = {1, 0, 2, 3, 4, 5, 6, 7, 10, 11};
    for (int i = 0; i < 10; ++i) {
        sxy += (i - 4.5) * (estimates[i] - 4.9);
        sxx += (i - 4.5) * (i - 4.5);
        syy += (estimates[i] - 4.9) * (estimates[i] - 4.9);
    }
    EXPECT_NEAR(f.r2, sxy * sxy / (sxx * syy), 1e-12);

    // Two bins: 0 .. 0.9 holds residuals 1 and -3, 9.1 .. 10 holds 0.5; the larger bias
    // is the first bin's mean, -1.
    const CrossValidationFigures two =
        ComputeFigures({Validated(0, 1), Validated(0.5f, -2.5f), Validated(10, 10.5f)}, 1);
    EXPECT_DOUBLE_EQ(two.maxBias, -1.0);
    // All observed values alike: one bin, and no correlation.
    const CrossValidationFigures alike = ComputeFigures({Validated(3, 4), Validated(3, 1)}, 0);
    EXPECT_DOUBLE_EQ(alike.maxBias, -0.5);
    EXPECT_TRUE(std::isnan(alike.r2));
    EXPECT_TRUE(std::isnan(ComputeFigures({}, 0).rmsep));
}

// A small reference set of four species on a grid of step 0.5 (search radius 0.6), with
// two samples that repeat each other and one unlike all others, far off in environment
// space.
workload::ProjectData SmallSet(int excludeBestAnalog) {
    workload::ProjectData data;
    data.speciesNames = {"A", "B", "C", "D"};
    const std::vector<std::vector<float>> values{
        {50, 30, 20, 0}, {40, 40, 10, 10}, {10, 60, 20, 10}, {0, 20, 70, 10}, {40, 40, 10, 10},
        {0, 0, 0, 100},  {30, 30, 30, 10}, {60, 10, 20, 10}, {20, 20, 20, 40}};
    const float env[][2] = {{1.0f, 2.0f},  {1.5f, 2.5f}, {2.0f, 2.0f}, {3.0f, 4.0f}, {1.5f, 2.5f},
                            {10.0f, 8.0f}, {2.2f, 3.1f}, {0.5f, 1.0f}, {2.5f, 3.5f}};
    for (size_t i = 0; i < values.size(); ++i) {
        workload::Sample sample;
        sample.name = "REF" + std::to_string(i + 1);
        sample.values = values[i];
        sample.env1 = env[i][0];
        sample.env2 = env[i][1];
        data.references.push_back(sample);
    }
    data.subjects = {data.references[0]};
    data.excludeBestAnalog = excludeBestAnalog;
    data.maxAnalogs = 4;
    data.gridStep = 0.5f;
    data.searchRadius = 0.6f;
    return data;
}

// The cells of a tab-separated table by row, without its header.
std::vector<std::vector<std::string>> Rows(const std::string& table) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(table);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string>& cells = rows.emplace_back();
        std::istringstream cellsIn(line);
        for (std::string cell; std::getline(cellsIn, cell, '\t');) {
            cells.push_back(cell);
        }
        cells.resize(8); // an empty last cell is not seen by getline
    }
    return rows;
}

// The estimates of T1 and T2 that a normal run gives `subject` against the references
// not in `left`.
std::array<std::string, 2> RunReduced(const workload::ProjectData& data,
                                      const std::vector<bool>& left, size_t subject) {
    workload::ProjectData reduced = data;
    reduced.references.clear();
    for (size_t i = 0; i < data.references.size(); ++i) {
        if (!left[i]) {
            reduced.references.push_back(data.references[i]);
        }
    }
    reduced.subjects = {data.references[subject]};
    TempDir dir;
    std::string error;
    EXPECT_EQ(workload::WriteProject(reduced, dir.path().string(), "reduced", error), 0) << error;
    std::ostringstream console;
    EXPECT_EQ(RunProject("reduced.pro", OptionsIn(dir), console, error), kRunComplete) << error;
    const std::vector<std::vector<std::string>> rows = Rows(dir.Read("reduced_estimates.tsv"));
    EXPECT_EQ(rows.size(), 1u);
    return {rows.at(0)[2], rows.at(0)[4]};
}

struct Mode {
    CrossValidationOptions cv;
    int excludeBestAnalog;
    bool referencePath;
};

class cross_validation_mode_test : public ::testing::TestWithParam<Mode> {};

TEST_P(cross_validation_mode_test, each_estimate_is_that_of_a_run_of_the_reduced_project) {
    const Mode mode = GetParam();
    const workload::ProjectData data = SmallSet(mode.excludeBestAnalog);
    TempDir dir;
    std::string error;
    ASSERT_EQ(workload::WriteProject(data, dir.path().string(), "small", error), 0) << error;
    EngineOptions options = OptionsIn(dir);
    options.referencePath = mode.referencePath;
    std::ostringstream console;
    ASSERT_EQ(RunCrossValidation("small.pro", options, mode.cv, console, error), 0) << error;
    const std::vector<std::vector<std::string>> rows = Rows(dir.Read("small_cv.tsv"));
    const size_t count = data.references.size();
    ASSERT_EQ(rows.size(), count);
    const std::vector<int> folds = AssignFolds(static_cast<int>(count), mode.cv.folds);
    int estimated = 0;
    for (size_t i = 0; i < count; ++i) {
        std::vector<bool> left(count, false);
        for (size_t j = 0; j < count; ++j) {
            left[j] = mode.cv.leaveOneOut ? j == i : folds[j] == folds[i];
        }
        const std::array<std::string, 2> expected = RunReduced(data, left, i);
        EXPECT_EQ(rows[i][0], "REF" + std::to_string(i + 1));
        EXPECT_EQ(rows[i][2], expected[0]) << "sample " << i + 1;
        EXPECT_EQ(rows[i][5], expected[1]) << "sample " << i + 1;
        estimated += rows[i][2].empty() ? 0 : 1;
    }
    // Most samples get an estimate; the far one gets none.
    EXPECT_GE(estimated, 6);
    EXPECT_EQ(rows[5][2], "");
}

INSTANTIATE_TEST_SUITE_P(cross_validation_test, cross_validation_mode_test,
                         ::testing::Values(Mode{{10, true}, 0, false}, Mode{{10, true}, 1, false},
                                           Mode{{3, false}, 1, false}, Mode{{4, false}, 0, true},
                                           Mode{{10, true}, 1, true}));

TEST(cross_validation_test, writes_its_two_tables_and_nothing_else) {
    TempDir dir;
    std::string error;
    ASSERT_EQ(workload::WriteProject(SmallSet(1), dir.path().string(), "small", error), 0);
    // The subject samples play no part: their file need not even be there.
    fs::remove(dir.path() / "small.sam");
    std::map<std::string, std::string> before;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        before[entry.path().filename().string()] = dir.Read(entry.path().filename().string());
    }
    std::ostringstream console;
    ASSERT_EQ(RunCrossValidation("small.pro", OptionsIn(dir), {3, false}, console, error), 0)
        << error;
    std::map<std::string, std::string> after;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        after[entry.path().filename().string()] = dir.Read(entry.path().filename().string());
    }
    const std::string summary = after["small_cv_summary.tsv"];
    EXPECT_EQ(summary.substr(0, summary.find('\n')),
              "Method\tVariable\tSamples\tFolds\tRMSEP\tR2\tMean_bias\tMax_bias");
    EXPECT_EQ(after["small_cv.tsv"].substr(0, after["small_cv.tsv"].find('\n')),
              "Sample\tT1_observed\tT1_estimated\tT1_residual\tT2_observed\tT2_estimated\t"
              "T2_residual");
    after.erase("small_cv.tsv");
    after.erase("small_cv_summary.tsv");
    EXPECT_EQ(after, before);
    EXPECT_NE(console.str().find(summary), std::string::npos);
    EXPECT_NE(console.str().find(" 9 reference samples in 3 folds (assigned by a shuffle with the "
                                 "fixed seed 20240611)"),
              std::string::npos)
        << console.str();
}

struct Refusal {
    CrossValidationOptions cv;
    Edit edit;
    const char* message;
};

class cross_validation_refusal_test : public ::testing::TestWithParam<Refusal> {};

TEST_P(cross_validation_refusal_test, is_named_and_writes_nothing) {
    TempDir dir;
    std::string error;
    ASSERT_EQ(workload::WriteProject(SmallSet(1), dir.path().string(), "small", error), 0);
    if (GetParam().edit.file != nullptr) {
        ApplyEdit(dir.path(), GetParam().edit);
    }
    std::ostringstream console;
    EXPECT_EQ(RunCrossValidation("small.pro", OptionsIn(dir), GetParam().cv, console, error), -1);
    EXPECT_EQ(error, GetParam().message);
    EXPECT_FALSE(dir.Has("small_cv.tsv"));
    EXPECT_FALSE(dir.Has("small_cv_summary.tsv"));
    EXPECT_EQ(console.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    cross_validation_test, cross_validation_refusal_test,
    ::testing::Values(
        Refusal{{10, false},
                {},
                "file \"small.pro\": 9 reference samples cannot be split into 10 folds (at least "
                "2 folds, and no more folds than samples)"},
        Refusal{{3, false},
                {"small.ref", 6, "            000000000000"},
                "file \"small.ref\", record 5: reference sample 2 \"REF2\" has no species: its "
                "values add up to zero"},
        Refusal{{3, false},
                {"small.pro", 6, "02"},
                "file \"small.pro\", record 6: the header flags are 0 and 2, but each must be 0 "
                "or 1"},
        // The far sample stretches the grid: with it, a fold has more nodes than the
        // fixed tables allow.
        Refusal{{3, false},
                {"small.pro", 7, " 4    1    9 1  4 0.030 0.600"},
                "fold 2 of 3: gridStep 0.03 gives a grid of 75840 nodes over the range of the "
                "environment values, more than the limit of 50000 grid nodes; please choose a "
                "larger gridStep"}));

TEST(cross_validation_test, the_bundled_example_in_ten_folds) {
    TempDir dir;
    dir.CopyAll(MARVANE_EXAMPLE_DIR);
    std::ostringstream console;
    std::string error;
    ASSERT_EQ(RunCrossValidation("Velmar_Project1.pro", OptionsIn(dir), {}, console, error), 0)
        << error;
    testsupport::ExpectGolden(Expected("example", "cv_console.txt"), console.str());
    testsupport::ExpectGolden(Expected("example", "Velmar_Project1_cv.tsv"),
                              dir.Read("Velmar_Project1_cv.tsv"));
    testsupport::ExpectGolden(Expected("example", "Velmar_Project1_cv_summary.tsv"),
                              dir.Read("Velmar_Project1_cv_summary.tsv"));
}

} // namespace
} // namespace marvane
