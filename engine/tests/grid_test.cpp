#include "engine/grid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace marvane {
namespace {

ReferenceRow Row(float env1, float env2, std::initializer_list<float> proportions) {
    ReferenceRow row;
    row.env1 = env1;
    row.env2 = env2;
    size_t s = 0;
    for (float p : proportions) {
        row.proportions[s++] = p;
    }
    return row;
}

TEST(grid_test, the_range_never_shrinks_below_minus_twenty_to_fifty) {
    ReferenceTable table;
    table.rows = {Row(60, 62, {1}), Row(70, 61, {1}), Row(-99, 100, {1})};
    const EnvironmentRange range = ComputeEnvironmentRange(table, 2);
    EXPECT_EQ(range.minimum[0], 50.0f);
    EXPECT_EQ(range.maximum[0], 70.0f);
    EXPECT_EQ(range.minimum[1], 50.0f);
    EXPECT_EQ(range.maximum[1], 62.0f);

    GridPlan plan;
    std::string error;
    ASSERT_EQ(PlanGrid(range, 0.25f, plan, error), 0);
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, 0.25f);
    EXPECT_EQ(nodes.front().env1, 49.75f);
    EXPECT_EQ(nodes.front().env2, 49.75f);
}

TEST(grid_test, unit_square_with_quarter_steps_uses_49_of_64_nodes) {
    EnvironmentRange range;
    range.minimum = {0.0f, 0.0f};
    range.maximum = {1.0f, 1.0f};
    GridPlan plan;
    std::string error;
    ASSERT_EQ(PlanGrid(range, 0.25f, plan, error), 0);
    EXPECT_EQ(plan.steps[0], 5);
    EXPECT_EQ(plan.steps[1], 5);
    EXPECT_EQ(plan.generatedNodes, 64);
    EXPECT_EQ(plan.usedNodes, 49);
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, 0.25f);
    ASSERT_EQ(nodes.size(), 49u);
    // Six full rows of 8 nodes, env1 -0.25 to 1.00 and env2 -0.25 to 1.50 ...
    EXPECT_EQ(nodes[0].env1, -0.25f);
    EXPECT_EQ(nodes[0].env2, -0.25f);
    EXPECT_EQ(nodes[7].env2, 1.5f);
    EXPECT_EQ(nodes[47].env1, 1.0f);
    EXPECT_EQ(nodes[47].env2, 1.5f);
    // ... and one node of the seventh.
    EXPECT_EQ(nodes[48].env1, 1.25f);
    EXPECT_EQ(nodes[48].env2, -0.25f);
}

TEST(grid_test, a_grid_beyond_fifty_thousand_nodes_is_refused) {
    EnvironmentRange range;
    range.minimum = {-2.0f, 0.0f};
    range.maximum = {50.0f, 50.0f};
    GridPlan plan;
    std::string error;
    // 52 / 0.24 gives 217 steps, 50 / 0.24 gives 209: (217 + 3) x (209 + 3) = 46640 nodes fit.
    EXPECT_EQ(PlanGrid(range, 0.24f, plan, error), 0) << error;
    EXPECT_EQ(plan.generatedNodes, 46640);
    EXPECT_EQ(PlanGrid(range, 0.2f, plan, error), -1);
    EXPECT_EQ(error, "gridStep 0.2 gives a grid of 67056 nodes over the range of the environment "
                     "values, more than the limit of 50000 grid nodes; please choose a larger "
                     "gridStep");
    range.maximum[0] = 3.0e38f;
    range.minimum[0] = -3.0e38f;
    EXPECT_EQ(PlanGrid(range, 0.25f, plan, error), -1);
}

TEST(grid_test, a_node_on_a_reference_sample_is_dominated_by_it) {
    ReferenceTable table;
    table.rows = {Row(1.0f, 1.0f, {1.0f, 0.0f}), Row(1.2f, 1.0f, {0.0f, 1.0f})};
    VirtualSamples virtuals;
    BuildVirtualSamples(table, 2, 2, {{1.0f, 1.0f}}, 0.3f, virtuals);
    ASSERT_EQ(virtuals.createdCount, 1);
    // Weights 1/0.0001 and 1/0.04: the node's own sample takes 400/401.
    EXPECT_NEAR(virtuals.rows[0].proportions[0], 400.0f / 401.0f, 1e-6f);
    EXPECT_NEAR(virtuals.rows[0].proportions[1], 1.0f / 401.0f, 1e-6f);
    ASSERT_EQ(virtuals.log.size(), 1u);
    EXPECT_EQ(virtuals.log[0].contributors, 2);
}

