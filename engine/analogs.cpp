#include "engine/analogs.h"

#include <cmath>

namespace marvane {

float Dissimilarity(const Proportions& subject, const Proportions& reference, int speciesCount) {
    float total = 0.0f;
    for (int j = 0; j < speciesCount; ++j) {
        const size_t s = static_cast<size_t>(j);
        const float difference = std::sqrt(reference[s]) - std::sqrt(subject[s]);
        total += difference * difference;
    }
    return total;
}

void ComputeDissimilarities(const ReferenceTable& table, const Proportions& subject,
                            int speciesCount, std::vector<float>& dissimilarities) {
    dissimilarities.resize(table.rows.size());
    for (size_t r = 0; r < table.rows.size(); ++r) {
        dissimilarities[r] = Dissimilarity(subject, table.rows[r].proportions, speciesCount);
    }
}

void CollectCandidates(const std::vector<float>& dissimilarities,
                       std::vector<Candidate>& candidates) {
    candidates.clear();
    for (size_t r = 0; r < dissimilarities.size(); ++r) {
        if (dissimilarities[r] <= kCandidateThreshold) {
            candidates.push_back({dissimilarities[r], static_cast<int>(r)});
        }
    }
}

void SelectAnalogs(const std::vector<Candidate>& candidates, int maxAnalogs, int excludeBestAnalog,
                   std::vector<AnalogPick>& picks) {
    picks.clear();
    std::vector<bool> chosen(candidates.size(), false);
    float previous = 0.0f;
    for (int pass = 1; pass <= maxAnalogs; ++pass) {
        int best = -1;
        for (size_t c = 0; c < candidates.size(); ++c) {
            const float d = candidates[c].dissimilarity;
            if (chosen[c] || (pass > 1 && d < previous)) {
                continue;
            }
            if (best < 0 || d < candidates[static_cast<size_t>(best)].dissimilarity) {
                best = static_cast<int>(c);
            }
        }
        if (best < 0) {
            return;
        }
        const float d = candidates[static_cast<size_t>(best)].dissimilarity;
        if (pass == 1) {
            previous = d;
        }
        if (!AcceptsPick(pass, excludeBestAnalog, previous, d)) {
            return;
        }
        chosen[static_cast<size_t>(best)] = true;
        picks.push_back({pass, best, candidates[static_cast<size_t>(best)].row, d});
        previous = d;
    }
}

float SimilarityWeight(const Proportions& subject, const Proportions& reference, int speciesCount) {
    float weight = 0.0f;
    for (int j = 0; j < speciesCount; ++j) {
        const size_t s = static_cast<size_t>(j);
        weight += std::sqrt(subject[s] * reference[s]);
    }
    return weight;
}

} // namespace marvane
