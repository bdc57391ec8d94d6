#include "engine/grid.h"

#include "engine/format.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace marvane {

namespace {

constexpr float kClosest = 0.0001f; // no single reference sample weighs more than 10000
constexpr float kLeastWeightSum = 0.00001f;

// The squared distance in environment space, one expression for both computing paths.
inline float SquaredDistance(const GridNode& node, float env1, float env2) {
    const float d1 = node.env1 - env1;
    const float d2 = node.env2 - env2;
    return d1 * d1 + d2 * d2;
}

// Beyond this the cells of the index could not be told apart; such grids are scanned.
constexpr double kIndexableValue = 1.0e30;

} // namespace

// The real reference samples bucketed into a uniform grid of cells over their bounding
// box in environment space, each cell listing its samples in row order. A lookup takes
// the cells within a reach somewhat wider than the search radius: rounding can make the
// computed distance of a sample slightly smaller than the true one, but never by a
// ten-thousandth of it, and a squared difference below 1e-30 is the only place where
// underflow could hide one. So the cells always hold every sample that the distance
// test accepts, and that test then decides exactly as on the straightforward path.
class NearSamples::Index {
  public:
    // False when the samples' values are too far apart for cells.
    bool Build(const std::vector<float>& env1, const std::vector<float>& env2, float searchRadius) {
        reach_ = std::max(static_cast<double>(searchRadius), 1.0e-15) * 1.0001;
        const std::array<const std::vector<float>*, 2> values{&env1, &env2};
        std::array<double, 2> extent{};
        for (size_t k = 0; k < 2; ++k) {
            const auto [low, high] = std::minmax_element(values[k]->begin(), values[k]->end());
            low_[k] = *low;
            high_[k] = *high;
            if (!(std::fabs(low_[k]) < kIndexableValue && std::fabs(high_[k]) < kIndexableValue)) {
                return false;
            }
            extent[k] = high_[k] - low_[k];
            cells_[k] = static_cast<int>(std::clamp(std::ceil(extent[k] / reach_), 1.0, 512.0));
        }
        // About four cells per sample at most: enough to keep lookups short, small
        // enough to cost nothing next to the samples themselves.
        const double budget = std::max(64.0, 4.0 * static_cast<double>(env1.size()));
        const double total = static_cast<double>(cells_[0]) * cells_[1];
        if (total > budget) {
            const double shrink = std::sqrt(budget / total);
            for (int& count : cells_) {
                count = std::max(1, static_cast<int>(count * shrink));
            }
        }
        for (size_t k = 0; k < 2; ++k) {
            size_[k] = extent[k] > 0.0 ? extent[k] / cells_[k] : 1.0;
        }
        // Counting sort by cell keeps each cell's samples in row order.
        const size_t cellCount = static_cast<size_t>(cells_[0]) * static_cast<size_t>(cells_[1]);
        start_.assign(cellCount + 1, 0);
        std::vector<int> cellOf(env1.size());
        for (size_t r = 0; r < env1.size(); ++r) {
            cellOf[r] = Cell(0, env1[r]) * cells_[1] + Cell(1, env2[r]);
            ++start_[static_cast<size_t>(cellOf[r]) + 1];
        }
        std::partial_sum(start_.begin(), start_.end(), start_.begin());
        rows_.resize(env1.size());
        std::vector<int> fill(start_.begin(), start_.end() - 1);
        for (size_t r = 0; r < env1.size(); ++r) {
            rows_[static_cast<size_t>(fill[static_cast<size_t>(cellOf[r])]++)] =
                static_cast<int>(r);
        }
        return true;
    }

