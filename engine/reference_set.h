// The reference set that a run searches: the real reference samples followed by the
// virtual ones built on the grid over their environment values; and the same set built
// without one of its real samples, as that sample would see it as a subject sample.
#pragma once

#include "engine/estimation.h"
#include "engine/grid.h"
#include "engine/project.h"
#include "engine/tables.h"

#include <string>
#include <vector>

namespace marvane {

// The range of the real rows 0 .. analogCount-1 and the grid over it, refused with a
// message (-1) when it has more nodes than `limits` allow.
int PlanReferenceGrid(const ReferenceTable& table, int analogCount, float gridStep,
                      const Limits& limits, EnvironmentRange& range, GridPlan& plan,
                      std::string& error);

// The virtual samples of the planned grid, from the straightforward loops or the indexed
// builder. Returns 0, or -1 with a message when real and virtual rows together would be
// more than `limits` allow.
int BuildVirtualRows(const ReferenceTable& table, int analogCount, const Project& project,
                     const EnvironmentRange& range, const GridPlan& plan, const Limits& limits,
                     bool referencePath, VirtualSamples& virtuals, std::string& error);

// Appends the virtual rows to the table, named as "stock" lists them.
void AppendVirtualRows(const VirtualSamples& virtuals, ReferenceTable& table);

// What real reference sample r sees of the set built without it: the dissimilarities in
// the row order of that set, and the row behind each. The rows are those of the whole
// set, except the virtual rows that r fed: they are made again without it, or the whole
// set is built again when r bounds the range of the environment values (the grid then
// moves).
struct LeftOutView {
    std::vector<float> dissimilarities;
    std::vector<const ReferenceRow*> rows;

    std::vector<ReferenceRow> remade; // storage of the rows made again
    ReferenceTable rebuilt;           // storage of a set built again
    std::vector<float> whole;         // scratch: D to every row of the whole set
};

class LeaveOneOut {
  public:
    // `table` is the whole set (real rows, then virtual rows), `search` searches it and
    // `range` is the range it was built over.
    LeaveOneOut(const Project& project, const ReferenceTable& table, const EnvironmentRange& range,
                const AnalogSearch& search, bool referencePath);

    // The view of real row `r` (0-based).
    void View(int r, LeftOutView& view) const;

  private:
    void Rebuild(int r, LeftOutView& view) const;

    const Project& project_;
    const ReferenceTable& table_;
    EnvironmentRange range_;
    const AnalogSearch& search_;
    bool reference_ = false;
    std::vector<GridNode> nodes_;
    NearSamples near_;
    std::vector<bool> bounds_; // per real row: whether the range moves without it
    std::vector<GridNode> virtualNodes_;
};

// The figure of the no-analog check for every real reference sample: the dissimilarity
// of the best analog that would enter its statistics (AnalogRank) in the set built
// without it, NaN where that set has too few rows. False when memory ran out.
bool LeftOutAnalogDissimilarities(const LeaveOneOut& leaveOneOut, const Project& project,
                                  int threads, std::vector<float>& figures);

} // namespace marvane
