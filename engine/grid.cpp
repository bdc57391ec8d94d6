#include "engine/grid.h"

#include "engine/format.h"

#include <algorithm>

namespace marvane {

EnvironmentRange ComputeEnvironmentRange(const ReferenceTable& table, int analogCount) {
    EnvironmentRange range;
    range.minimum = {50.0f, 50.0f};
    range.maximum = {-20.0f, -20.0f};
    for (int r = 0; r < analogCount; ++r) {
        const ReferenceRow& row = table.rows[static_cast<size_t>(r)];
        const std::array<float, 2> values{row.env1, row.env2};
        for (size_t k = 0; k < 2; ++k) {
            range.minimum[k] = std::min(range.minimum[k], values[k]);
            range.maximum[k] = std::max(range.maximum[k], values[k]);
        }
    }
    return range;
}

int PlanGrid(const EnvironmentRange& range, float gridStep, GridPlan& plan, std::string& error) {
    // Beyond this many steps the grid is refused anyway; stopping here keeps the
    // conversion to an integer defined.
    constexpr float kStepCeiling = 10000000.0f;
    long long generated = 1;
    for (size_t k = 0; k < 2; ++k) {
        const float quotient = (range.maximum[k] - range.minimum[k]) / gridStep;
        const int steps = quotient < kStepCeiling ? static_cast<int>(quotient) + 1
                                                  : static_cast<int>(kStepCeiling);
        plan.steps[k] = steps;
        generated *= steps + 3;
    }
    if (generated > kMaxGridNodes) {
        error = "gridStep " + FormatShortReal(gridStep) + " gives a grid of " +
                std::to_string(generated) +
                " nodes over the range of the environment values, more than the limit of " +
                std::to_string(kMaxGridNodes) + " grid nodes; please choose a larger gridStep";
        return -1;
    }
    plan.generatedNodes = static_cast<long>(generated);
    plan.usedNodes = static_cast<long>(plan.steps[0] + 2) * (plan.steps[1] + 2);
    return 0;
}

std::vector<GridNode> UsedGridNodes(const GridPlan& plan, const EnvironmentRange& range,
                                    float gridStep) {
    std::vector<GridNode> nodes;
    nodes.reserve(static_cast<size_t>(plan.usedNodes));
    for (int i = -1; i <= plan.steps[0] + 1; ++i) {
        for (int j = -1; j <= plan.steps[1] + 1; ++j) {
            if (static_cast<long>(nodes.size()) == plan.usedNodes) {
                return nodes;
            }
            nodes.push_back({range.minimum[0] + static_cast<float>(i) * gridStep,
                             range.minimum[1] + static_cast<float>(j) * gridStep});
        }
    }
    return nodes;
}

void BuildVirtualSamples(const ReferenceTable& table, int analogCount, int speciesCount,
                         const std::vector<GridNode>& nodes, float searchRadius,
                         VirtualSamples& result) {
    result = VirtualSamples();
    const float radiusSquared = searchRadius * searchRadius;
    for (int s = 0; s < speciesCount; ++s) {
        int counter = 0;
        for (const GridNode& node : nodes) {
            float weightedSum = 0.0f; // S1
            float weightSum = 0.0f;   // S2
            int contributors = 0;
            for (int r = 0; r < analogCount; ++r) {
                const ReferenceRow& row = table.rows[static_cast<size_t>(r)];
                const float d1 = node.env1 - row.env1;
                const float d2 = node.env2 - row.env2;
                float distance = d1 * d1 + d2 * d2;
                if (!(radiusSquared >= distance)) {
                    continue;
                }
                // No single reference sample may weigh more than 10000.
                distance = std::max(distance, 0.0001f);
                weightedSum += row.proportions[static_cast<size_t>(s)] / distance;
                weightSum += 1.0f / distance;
                ++contributors;
            }
            if (!(weightSum > 0.00001f)) {
                continue;
            }
            ++counter;
            if (static_cast<int>(result.rows.size()) < counter) {
                result.rows.emplace_back();
            }
            ReferenceRow& row = result.rows[static_cast<size_t>(counter - 1)];
            row.proportions[static_cast<size_t>(s)] = weightedSum / weightSum;
            row.env1 = node.env1;
            row.env2 = node.env2;
            if (s == 0) {
                result.log.push_back({counter, contributors, node.env1, node.env2});
            }
        }
        result.createdCount = std::max(result.createdCount, counter);
    }
}

} // namespace marvane