    // The rows of the samples in the cells within reach of the node, ascending. False
    // when those cells hold so many samples that scanning them all in order is cheaper.
    bool Near(const GridNode& node, std::vector<int>& rows) const {
        rows.clear();
        const std::array<double, 2> at{node.env1, node.env2};
        std::array<int, 2> first{};
        std::array<int, 2> last{};
        for (size_t k = 0; k < 2; ++k) {
            const double low = at[k] - reach_;
            const double high = at[k] + reach_;
            if (high < low_[k] || low > high_[k]) {
                return true;
            }
            first[k] = Cell(k, low);
            last[k] = Cell(k, high);
        }
        const size_t cellsSearched = static_cast<size_t>(last[0] - first[0] + 1) *
                                     static_cast<size_t>(last[1] - first[1] + 1);
        if (cellsSearched * 4 > start_.size()) {
            return false;
        }
        for (int c0 = first[0]; c0 <= last[0]; ++c0) {
            const size_t base = static_cast<size_t>(c0) * static_cast<size_t>(cells_[1]);
            const auto from = rows_.begin() + start_[base + static_cast<size_t>(first[1])];
            const auto to = rows_.begin() + start_[base + static_cast<size_t>(last[1]) + 1];
            rows.insert(rows.end(), from, to);
        }
        // Each cell lists its rows in order, but rows of neighbouring cells interleave.
        if (cellsSearched > 1) {
            std::sort(rows.begin(), rows.end());
        }
        return true;
    }

  private:
    int Cell(size_t axis, double value) const {
        const double cell = std::floor((value - low_[axis]) / size_[axis]);
        if (!(cell > 0.0)) {
            return 0;
        }
        return cell >= cells_[axis] - 1 ? cells_[axis] - 1 : static_cast<int>(cell);
    }

    double reach_ = 0.0;
    std::array<double, 2> low_{};
    std::array<double, 2> high_{};
    std::array<double, 2> size_{};
    std::array<int, 2> cells_{};
    std::vector<int> start_; // first entry of each cell in rows_, and the end
    std::vector<int> rows_;
};

namespace {

bool NodesIndexable(const std::vector<GridNode>& nodes) {
    return std::all_of(nodes.begin(), nodes.end(), [](const GridNode& node) {
        return std::fabs(node.env1) < kIndexableValue && std::fabs(node.env2) < kIndexableValue;
    });
}

} // namespace

NearSamples::NearSamples(const ReferenceTable& table, int analogCount,
                         const std::vector<GridNode>& nodes, float searchRadius)
    : radiusSquared_(searchRadius * searchRadius) {
    const size_t count = static_cast<size_t>(std::max(analogCount, 0));
    env1_.resize(count);
    env2_.resize(count);
    for (size_t r = 0; r < count; ++r) {
        env1_[r] = table.rows[r].env1;
        env2_[r] = table.rows[r].env2;
    }
    if (count > 0 && std::isfinite(radiusSquared_) && NodesIndexable(nodes)) {
        index_ = std::make_unique<Index>();
        if (!index_->Build(env1_, env2_, searchRadius)) {
            index_.reset();
        }
    }
}

NearSamples::~NearSamples() = default;

bool NearSamples::Feeds(const GridNode& node, int row) const {
    const size_t at = static_cast<size_t>(row);
    return radiusSquared_ >= SquaredDistance(node, env1_[at], env2_[at]);
}

float NearSamples::Gather(const GridNode& node, int skipped, bool createdIsEnough,
                          std::vector<int>& candidates,
                          std::vector<std::pair<int, float>>& contributions) const {
    if (index_ == nullptr || !index_->Near(node, candidates)) {
        candidates.resize(env1_.size());
        std::iota(candidates.begin(), candidates.end(), 0);
    }
    contributions.clear();
    float weightSum = 0.0f;
    for (const int r : candidates) {
        const size_t at = static_cast<size_t>(r);
        float distance = SquaredDistance(node, env1_[at], env2_[at]);
        if (!(radiusSquared_ >= distance) || r == skipped) {
            continue;
        }
        distance = std::max(distance, kClosest);
        weightSum += 1.0f / distance;
        contributions.emplace_back(r, distance);
        // Partial sums of non-negative terms never decrease.
        if (createdIsEnough && weightSum > kLeastWeightSum) {
            break;
        }
    }
    return weightSum;
}

namespace {

// The proportions of a virtual row: S1 / S2 for every species, S1 summed over the
// contributions in row order.
void FillVirtualRow(const ReferenceTable& table,
                    const std::vector<std::pair<int, float>>& contributions, float weightSum,
                    int speciesCount, const GridNode& node, ReferenceRow& row) {
    const size_t species = static_cast<size_t>(speciesCount);
    std::array<float, kMaxSpecies> weightedSums{};
    for (const auto& [r, distance] : contributions) {
        const Proportions& p = table.rows[static_cast<size_t>(r)].proportions;
        for (size_t s = 0; s < species; ++s) {
            weightedSums[s] += p[s] / distance;
        }
    }
    for (size_t s = 0; s < species; ++s) {
        row.proportions[s] = weightedSums[s] / weightSum;
    }
    row.env1 = node.env1;
    row.env2 = node.env2;
}

} // namespace

