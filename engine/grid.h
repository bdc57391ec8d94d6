// The grid over the plane of the two environmental variables and the virtual
// reference samples built at its nodes.
#pragma once

#include "engine/tables.h"

#include <array>
#include <string>
#include <vector>

namespace marvane {

struct EnvironmentRange {
    std::array<float, 2> minimum{};
    std::array<float, 2> maximum{};
};

// Range of env1 and env2 over the real reference rows. The minimum starts at 50 and
// the maximum at -20, so the range always covers at least that span.
EnvironmentRange ComputeEnvironmentRange(const ReferenceTable& table, int analogCount);

struct GridPlan {
    std::array<int, 2> steps{};
    long generatedNodes = 0;
    long usedNodes = 0;
};

// Returns 0, or -1 with a message when the grid would exceed kMaxGridNodes.
int PlanGrid(const EnvironmentRange& range, float gridStep, GridPlan& plan, std::string& error);

struct GridNode {
    float env1 = 0.0f;
    float env2 = 0.0f;
};

// The nodes that take part in building virtual samples, in generation order.
std::vector<GridNode> UsedGridNodes(const GridPlan& plan, const EnvironmentRange& range,
                                    float gridStep);

// A line of the "info" log: a virtual sample as the first species created it.
struct VirtualSampleLog {
    int number = 0;
    int contributors = 0;
    float env1 = 0.0f;
    float env2 = 0.0f;
};

struct VirtualSamples {
    std::vector<ReferenceRow> rows; // unnamed; proportions, env1 and env2 filled
    std::vector<VirtualSampleLog> log;
    int createdCount = 0; // NSH: the most virtual rows any species produced
};

// Inverse-squared-distance averages of the real reference samples within
// searchRadius of each node, species by species: the straightforward loops, which
// recompute every node-to-sample distance for every species.
void BuildVirtualSamples(const ReferenceTable& table, int analogCount, int speciesCount,
                         const std::vector<GridNode>& nodes, float searchRadius,
                         VirtualSamples& result);

// The same virtual samples, bit for bit, with far less work: the samples near a node
// are looked up in an index of environment space and found once for all species. Rows
// and log are filled only while createdCount stays within `rowLimit`; beyond it the
// remaining nodes are only counted, so createdCount is always complete.
void BuildVirtualSamplesIndexed(const ReferenceTable& table, int analogCount, int speciesCount,
                                const std::vector<GridNode>& nodes, float searchRadius,
                                int rowLimit, VirtualSamples& result);

} // namespace marvane
