#include "engine/estimation.h"

#include "engine/parallel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace marvane {

float RankedDissimilarity(const std::vector<float>& dissimilarities, int rank,
                          std::vector<float>& scratch) {
    if (rank < 1 || dissimilarities.size() < static_cast<size_t>(rank)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    // The rank is 1 or 2 in a run: the smallest values are kept in order in one pass.
    constexpr int kFewest = 4;
    if (rank <= kFewest) {
        std::array<float, kFewest> fewest;
        fewest.fill(std::numeric_limits<float>::infinity());
        const size_t kept = static_cast<size_t>(rank);
        for (const float d : dissimilarities) {
            if (d < fewest[kept - 1]) {
                size_t at = kept - 1;
                for (; at > 0 && d < fewest[at - 1]; --at) {
                    fewest[at] = fewest[at - 1];
                }
                fewest[at] = d;
            }
        }
        return fewest[kept - 1];
    }
    scratch.assign(dissimilarities.begin(), dissimilarities.end());
    const auto nth = scratch.begin() + (rank - 1);
    std::nth_element(scratch.begin(), nth, scratch.end());
    return *nth;
}

double PercentileAmong(const std::vector<float>& sorted, float value) {
    if (sorted.empty() || std::isnan(value)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const auto below = std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin();
    return 100.0 * static_cast<double>(below) / static_cast<double>(sorted.size());
}

int PickAnalogs(const std::vector<float>& dissimilarities, const Project& project,
                bool referencePath, SearchScratch& scratch, std::vector<AnalogPick>& picks) {
    if (referencePath) {
        CollectCandidates(dissimilarities, scratch.candidates);
        SelectAnalogs(scratch.candidates, project.maxAnalogs, project.excludeBestAnalog, picks);
        return static_cast<int>(scratch.candidates.size());
    }
    return SelectRankedAnalogs(dissimilarities, project.maxAnalogs, project.excludeBestAnalog,
                               scratch.ranked, picks);
}

AnalogSearch::AnalogSearch(const Project& project, const ReferenceTable& table, bool referencePath)
    : project_(project), table_(table), reference_(referencePath) {
    if (!reference_) {
        BuildRootTable(table, project.speciesCount, roots_);
    }
}

void AnalogSearch::Dissimilarities(const Proportions& subject,
                                   std::vector<float>& dissimilarities) const {
    if (reference_) {
        ComputeDissimilarities(table_, subject, project_.speciesCount, dissimilarities);
    } else {
        ComputeTiledDissimilarities(roots_, subject, dissimilarities);
    }
}

void AnalogSearch::Compute(SubjectWork& work, SearchScratch& scratch) const {
    Dissimilarities(work.sample.proportions, scratch.dissimilarities);
    work.candidateCount =
        PickAnalogs(scratch.dissimilarities, project_, reference_, scratch, work.picks);
    work.analogDissimilarity =
        RankedDissimilarity(scratch.dissimilarities, AnalogRank(project_), scratch.ranking);
}

bool AnalogSearch::Run(std::vector<SubjectWork>& batch, int threads) const {
    std::vector<SearchScratch> scratch(static_cast<size_t>(std::max(threads, 1)));
    // Each sample's result depends on nothing but the sample and the table.
    return ParallelFor(batch.size(), threads, [&](size_t i, int worker) {
        Compute(batch[i], scratch[static_cast<size_t>(worker)]);
    });
}

} // namespace marvane
