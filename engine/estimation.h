// The search for a subject sample's analogs and the statistics of the analogs found, on
// either computing path: what the run, the no-analog check and the cross-validation share,
// so that each gives a sample exactly the estimate a run gives it.
#pragma once

#include "engine/analogs.h"
#include "engine/project.h"
#include "engine/search.h"
#include "engine/statistics.h"
#include "engine/tables.h"

#include <vector>

namespace marvane {

struct SearchScratch {
    std::vector<float> dissimilarities;
    std::vector<Candidate> candidates;
    std::vector<AnalogPick> ranked;
    std::vector<float> ranking;
};

// One subject sample between reading and reporting.
struct SubjectWork {
    SubjectSample sample;
    int candidateCount = 0;
    std::vector<AnalogPick> picks;
    // The dissimilarity of the best analog that enters the statistics (the first pick
    // after an excluded best one), taken among all rows whether candidates or not; NaN
    // when the table has too few rows. The no-analog check ranks it.
    float analogDissimilarity = 0.0f;
};

// The rank among a sample's dissimilarities of the best analog that enters the statistics.
inline int AnalogRank(const Project& project) {
    return project.excludeBestAnalog + 1;
}

// The dissimilarity ranking `rank`-th (from 1) among `dissimilarities`; NaN when there
// are fewer. `scratch` is scratch space.
float RankedDissimilarity(const std::vector<float>& dissimilarities, int rank,
                          std::vector<float>& scratch);

// A sample is marked "no analog" when its analog dissimilarity lies beyond this
// percentile of the reference samples' own (each against the set built without it).
inline constexpr double kNoAnalogPercentile = 95.0;

// The share, in percent, of the reference figures (`sorted` ascending, without NaN)
// that lie below `value`; NaN for a NaN value or when there are no figures.
double PercentileAmong(const std::vector<float>& sorted, float value);

// The picks among rows of the given dissimilarities, by the walk through the candidates
// (reference path) or by ranking them (fast path). Returns the number of candidates.
int PickAnalogs(const std::vector<float>& dissimilarities, const Project& project,
                bool referencePath, SearchScratch& scratch, std::vector<AnalogPick>& picks);

// Dissimilarities and picks of subject samples against one reference table.
class AnalogSearch {
  public:
    AnalogSearch(const Project& project, const ReferenceTable& table, bool referencePath);

    // D of `subject` to every row of the table, in row order.
    void Dissimilarities(const Proportions& subject, std::vector<float>& dissimilarities) const;
    void Compute(SubjectWork& work, SearchScratch& scratch) const;
    // Computes the batch on up to `threads` threads; false when memory ran out.
    bool Run(std::vector<SubjectWork>& batch, int threads) const;

  private:
    const Project& project_;
    const ReferenceTable& table_;
    bool reference_ = false;
    RootTable roots_;
};

// The number of analogs that enter the statistics.
inline int CountedAnalogs(const std::vector<AnalogPick>& picks, const Project& project) {
    return static_cast<int>(picks.size()) - project.excludeBestAnalog;
}

// Whether the pick enters the statistics: all but an excluded best analog.
inline bool EntersStatistics(const AnalogPick& pick, const Project& project) {
    return !(project.excludeBestAnalog == 1 && pick.pass == 1);
}

// The statistics of the picks that enter them, in the order chosen; `rowOf(pick.row)`
// gives the reference row behind a pick.
template <class RowOf>
SampleStatistics AccumulateAnalogs(const std::vector<AnalogPick>& picks, const Proportions& subject,
                                   const Project& project, const RowOf& rowOf) {
    SampleStatistics statistics;
    for (const AnalogPick& pick : picks) {
        if (EntersStatistics(pick, project)) {
            const ReferenceRow& row = rowOf(pick.row);
            AddAnalogToStatistics(statistics, pick.dissimilarity, row.env1, row.env2,
                                  SimilarityWeight(subject, row.proportions, project.speciesCount));
        }
    }
    return statistics;
}

} // namespace marvane
