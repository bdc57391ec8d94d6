// Squared chord dissimilarities, the candidate list and the walk through the
// candidates that picks a subject sample's best analogs.
#pragma once

#include "engine/tables.h"

#include <vector>

namespace marvane {

inline constexpr float kCandidateThreshold = 0.6f;

// D between two assemblages, summed in species order in single precision.
float Dissimilarity(const Proportions& subject, const Proportions& reference, int speciesCount);

// D(r) for every row of the table.
void ComputeDissimilarities(const ReferenceTable& table, const Proportions& subject,
                            int speciesCount, std::vector<float>& dissimilarities);

struct Candidate {
    float dissimilarity = 0.0f;
    int row = 0; // 0-based row of the reference table
};

// Rows with D <= 0.6, in row order.
void CollectCandidates(const std::vector<float>& dissimilarities,
                       std::vector<Candidate>& candidates);

struct AnalogPick {
    int pass = 0;      // 1-based pass that chose it
    int candidate = 0; // position in the candidate list
    int row = 0;
    float dissimilarity = 0.0f;
};

// Whether pass `pass` takes a pick of dissimilarity `d` after one of `previous` (for
// the first pass, `previous` is d itself): always among the first excludeBestAnalog + 2
// passes, after a perfect analog, or when the step is at most ten per cent of d.
inline bool AcceptsPick(int pass, int excludeBestAnalog, float previous, float d) {
    return pass <= excludeBestAnalog + 2 || previous == 0.0f || d - previous <= 0.1f * d;
}

// The accepted picks, in the order chosen: candidates in increasing dissimilarity (ties
// in list order), stopping at maxAnalogs or at the first step in dissimilarity of more
// than ten per cent of the new value.
void SelectAnalogs(const std::vector<Candidate>& candidates, int maxAnalogs, int excludeBestAnalog,
                   std::vector<AnalogPick>& picks);

// W = sum of sqrt(x(j) * p(r, j)); 1 - D/2 for proportions that add up to 1.
float SimilarityWeight(const Proportions& subject, const Proportions& reference, int speciesCount);

} // namespace marvane
