// The reference set without one of its samples, and the no-analog check built on it.
#include "engine/reference_set.h"

#include "engine/engine.h"
#include "engine/tests/engine_runs.h"
#include "engine/workload/workload.h"
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

namespace marvane {
namespace {

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Real reference rows with environment values in hundredths, many on the nodes of a
// quarter grid or a replicate of the row before, and random assemblages.
ReferenceTable RandomReferences(std::mt19937& random, int rows, int speciesCount) {
    std::uniform_int_distribution<int> hundredths(0, 300);
    std::uniform_int_distribution<int> quarters(0, 12);
    std::uniform_int_distribution<int> kind(0, 2);
    std::uniform_int_distribution<int> count(0, 30);
    ReferenceTable table;
    for (int r = 0; r < rows; ++r) {
        ReferenceRow row;
        row.name = "R";
        row.name += std::to_string(r); // not "R" + ...: a false -Wrestrict of GCC 12
        const int k = kind(random);
        if (k == 0 && r > 0) {
            row = table.rows.back();
        } else {
            row.env1 = k == 1 ? static_cast<float>(quarters(random)) * 0.25f
                              : static_cast<float>(hundredths(random)) / 100.0f;
            row.env2 = static_cast<float>(hundredths(random)) / 100.0f;
            float sum = 0.0f;
            for (int s = 0; s < speciesCount; ++s) {
                row.proportions[static_cast<size_t>(s)] = static_cast<float>(1 + count(random));
                sum += row.proportions[static_cast<size_t>(s)];
            }
            for (int s = 0; s < speciesCount; ++s) {
                row.proportions[static_cast<size_t>(s)] /= sum;
            }
        }
        table.rows.push_back(row);
    }
    return table;
}

// The set built from scratch without row r, as a run of the reduced project builds it.
ReferenceTable BuiltWithout(const ReferenceTable& real, int r, const Project& project) {
    ReferenceTable reduced;
    for (size_t q = 0; q < real.rows.size(); ++q) {
        if (q != static_cast<size_t>(r)) {
            reduced.rows.push_back(real.rows[q]);
        }
    }
    const int count = static_cast<int>(reduced.rows.size());
    EnvironmentRange range;
    GridPlan plan;
    VirtualSamples virtuals;
    std::string error;
    EXPECT_EQ(
        PlanReferenceGrid(reduced, count, project.gridStep, kLiftedLimits, range, plan, error), 0);
    EXPECT_EQ(BuildVirtualRows(reduced, count, project, range, plan, kLiftedLimits, true, virtuals,
                               error),
              0);
    AppendVirtualRows(virtuals, reduced);
    return reduced;
}

TEST(reference_set_test, a_left_out_view_is_the_set_built_without_the_sample_bit_for_bit) {
    std::mt19937 random(11);
    int rebuilt = 0;
    int kept = 0;
    for (int round = 0; round < 8; ++round) {
        Project project;
        project.speciesCount = 1 + round * 6 % 45;
        project.analogCount = 12 + round * 3;
        project.gridStep = round % 2 == 0 ? 0.25f : 0.5f;
        project.searchRadius =
            std::array<float, 4>{0.0f, 0.3f, 0.6f, 2.0f}[static_cast<size_t>(round % 4)];
        const ReferenceTable real =
            RandomReferences(random, project.analogCount, project.speciesCount);
        for (const bool referencePath : {true, false}) {
            ReferenceTable whole = real;
            EnvironmentRange range;
            GridPlan plan;
            VirtualSamples virtuals;
            std::string error;
            ASSERT_EQ(PlanReferenceGrid(whole, project.analogCount, project.gridStep, kFixedLimits,
                                        range, plan, error),
                      0);
            ASSERT_EQ(BuildVirtualRows(whole, project.analogCount, project, range, plan,
                                       kLiftedLimits, referencePath, virtuals, error),
                      0);
            AppendVirtualRows(virtuals, whole);
            const AnalogSearch search(project, whole, referencePath);
            const LeaveOneOut leaveOneOut(project, whole, range, search, referencePath);
            LeftOutView view;
            for (int r = 0; r < project.analogCount; ++r) {
                const ReferenceTable expected = BuiltWithout(real, r, project);
                std::vector<float> dissimilarities;
                ComputeDissimilarities(expected, real.rows[static_cast<size_t>(r)].proportions,
                                       project.speciesCount, dissimilarities);
                leaveOneOut.View(r, view);
                ASSERT_EQ(view.dissimilarities.size(), dissimilarities.size())
                    << "round " << round << ", row " << r;
                ASSERT_EQ(view.rows.size(), expected.rows.size());
                for (size_t q = 0; q < dissimilarities.size(); ++q) {
                    ASSERT_TRUE(SameBits(view.dissimilarities[q], dissimilarities[q]))
                        << "round " << round << ", row " << r << ", set row " << q;
                    ASSERT_EQ(view.rows[q]->proportions, expected.rows[q].proportions);
                    ASSERT_EQ(view.rows[q]->env1, expected.rows[q].env1);
                    ASSERT_EQ(view.rows[q]->env2, expected.rows[q].env2);
                }
                const bool moved =
                    ComputeEnvironmentRange(real, project.analogCount, r).minimum !=
                        range.minimum ||
                    ComputeEnvironmentRange(real, project.analogCount, r).maximum != range.maximum;
                (moved ? rebuilt : kept) += 1;
            }
        }
    }
    // Both ways of making a view were met.
    EXPECT_GT(rebuilt, 8);
    EXPECT_GT(kept, 100);
}

TEST(reference_set_test, percentiles_count_the_reference_figures_strictly_below) {
    const std::vector<float> figures{0.1f, 0.2f, 0.2f, 0.4f};
    EXPECT_EQ(PercentileAmong(figures, 0.05f), 0.0);
    EXPECT_EQ(PercentileAmong(figures, 0.1f), 0.0);
    EXPECT_EQ(PercentileAmong(figures, 0.2f), 25.0);
    EXPECT_EQ(PercentileAmong(figures, 0.3f), 75.0);
    EXPECT_EQ(PercentileAmong(figures, 0.5f), 100.0);
    EXPECT_TRUE(std::isnan(PercentileAmong(figures, std::nanf(""))));
    EXPECT_TRUE(std::isnan(PercentileAmong({}, 0.5f)));
    // Beyond the 95th percentile means above more than 95 per cent of the figures.
    std::vector<float> twenty;
    for (int i = 1; i <= 20; ++i) {
        twenty.push_back(static_cast<float>(i));
    }
    EXPECT_FALSE(PercentileAmong(twenty, 20.0f) > kNoAnalogPercentile);
    EXPECT_TRUE(PercentileAmong(twenty, 20.5f) > kNoAnalogPercentile);
}

// Four reference samples of two species on the nodes of a grid of step 1 with search
// radius 0, so that each virtual sample is a copy of one of them; the three species of
// the fossil samples let them lie farther off. Each reference sample's figure is then its
// smallest dissimilarity to the three others, by hand:
//   R1 (1, 0)     D to R2 = (1 - sqrt .9)^2 + .1                  = 0.102633
//   R2 (.9, .1)   D to R1                                         = 0.102633
//   R3 (.5, .5)   D to R2 = (sqrt .9 - sqrt .5)^2 + (sqrt .1 - sqrt .5)^2 = 0.211146
//   R4 (0, 1)     D to R3 = .5 + (1 - sqrt .5)^2                  = 0.585786
TEST(reference_set_test, the_no_analog_check_on_a_set_checked_by_hand) {
    workload::ProjectData data;
    data.speciesNames = {"A", "B", "C"};
    const auto sample = [](const char* name, std::vector<float> values, float env) {
        workload::Sample s;
        s.name = name;
        s.values = std::move(values);
        s.env1 = env;
        s.env2 = env;
        return s;
    };
    data.references = {sample("R1", {100, 0, 0}, 0.0f), sample("R2", {90, 10, 0}, 1.0f),
                       sample("R3", {50, 50, 0}, 2.0f), sample("R4", {0, 100, 0}, 3.0f)};
    data.subjects = {sample("SAME", {100, 0, 0}, 0), sample("NEAR", {85, 0, 15}, 0),
                     sample("FAR", {60, 0, 40}, 0), sample("ALIEN", {0, 0, 100}, 0)};
    data.excludeBestAnalog = 0;
    data.gridStep = 1.0f;
    data.searchRadius = 0.0f;
    testsupport::TempDir dir;
    std::string error;
    ASSERT_EQ(workload::WriteProject(data, dir.path().string(), "hand", error), 0) << error;
    std::ostringstream console;
    ASSERT_EQ(RunProject("hand.pro", test::OptionsIn(dir), console, error), kRunComplete) << error;
    EXPECT_NE(console.str().find(" NSH=       4\n"), std::string::npos) << console.str();
    EXPECT_NE(console.str().find(" Samples marked \"no analog\" in hand_estimates.tsv:       1 of"
                                 "       4\n"),
              std::string::npos);
    // SAME: D 0 to R1; NEAR: D to R1 = (sqrt .85 - 1)^2 + .15 = 0.156091, above two of
    // the four figures; FAR: D to R1 = (sqrt .6 - 1)^2 + .4 = 0.450807, above three;
    // ALIEN: D 2 to every row.
    std::istringstream table(dir.Read("hand_estimates.tsv"));
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line, "Sample\tDissimilarity\tT1\tT1_SD\tT2\tT2_SD\tPercentile\tFlag");
    const struct {
        const char* name;
        double dissimilarity;
        const char* tail;
    } expected[] = {{"SAME", 0.0, "\t0.0\t"},
                    {"NEAR", 0.156091, "\t50.0\t"},
                    {"FAR", 0.450807, "\t75.0\t"},
                    {"ALIEN", 2.0, "\t100.0\tno analog"}};
    for (const auto& row : expected) {
        ASSERT_TRUE(std::getline(table, line));
        EXPECT_EQ(line.substr(0, line.find('\t')), row.name);
        EXPECT_NEAR(std::stod(line.substr(line.find('\t') + 1)), row.dissimilarity, 2e-6) << line;
        EXPECT_EQ(line.substr(line.rfind('\t', line.rfind('\t') - 1)), row.tail) << line;
    }
}

} // namespace
} // namespace marvane
