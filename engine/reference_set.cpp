#include "engine/reference_set.h"

#include "engine/analogs.h"
#include "engine/parallel.h"
#include "engine/report.h"

#include <algorithm>
#include <limits>

namespace marvane {

namespace {

std::vector<GridNode> NodesOf(const Project& project, const EnvironmentRange& range) {
    GridPlan plan;
    std::string error;
    // The whole set was planned within its limits already; the node count only matters there.
    PlanGrid(range, project.gridStep, plan, error, std::numeric_limits<long long>::max());
    return UsedGridNodes(plan, range, project.gridStep);
}

} // namespace

int PlanReferenceGrid(const ReferenceTable& table, int analogCount, float gridStep,
                      const Limits& limits, EnvironmentRange& range, GridPlan& plan,
                      std::string& error) {
    range = ComputeEnvironmentRange(table, analogCount);
    return PlanGrid(range, gridStep, plan, error, limits.gridNodes);
}

int BuildVirtualRows(const ReferenceTable& table, int analogCount, const Project& project,
                     const EnvironmentRange& range, const GridPlan& plan, const Limits& limits,
                     bool referencePath, VirtualSamples& virtuals, std::string& error) {
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, project.gridStep);
    const long long room = limits.referenceRows - analogCount;
    if (referencePath) {
        BuildVirtualSamples(table, analogCount, project.speciesCount, nodes, project.searchRadius,
                            virtuals);
    } else {
        BuildVirtualSamplesIndexed(
            table, analogCount, project.speciesCount, nodes, project.searchRadius,
            static_cast<int>(std::clamp<long long>(room, 0, std::numeric_limits<int>::max())),
            virtuals);
    }
    const long long rows = static_cast<long long>(analogCount) + virtuals.createdCount;
    if (rows > limits.referenceRows) {
        error = std::to_string(analogCount) + " reference samples and " +
                std::to_string(virtuals.createdCount) + " virtual samples make " +
                std::to_string(rows) + " rows, more than the limit of " +
                std::to_string(limits.referenceRows) +
                " reference rows; please choose a larger gridStep or a smaller searchRadius";
        return -1;
    }
    return 0;
}

void AppendVirtualRows(const VirtualSamples& virtuals, ReferenceTable& table) {
    table.rows.reserve(table.rows.size() + virtuals.rows.size());
    for (size_t v = 0; v < virtuals.rows.size(); ++v) {
        table.rows.push_back(virtuals.rows[v]);
        table.rows.back().name = VirtualSampleName(static_cast<int>(v) + 1);
    }
}

LeaveOneOut::LeaveOneOut(const Project& project, const ReferenceTable& table,
                         const EnvironmentRange& range, const AnalogSearch& search,
                         bool referencePath)
    : project_(project), table_(table), range_(range), search_(search), reference_(referencePath),
      nodes_(NodesOf(project, range)),
      near_(table, project.analogCount, nodes_, project.searchRadius),
      bounds_(static_cast<size_t>(std::max(project.analogCount, 0)), false) {
    // A virtual row lies on its node; the nodes kept apart are quicker to look through.
    for (size_t v = bounds_.size(); v < table.rows.size(); ++v) {
        virtualNodes_.push_back({table.rows[v].env1, table.rows[v].env2});
    }
    // A row moves the range when it alone holds an extreme that did not come from the
    // range's start values (50 for the minimum, -20 for the maximum).
    for (size_t k = 0; k < 2; ++k) {
        const auto value = [&](size_t r) {
            return k == 0 ? table.rows[r].env1 : table.rows[r].env2;
        };
        const float extremes[] = {range.minimum[k], range.maximum[k]};
        const float starts[] = {50.0f, -20.0f};
        for (size_t e = 0; e < 2; ++e) {
            if (extremes[e] == starts[e]) {
                continue;
            }
            size_t holder = bounds_.size();
            int holders = 0;
            for (size_t r = 0; r < bounds_.size(); ++r) {
                if (value(r) == extremes[e]) {
                    holder = r;
                    ++holders;
                }
            }
            if (holders == 1) {
                bounds_[holder] = true;
            }
        }
    }
}

