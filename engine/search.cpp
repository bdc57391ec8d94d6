#include "engine/search.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) || defined(_M_X64) || (defined(__i386__) && defined(__SSE2__))
#define MARVANE_X86 1
#include <immintrin.h>
#endif
#if defined(MARVANE_X86) && (defined(__GNUC__) || defined(__clang__))
#define MARVANE_AVX 1
#endif

namespace marvane {

namespace {

constexpr size_t kTile = static_cast<size_t>(kTileRows);

// Every kernel does, for each row of a tile and each species in order, the three
// single-precision operations of the straightforward loop: difference, square, sum.
// No kernel may fuse the multiply with the add.
void TilePortable(const float* tile, const float* subjectRoots, size_t species, float* out) {
    float sums[kTile] = {};
    for (size_t s = 0; s < species; ++s) {
        const float x = subjectRoots[s];
        const float* p = tile + s * kTile;
        for (size_t l = 0; l < kTile; ++l) {
            const float difference = p[l] - x;
            sums[l] += difference * difference;
        }
    }
    std::copy(sums, sums + kTile, out);
}

#ifdef MARVANE_X86
void TileSse2(const float* tile, const float* subjectRoots, size_t species, float* out) {
    constexpr size_t kLanes = 4;
    __m128 sums[kTile / kLanes];
    for (__m128& sum : sums) {
        sum = _mm_setzero_ps();
    }
    for (size_t s = 0; s < species; ++s) {
        const __m128 x = _mm_set1_ps(subjectRoots[s]);
        const float* p = tile + s * kTile;
        for (size_t v = 0; v < kTile / kLanes; ++v) {
            const __m128 difference = _mm_sub_ps(_mm_loadu_ps(p + v * kLanes), x);
            sums[v] = _mm_add_ps(sums[v], _mm_mul_ps(difference, difference));
        }
    }
    for (size_t v = 0; v < kTile / kLanes; ++v) {
        _mm_storeu_ps(out + v * kLanes, sums[v]);
    }
}
#endif

#ifdef MARVANE_AVX
__attribute__((target("avx"))) void TileAvx(const float* tile, const float* subjectRoots,
                                            size_t species, float* out) {
    constexpr size_t kLanes = 8;
    __m256 sums[kTile / kLanes];
    for (__m256& sum : sums) {
        sum = _mm256_setzero_ps();
    }
    for (size_t s = 0; s < species; ++s) {
        const __m256 x = _mm256_set1_ps(subjectRoots[s]);
        const float* p = tile + s * kTile;
        for (size_t v = 0; v < kTile / kLanes; ++v) {
            const __m256 difference = _mm256_sub_ps(_mm256_loadu_ps(p + v * kLanes), x);
            sums[v] = _mm256_add_ps(sums[v], _mm256_mul_ps(difference, difference));
        }
    }
    for (size_t v = 0; v < kTile / kLanes; ++v) {
        _mm256_storeu_ps(out + v * kLanes, sums[v]);
    }
}

bool HasAvx() {
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}
#endif

using TileFunction = void (*)(const float*, const float*, size_t, float*);

TileFunction Kernel(DistanceKernel kernel) {
    switch (kernel) {
#ifdef MARVANE_AVX
    case DistanceKernel::Avx:
        return HasAvx() ? TileAvx : TileSse2;
#endif
#ifdef MARVANE_X86
    case DistanceKernel::Sse2:
        return TileSse2;
#endif
    default:
        return TilePortable;
    }
}

} // namespace

std::vector<DistanceKernel> AvailableKernels() {
    std::vector<DistanceKernel> kernels{DistanceKernel::Portable};
#ifdef MARVANE_X86
    kernels.push_back(DistanceKernel::Sse2);
#endif
#ifdef MARVANE_AVX
    if (HasAvx()) {
        kernels.push_back(DistanceKernel::Avx);
    }
#endif
    return kernels;
}

void BuildRootTable(const ReferenceTable& table, int speciesCount, RootTable& roots) {
    const size_t species = static_cast<size_t>(std::max(speciesCount, 0));
    const size_t rows = table.rows.size();
    const size_t tiles = (rows + kTile - 1) / kTile;
    roots.speciesCount = static_cast<int>(species);
    roots.rowCount = static_cast<int>(rows);
    roots.tiles.assign(tiles * species * kTile, 0.0f);
    for (size_t r = 0; r < rows; ++r) {
        float* tile = roots.tiles.data() + (r / kTile) * species * kTile;
        for (size_t s = 0; s < species; ++s) {
            tile[s * kTile + r % kTile] = std::sqrt(table.rows[r].proportions[s]);
        }
    }
}

void ComputeTiledDissimilarities(const RootTable& roots, const Proportions& subject,
                                 std::vector<float>& dissimilarities, DistanceKernel kernel) {
    const size_t species = static_cast<size_t>(roots.speciesCount);
    float subjectRoots[kMaxSpecies];
    for (size_t s = 0; s < species; ++s) {
        subjectRoots[s] = std::sqrt(subject[s]);
    }
    const size_t tiles = (static_cast<size_t>(roots.rowCount) + kTile - 1) / kTile;
    dissimilarities.resize(tiles * kTile);
    const TileFunction tileFunction = Kernel(kernel);
    for (size_t t = 0; t < tiles; ++t) {
        tileFunction(roots.tiles.data() + t * species * kTile, subjectRoots, species,
                     dissimilarities.data() + t * kTile);
    }
    dissimilarities.resize(static_cast<size_t>(roots.rowCount));
}

void ComputeTiledDissimilarities(const RootTable& roots, const Proportions& subject,
                                 std::vector<float>& dissimilarities) {
    ComputeTiledDissimilarities(roots, subject, dissimilarities, AvailableKernels().back());
}

int SelectRankedAnalogs(const std::vector<float>& dissimilarities, int maxAnalogs,
                        int excludeBestAnalog, std::vector<AnalogPick>& ranked,
                        std::vector<AnalogPick>& picks) {
    ranked.clear();
    picks.clear();
    const size_t rows = dissimilarities.size();
    const float* values = dissimilarities.data();
    int candidateCount = 0;
    for (size_t r = 0; r < rows; ++r) {
        candidateCount += values[r] <= kCandidateThreshold ? 1 : 0;
    }

    // The best maxAnalogs candidates, smallest D first and ties in row order: the order in
    // which the walk meets them. Rows come in increasing order, so a newcomer goes behind
    // every kept candidate of equal D. Once the list is full a newcomer must beat its last
    // entry, which for floats means lying at or below the next float beneath it.
    const size_t wanted = static_cast<size_t>(std::clamp(maxAnalogs, 0, candidateCount));
    float limit = kCandidateThreshold;
    for (size_t r = 0; r < rows && wanted > 0; ++r) {
        if (values[r] <= limit) {
            const auto at = std::upper_bound(
                ranked.begin(), ranked.end(), values[r],
                [](float value, const AnalogPick& kept) { return value < kept.dissimilarity; });
            const long index = at - ranked.begin();
            if (ranked.size() == wanted) {
                ranked.pop_back();
            }
            ranked.insert(ranked.begin() + index, {0, 0, static_cast<int>(r), values[r]});
            if (ranked.size() == wanted) {
                limit = std::nextafter(ranked.back().dissimilarity, -1.0f);
            }
        }
    }

    // Each pick's place in the candidate list: the candidates in the rows before it.
    std::vector<AnalogPick*> byRow;
    for (AnalogPick& pick : ranked) {
        byRow.push_back(&pick);
    }
    std::sort(byRow.begin(), byRow.end(),
              [](const AnalogPick* a, const AnalogPick* b) { return a->row < b->row; });
    int position = 0;
    size_t row = 0;
    for (AnalogPick* pick : byRow) {
        for (; row < static_cast<size_t>(pick->row); ++row) {
            position += values[row] <= kCandidateThreshold ? 1 : 0;
        }
        pick->candidate = position;
    }

    float previous = 0.0f;
    for (size_t n = 0; n < ranked.size(); ++n) {
        const int pass = static_cast<int>(n) + 1;
        const float d = ranked[n].dissimilarity;
        if (pass == 1) {
            previous = d;
        }
        if (!AcceptsPick(pass, excludeBestAnalog, previous, d)) {
            break;
        }
        picks.push_back(ranked[n]);
        picks.back().pass = pass;
        previous = d;
    }
    return candidateCount;
}

} // namespace marvane