TEST(grid_test, inverse_squared_distance_average_with_the_radius_included) {
    ReferenceTable table;
    table.rows = {Row(0.0f, 0.0f, {1.0f, 0.0f, 0.0f}), Row(2.0f, 0.0f, {0.0f, 0.5f, 0.5f}),
                  Row(0.0f, 3.0f, {0.0f, 0.0f, 1.0f})};
    VirtualSamples virtuals;
    // The node (1, 0) lies at squared distance 1 from the first two samples and 10 from
    // the third; a radius of exactly 1 takes both of the first two.
    BuildVirtualSamples(table, 3, 3, {{1.0f, 0.0f}}, 1.0f, virtuals);
    ASSERT_EQ(virtuals.createdCount, 1);
    EXPECT_EQ(virtuals.rows[0].proportions[0], 0.5f);
    EXPECT_EQ(virtuals.rows[0].proportions[1], 0.25f);
    EXPECT_EQ(virtuals.rows[0].proportions[2], 0.25f);
    EXPECT_EQ(virtuals.rows[0].env1, 1.0f);
    EXPECT_EQ(virtuals.rows[0].env2, 0.0f);
}

TEST(grid_test, distant_nodes_get_no_virtual_sample_and_numbers_have_no_gaps) {
    ReferenceTable table;
    table.rows = {Row(0.0f, 0.0f, {0.6f, 0.4f}), Row(5.0f, 5.0f, {0.2f, 0.8f})};
    VirtualSamples virtuals;
    BuildVirtualSamples(table, 2, 2, {{0.0f, 0.1f}, {2.5f, 2.5f}, {5.0f, 5.2f}, {9.0f, 9.0f}}, 0.3f,
                        virtuals);
    ASSERT_EQ(virtuals.createdCount, 2);
    ASSERT_EQ(virtuals.log.size(), 2u);
    EXPECT_EQ(virtuals.log[0].number, 1);
    EXPECT_EQ(virtuals.log[0].env2, 0.1f);
    EXPECT_EQ(virtuals.log[1].number, 2);
    EXPECT_EQ(virtuals.log[1].env1, 5.0f);
    EXPECT_FLOAT_EQ(virtuals.rows[1].proportions[0], 0.2f);
    EXPECT_FLOAT_EQ(virtuals.rows[1].proportions[1], 0.8f);
    // Each virtual sample is again a complete assemblage.
    EXPECT_FLOAT_EQ(virtuals.rows[0].proportions[0] + virtuals.rows[0].proportions[1], 1.0f);
}

TEST(grid_test, a_zero_radius_takes_only_nodes_exactly_on_a_sample) {
    ReferenceTable table;
    table.rows = {Row(0.5f, 0.25f, {1.0f})};
    VirtualSamples virtuals;
    BuildVirtualSamples(table, 1, 1, {{0.5f, 0.0f}, {0.5f, 0.25f}}, 0.0f, virtuals);
    ASSERT_EQ(virtuals.createdCount, 1);
    EXPECT_EQ(virtuals.log[0].env2, 0.25f);
}

// --- The indexed builder against the straightforward loops ---------------------------

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSameVirtualSamples(const ReferenceTable& table, int speciesCount,
                              const std::vector<GridNode>& nodes, float radius) {
    const int analogCount = static_cast<int>(table.rows.size());
    VirtualSamples expected;
    VirtualSamples actual;
    BuildVirtualSamples(table, analogCount, speciesCount, nodes, radius, expected);
    BuildVirtualSamplesIndexed(table, analogCount, speciesCount, nodes, radius, kMaxReferenceRows,
                               actual);
    ASSERT_EQ(actual.createdCount, expected.createdCount) << "radius " << radius;
    ASSERT_EQ(actual.rows.size(), expected.rows.size());
    ASSERT_EQ(actual.log.size(), expected.log.size());
    for (size_t v = 0; v < expected.rows.size(); ++v) {
        for (size_t s = 0; s < kMaxSpecies; ++s) {
            ASSERT_TRUE(SameBits(actual.rows[v].proportions[s], expected.rows[v].proportions[s]))
                << "radius " << radius << ", virtual row " << v << ", species " << s;
        }
        EXPECT_TRUE(SameBits(actual.rows[v].env1, expected.rows[v].env1));
        EXPECT_TRUE(SameBits(actual.rows[v].env2, expected.rows[v].env2));
        EXPECT_EQ(actual.log[v].number, expected.log[v].number);
        EXPECT_EQ(actual.log[v].contributors, expected.log[v].contributors);
    }
}

std::vector<GridNode> PlannedNodes(const ReferenceTable& table, float gridStep) {
    const EnvironmentRange range =
        ComputeEnvironmentRange(table, static_cast<int>(table.rows.size()));
    GridPlan plan;
    std::string error;
    EXPECT_EQ(PlanGrid(range, gridStep, plan, error), 0) << error;
    return UsedGridNodes(plan, range, gridStep);
}

