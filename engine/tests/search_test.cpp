// The fast analog search against the straightforward loops it must equal bit for bit.
#include "engine/search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace marvane {
namespace {

// Proportions as the engine makes them: counts divided by their sum, many of them zero.
Proportions RandomAssemblage(std::mt19937& random, int speciesCount) {
    std::uniform_int_distribution<int> count(0, 60);
    std::bernoulli_distribution absent(0.4);
    Proportions p{};
    float sum = 0.0f;
    for (int s = 0; s < speciesCount; ++s) {
        p[static_cast<size_t>(s)] = absent(random) ? 0.0f : static_cast<float>(count(random));
        sum += p[static_cast<size_t>(s)];
    }
    if (sum == 0.0f) {
        p[0] = 1.0f;
        sum = 1.0f;
    }
    for (int s = 0; s < speciesCount; ++s) {
        p[static_cast<size_t>(s)] /= sum;
    }
    return p;
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(search_test, every_kernel_gives_the_straightforward_distances_bit_for_bit) {
    std::mt19937 random(7);
    for (const int speciesCount : {1, 3, 15, 16, 41, 45}) {
        for (const int rows : {1, 31, 32, 33, 250}) {
            ReferenceTable table;
            for (int r = 0; r < rows; ++r) {
                table.rows.emplace_back().proportions = RandomAssemblage(random, speciesCount);
            }
            RootTable roots;
            BuildRootTable(table, speciesCount, roots);
            for (int subject = 0; subject < 4; ++subject) {
                // The second subject repeats a reference sample: a distance of exactly 0.
                const Proportions x = subject == 1 ? table.rows[0].proportions
                                                   : RandomAssemblage(random, speciesCount);
                std::vector<float> expected;
                ComputeDissimilarities(table, x, speciesCount, expected);
                for (const DistanceKernel kernel : AvailableKernels()) {
                    std::vector<float> actual;
                    ComputeTiledDissimilarities(roots, x, actual, kernel);
                    ASSERT_EQ(actual.size(), expected.size());
                    for (size_t r = 0; r < expected.size(); ++r) {
                        ASSERT_TRUE(SameBits(actual[r], expected[r]))
                            << "kernel " << static_cast<int>(kernel) << ", species " << speciesCount
                            << ", row " << r << ": " << actual[r] << " != " << expected[r];
                    }
                }
                if (subject == 1) {
                    EXPECT_EQ(expected[0], 0.0f);
                }
            }
        }
    }
}

TEST(search_test, the_portable_kernel_is_always_available) {
    EXPECT_EQ(AvailableKernels().front(), DistanceKernel::Portable);
}

void ExpectSamePicks(const std::vector<float>& dissimilarities, int maxAnalogs,
                     int excludeBestAnalog) {
    std::vector<Candidate> candidates;
    CollectCandidates(dissimilarities, candidates);
    std::vector<AnalogPick> walked;
    SelectAnalogs(candidates, maxAnalogs, excludeBestAnalog, walked);
    std::vector<AnalogPick> ranked;
    std::vector<AnalogPick> picks;
    EXPECT_EQ(SelectRankedAnalogs(dissimilarities, maxAnalogs, excludeBestAnalog, ranked, picks),
              static_cast<int>(candidates.size()));
    ASSERT_EQ(picks.size(), walked.size());
    for (size_t i = 0; i < picks.size(); ++i) {
        EXPECT_EQ(picks[i].pass, walked[i].pass) << i;
        EXPECT_EQ(picks[i].candidate, walked[i].candidate) << i;
        EXPECT_EQ(picks[i].row, walked[i].row) << i;
        EXPECT_TRUE(SameBits(picks[i].dissimilarity, walked[i].dissimilarity)) << i;
    }
}

TEST(search_test, ranking_picks_what_the_walk_picks_ties_included) {
    std::mt19937 random(11);
    // Few distinct values make many ties; 0, 0.6 and the float above 0.6 test the edges.
    const std::vector<float> values{0.0f,  0.0f, 0.05f, 0.1f, 0.11f, 0.2f,
                                    0.21f, 0.3f, 0.31f, 0.4f, 0.6f,  std::nextafter(0.6f, 1.0f),
                                    1.0f,  2.0f};
    std::uniform_int_distribution<size_t> pick(0, values.size() - 1);
    std::uniform_real_distribution<float> anywhere(0.0f, 0.7f);
    for (int round = 0; round < 400; ++round) {
        const size_t rows = static_cast<size_t>(round % 97);
        std::vector<float> d(rows);
        for (float& value : d) {
            value = round % 3 == 0 ? anywhere(random) : values[pick(random)];
        }
        for (const int maxAnalogs : {1, 2, 3, 10, 50}) {
            for (const int exclude : {0, 1}) {
                ExpectSamePicks(d, maxAnalogs, exclude);
            }
        }
    }
}

TEST(search_test, ranking_handles_candidates_arriving_in_decreasing_order) {
    std::vector<float> d;
    for (int r = 0; r < 200; ++r) {
        d.push_back(0.59f - 0.002f * static_cast<float>(r));
    }
    ExpectSamePicks(d, 50, 1);
    ExpectSamePicks(d, 10, 0);
}

TEST(search_test, without_candidates_nothing_is_picked) {
    std::vector<AnalogPick> ranked;
    std::vector<AnalogPick> picks{{1, 0, 0, 0.0f}};
    EXPECT_EQ(SelectRankedAnalogs({0.7f, 2.0f}, 10, 1, ranked, picks), 0);
    EXPECT_TRUE(picks.empty());
}

} // namespace
} // namespace marvane
