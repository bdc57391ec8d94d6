// The grid over the plane of the two environmental variables and the virtual
// reference samples built at its nodes.
#pragma once

#include "engine/tables.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace marvane {

struct EnvironmentRange {
    std::array<float, 2> minimum{};
    std::array<float, 2> maximum{};
};

// Range of env1 and env2 over the real reference rows, leaving out row `skipped` (-1:
// none). The minimum starts at 50 and the maximum at -20, so the range always covers at
// least that span.
EnvironmentRange ComputeEnvironmentRange(const ReferenceTable& table, int analogCount,
                                         int skipped = -1);

struct GridPlan {
    std::array<int, 2> steps{};
    long long generatedNodes = 0;
    long long usedNodes = 0;
};

// Returns 0, or -1 with a message when the grid would have more than `nodeLimit` nodes.
int PlanGrid(const EnvironmentRange& range, float gridStep, GridPlan& plan, std::string& error,
             long long nodeLimit = kMaxGridNodes);

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

// The real reference samples (rows 0 .. analogCount-1 of a table) arranged so that those
// near a grid node are found without visiting all of them.
class NearSamples {
  public:
    NearSamples(const ReferenceTable& table, int analogCount, const std::vector<GridNode>& nodes,
                float searchRadius);
    NearSamples(const NearSamples&) = delete;
    NearSamples& operator=(const NearSamples&) = delete;
    ~NearSamples();

    // Whether real row `row` lies within searchRadius of `node` (the boundary included),
    // decided as the builders decide it.
    bool Feeds(const GridNode& node, int row) const;

    // The samples other than row `skipped` (-1: none) that feed `node`, in row order,
    // each with its squared distance raised to 0.0001; returns the sum of the inverse
    // distances (S2). With `createdIsEnough` it stops as soon as that sum assures the
    // node of a virtual row. `candidates` is scratch space.
    float Gather(const GridNode& node, int skipped, bool createdIsEnough,
                 std::vector<int>& candidates,
                 std::vector<std::pair<int, float>>& contributions) const;

  private:
    class Index;
    std::vector<float> env1_;
    std::vector<float> env2_;
    float radiusSquared_ = 0.0f;
    std::unique_ptr<Index> index_; // null: every sample is a candidate
};

// Computes single virtual rows exactly as the builders do, keeping its scratch space
// from one node to the next.
class VirtualRowMaker {
  public:
    VirtualRowMaker(const ReferenceTable& table, const NearSamples& near, int speciesCount)
        : table_(table), near_(near), speciesCount_(speciesCount) {}

    // The virtual row of `node` made from the real samples other than row `skipped` (-1
    // skips none): false when they are not near enough to make one. `contributors` is
    // the number of samples that fed it.
    bool Make(const GridNode& node, int skipped, ReferenceRow& row, int& contributors);

  private:
    const ReferenceTable& table_;
    const NearSamples& near_;
    int speciesCount_;
    std::vector<int> candidates_;
    std::vector<std::pair<int, float>> contributions_;
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