// Environment values as the engine reads them (hundredths), often on a node, on a
// duplicate or at exactly the radius from a node; proportions like real ones.
ReferenceTable RandomTable(std::mt19937& random, int rows, int speciesCount) {
    std::uniform_int_distribution<int> hundredths(-100, 350);
    std::uniform_int_distribution<int> quarters(-4, 12);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> count(0, 40);
    ReferenceTable table;
    for (int r = 0; r < rows; ++r) {
        ReferenceRow row;
        // The first sample sets the minimum, so the nodes fall on the quarter grid.
        switch (r == 0 ? -1 : kind(random)) {
        case -1:
            row.env1 = -1.0f;
            row.env2 = -1.0f;
            break;
        case 0: // on a node of a quarter-step grid
            row.env1 = static_cast<float>(quarters(random)) * 0.25f;
            row.env2 = static_cast<float>(quarters(random)) * 0.25f;
            break;
        case 1: // 0.30 beside such a node
            row.env1 = static_cast<float>(quarters(random)) * 0.25f + 0.3f;
            row.env2 = static_cast<float>(quarters(random)) * 0.25f;
            break;
        case 2:
            if (r > 0) { // a replicate station
                row = table.rows[static_cast<size_t>(r - 1)];
                break;
            }
            [[fallthrough]];
        default:
            row.env1 = static_cast<float>(hundredths(random)) / 100.0f;
            row.env2 = static_cast<float>(hundredths(random)) / 100.0f;
        }
        float sum = 0.0f;
        for (int s = 0; s < speciesCount; ++s) {
            row.proportions[static_cast<size_t>(s)] = static_cast<float>(count(random));
            sum += row.proportions[static_cast<size_t>(s)];
        }
        for (int s = 0; s < speciesCount; ++s) {
            row.proportions[static_cast<size_t>(s)] /= sum > 0.0f ? sum : 1.0f;
        }
        table.rows.push_back(row);
    }
    return table;
}

TEST(grid_test, the_indexed_builder_gives_the_straightforward_samples_bit_for_bit) {
    std::mt19937 random(5);
    for (int round = 0; round < 10; ++round) {
        const int speciesCount = 1 + round * 5 % 45;
        const ReferenceTable table = RandomTable(random, 20 + round * 8, speciesCount);
        for (const float step : {0.25f, 0.7f}) {
            const std::vector<GridNode> nodes = PlannedNodes(table, step);
            for (const float radius : {0.0f, 0.01f, 0.125f, 0.3f, 0.35f, 1.0f, 6.0f}) {
                ExpectSameVirtualSamples(table, speciesCount, nodes, radius);
            }
        }
    }
}

TEST(grid_test, extreme_values_and_radii_give_the_straightforward_samples) {
    ReferenceTable table;
    table.rows = {Row(1.0e35f, -1.0e35f, {1.0f, 0.0f}), Row(-1.0e35f, 1.0e35f, {0.0f, 1.0f}),
                  Row(0.5f, 0.5f, {0.5f, 0.5f}), Row(1.0e-30f, 0.0f, {0.25f, 0.75f})};
    const std::vector<GridNode> nodes{
        {0.0f, 0.0f}, {0.5f, 0.5f}, {1.0e35f, -1.0e35f}, {3.0e38f, -3.0e38f}, {-1.0e35f, 0.0f}};
    for (const float radius : {0.0f, 1.0e-20f, 0.5f, 1.0e17f, 2.0e19f, 1.0e30f, 3.0e38f}) {
        ExpectSameVirtualSamples(table, 2, nodes, radius);
    }
}

TEST(grid_test, beyond_the_row_limit_the_nodes_are_counted_but_not_built) {
    std::mt19937 random(9);
    const ReferenceTable table = RandomTable(random, 60, 4);
    const std::vector<GridNode> nodes = PlannedNodes(table, 0.25f);
    VirtualSamples all;
    BuildVirtualSamples(table, 60, 4, nodes, 0.3f, all);
    ASSERT_GT(all.createdCount, 5);
    VirtualSamples limited;
    BuildVirtualSamplesIndexed(table, 60, 4, nodes, 0.3f, 5, limited);
    EXPECT_EQ(limited.createdCount, all.createdCount);
    ASSERT_EQ(limited.rows.size(), 5u);
    ASSERT_EQ(limited.log.size(), 5u);
    for (size_t v = 0; v < 5; ++v) {
        EXPECT_EQ(limited.rows[v].proportions, all.rows[v].proportions);
        EXPECT_EQ(limited.log[v].contributors, all.log[v].contributors);
    }
}

} // namespace
} // namespace marvane
