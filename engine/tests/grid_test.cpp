#include "engine/grid.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace marvane