bool VirtualRowMaker::Make(const GridNode& node, int skipped, ReferenceRow& row,
                           int& contributors) {
    const float weightSum = near_.Gather(node, skipped, false, candidates_, contributions_);
    contributors = static_cast<int>(contributions_.size());
    if (!(weightSum > kLeastWeightSum)) {
        return false;
    }
    row = ReferenceRow();
    FillVirtualRow(table_, contributions_, weightSum, speciesCount_, node, row);
    return true;
}

EnvironmentRange ComputeEnvironmentRange(const ReferenceTable& table, int analogCount,
                                         int skipped) {
    EnvironmentRange range;
    range.minimum = {50.0f, 50.0f};
    range.maximum = {-20.0f, -20.0f};
    for (int r = 0; r < analogCount; ++r) {
        if (r == skipped) {
            continue;
        }
        const ReferenceRow& row = table.rows[static_cast<size_t>(r)];
        const std::array<float, 2> values{row.env1, row.env2};
        for (size_t k = 0; k < 2; ++k) {
            range.minimum[k] = std::min(range.minimum[k], values[k]);
            range.maximum[k] = std::max(range.maximum[k], values[k]);
        }
    }
    return range;
}

int PlanGrid(const EnvironmentRange& range, float gridStep, GridPlan& plan, std::string& error,
             long long nodeLimit) {
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
    if (generated > nodeLimit) {
        error = "gridStep " + FormatShortReal(gridStep) + " gives a grid of " +
                std::to_string(generated) +
                " nodes over the range of the environment values, more than the limit of " +
                std::to_string(nodeLimit) + " grid nodes; please choose a larger gridStep";
        return -1;
    }
    plan.generatedNodes = generated;
    plan.usedNodes = static_cast<long long>(plan.steps[0] + 2) * (plan.steps[1] + 2);
    return 0;
}

std::vector<GridNode> UsedGridNodes(const GridPlan& plan, const EnvironmentRange& range,
                                    float gridStep) {
    std::vector<GridNode> nodes;
    nodes.reserve(static_cast<size_t>(plan.usedNodes));
    for (int i = -1; i <= plan.steps[0] + 1; ++i) {
        for (int j = -1; j <= plan.steps[1] + 1; ++j) {
            if (static_cast<long long>(nodes.size()) == plan.usedNodes) {
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
                float distance = SquaredDistance(node, row.env1, row.env2);
                if (!(radiusSquared >= distance)) {
                    continue;
                }
                distance = std::max(distance, kClosest);
                weightedSum += row.proportions[static_cast<size_t>(s)] / distance;
                weightSum += 1.0f / distance;
                ++contributors;
            }
            if (!(weightSum > kLeastWeightSum)) {
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

void BuildVirtualSamplesIndexed(const ReferenceTable& table, int analogCount, int speciesCount,
                                const std::vector<GridNode>& nodes, float searchRadius,
                                int rowLimit, VirtualSamples& result) {
    result = VirtualSamples();
    if (speciesCount < 1 || analogCount < 1) {
        return;
    }
    const NearSamples near(table, analogCount, nodes, searchRadius);
    std::vector<int> candidates;
    std::vector<std::pair<int, float>> contributions;
    int counter = 0;
    for (const GridNode& node : nodes) {
        const bool countOnly = counter >= rowLimit;
        const float weightSum = near.Gather(node, -1, countOnly, candidates, contributions);
        if (!(weightSum > kLeastWeightSum)) {
            continue;
        }
        ++counter;
        if (countOnly) {
            continue;
        }
        ReferenceRow& row = result.rows.emplace_back();
        FillVirtualRow(table, contributions, weightSum, speciesCount, node, row);
        result.log.push_back(
            {counter, static_cast<int>(contributions.size()), node.env1, node.env2});
    }
    result.createdCount = counter;
}

} // namespace marvane
