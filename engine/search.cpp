#include "engine/search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

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
constexpr std::uint32_t kThresholdBits = std::bit_cast<std::uint32_t>(kCandidateThreshold);

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
    // Candidates go into buckets of dissimilarity, the others into one bucket past the
    // last. The bucket grows with D, so every candidate in a later bucket than another
    // has the larger D: the best maxAnalogs lie in the buckets up to the one where their
    // count is reached, and only those are collected and sorted. A dissimilarity is a
    // sum of squares, never negative, so the bits of its float grow with its value; the
    // buckets are ranges of those bits (32 per doubling of D), found without a branch,
    // since whether a row is a candidate cannot be predicted.
    constexpr int kShift = 18;
    constexpr int kBuckets = static_cast<int>(kThresholdBits >> kShift) + 1;
    const auto bucket = [](float d) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(d);
        const int beyond = bits > kThresholdBits ? 1 : 0;
        const int inRange = static_cast<int>(std::min(bits, kThresholdBits) >> kShift);
        return inRange + beyond * (kBuckets - inRange);
    };
    const size_t rows = dissimilarities.size();
    const float* values = dissimilarities.data();
    std::vector<int> histogram(static_cast<size_t>(kBuckets) + 1, 0);
    for (size_t r = 0; r < rows; ++r) {
        ++histogram[static_cast<size_t>(bucket(values[r]))];
    }
    const int candidateCount = static_cast<int>(rows) - histogram[kBuckets];
    const int wanted = std::clamp(maxAnalogs, 0, candidateCount);
    int last = -1; // the last bucket to collect
    for (int taken = 0; taken < wanted;) {
        taken += histogram[static_cast<size_t>(++last)];
    }
    int position = 0; // in the candidate list, which is in row order
    for (size_t r = 0; r < rows; ++r) {
        const int b = bucket(values[r]);
        if (b <= last) {
            ranked.push_back({0, position, static_cast<int>(r), values[r]});
        }
        position += b < kBuckets ? 1 : 0;
    }
    // The walk's order: smallest D first, ties in list order.
    std::sort(ranked.begin(), ranked.end(), [](const AnalogPick& a, const AnalogPick& b) {
        return a.dissimilarity < b.dissimilarity ||
               (a.dissimilarity == b.dissimilarity && a.row < b.row);
    });
    ranked.resize(static_cast<size_t>(wanted));

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
