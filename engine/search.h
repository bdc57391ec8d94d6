// The analog search of the fast computing path: the same dissimilarities and picks as
// ComputeDissimilarities, CollectCandidates and SelectAnalogs, bit for bit, with the
// square roots of the reference proportions taken once per run, a distance loop that
// runs across reference rows, and candidates ranked instead of walked.
#pragma once

#include "engine/analogs.h"
#include "engine/tables.h"

#include <vector>

namespace marvane {

inline constexpr int kTileRows = 32;

// Square roots of every reference row's proportions in tiles of kTileRows rows, species
// by species within a tile: the distance loop then runs across the rows of a tile while
// each row's sum still goes in species order. Rows past the last one are zero.
struct RootTable {
    int speciesCount = 0;
    int rowCount = 0;
    std::vector<float> tiles;
};

void BuildRootTable(const ReferenceTable& table, int speciesCount, RootTable& roots);

// Implementations of the distance loop; they differ in speed only.
enum class DistanceKernel { Portable, Sse2, Avx };

// The kernels this processor runs, the fastest last.
std::vector<DistanceKernel> AvailableKernels();

// D(r) for rows 0 .. roots.rowCount-1, equal bit for bit to ComputeDissimilarities.
void ComputeTiledDissimilarities(const RootTable& roots, const Proportions& subject,
                                 std::vector<float>& dissimilarities, DistanceKernel kernel);
void ComputeTiledDissimilarities(const RootTable& roots, const Proportions& subject,
                                 std::vector<float>& dissimilarities);

// The picks of SelectAnalogs from the candidates (D <= 0.6) ranked by dissimilarity and
// then row: the walk through the candidates meets them in exactly that order. Returns
// the number of candidates; `ranked` is scratch space.
int SelectRankedAnalogs(const std::vector<float>& dissimilarities, int maxAnalogs,
                        int excludeBestAnalog, std::vector<AnalogPick>& ranked,
                        std::vector<AnalogPick>& picks);

} // namespace marvane