void LeaveOneOut::View(int r, LeftOutView& view) const {
    if (bounds_[static_cast<size_t>(r)]) {
        Rebuild(r, view);
        return;
    }
    // The grid stays. A virtual row that r did not feed is made from the same samples in
    // the same order, so it stays bit for bit; the others are made again without r, and
    // vanish when r was all that fed them.
    const Proportions& x = table_.rows[static_cast<size_t>(r)].proportions;
    search_.Dissimilarities(x, view.whole);
    const size_t real = static_cast<size_t>(project_.analogCount);
    const size_t total = table_.rows.size();
    view.remade.clear();
    std::vector<std::pair<size_t, bool>> remadeRows; // virtual row and whether it stays
    VirtualRowMaker maker(table_, near_, project_.speciesCount);
    for (size_t v = real; v < total; ++v) {
        const GridNode& node = virtualNodes_[v - real];
        if (!near_.Feeds(node, r)) {
            continue;
        }
        const ReferenceRow& row = table_.rows[v];
        ReferenceRow made;
        int contributors = 0;
        const bool stays = maker.Make(node, r, made, contributors);
        if (stays) {
            made.name = row.name;
            view.remade.push_back(made);
        }
        remadeRows.emplace_back(v, stays);
    }
    view.dissimilarities.clear();
    view.rows.clear();
    for (size_t q = 0; q < real; ++q) {
        if (q != static_cast<size_t>(r)) {
            view.dissimilarities.push_back(view.whole[q]);
            view.rows.push_back(&table_.rows[q]);
        }
    }
    size_t next = 0;     // in remadeRows
    size_t nextMade = 0; // in view.remade
    for (size_t v = real; v < total; ++v) {
        if (next < remadeRows.size() && remadeRows[next].first == v) {
            if (remadeRows[next].second) {
                const ReferenceRow& made = view.remade[nextMade++];
                view.dissimilarities.push_back(
                    Dissimilarity(x, made.proportions, project_.speciesCount));
                view.rows.push_back(&made);
            }
            ++next;
            continue;
        }
        view.dissimilarities.push_back(view.whole[v]);
        view.rows.push_back(&table_.rows[v]);
    }
}

void LeaveOneOut::Rebuild(int r, LeftOutView& view) const {
    ReferenceTable& rebuilt = view.rebuilt;
    rebuilt.rows.clear();
    for (int q = 0; q < project_.analogCount; ++q) {
        if (q != r) {
            rebuilt.rows.push_back(table_.rows[static_cast<size_t>(q)]);
        }
    }
    const int analogCount = project_.analogCount - 1;
    EnvironmentRange range;
    GridPlan plan;
    VirtualSamples virtuals;
    std::string unused;
    // Fewer samples span no more than all of them did: the grid and the rows stay within
    // what the whole set was allowed.
    PlanReferenceGrid(rebuilt, analogCount, project_.gridStep, kLiftedLimits, range, plan, unused);
    BuildVirtualRows(rebuilt, analogCount, project_, range, plan, kLiftedLimits, reference_,
                     virtuals, unused);
    AppendVirtualRows(virtuals, rebuilt);
    const Proportions& x = table_.rows[static_cast<size_t>(r)].proportions;
    ComputeDissimilarities(rebuilt, x, project_.speciesCount, view.dissimilarities);
    view.rows.clear();
    for (const ReferenceRow& row : rebuilt.rows) {
        view.rows.push_back(&row);
    }
}

bool LeftOutAnalogDissimilarities(const LeaveOneOut& leaveOneOut, const Project& project,
                                  int threads, std::vector<float>& figures) {
    figures.assign(static_cast<size_t>(project.analogCount), 0.0f);
    std::vector<LeftOutView> views(static_cast<size_t>(std::max(threads, 1)));
    std::vector<std::vector<float>> scratch(views.size());
    return ParallelFor(figures.size(), threads, [&](size_t r, int worker) {
        LeftOutView& view = views[static_cast<size_t>(worker)];
        leaveOneOut.View(static_cast<int>(r), view);
        figures[r] = RankedDissimilarity(view.dissimilarities, AnalogRank(project),
                                         scratch[static_cast<size_t>(worker)]);
    });
}

} // namespace marvane
