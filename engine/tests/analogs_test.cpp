#include "engine/analogs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace marvane {
namespace {

Proportions Assemblage(std::initializer_list<float> values) {
    Proportions p{};
    size_t s = 0;
    for (float v : values) {
        p[s++] = v;
    }
    return p;
}

std::vector<Candidate> Candidates(std::initializer_list<float> dissimilarities) {
    std::vector<Candidate> candidates;
    int row = 0;
    for (float d : dissimilarities) {
        candidates.push_back({d, row++});
    }
    return candidates;
}

std::vector<int> PickedRows(const std::vector<Candidate>& candidates, int maxAnalogs,
                            int excludeBestAnalog) {
    std::vector<AnalogPick> picks;
    SelectAnalogs(candidates, maxAnalogs, excludeBestAnalog, picks);
    std::vector<int> rows;
    for (const AnalogPick& pick : picks) {
        EXPECT_EQ(pick.pass, static_cast<int>(rows.size()) + 1);
        rows.push_back(pick.row);
    }
    return rows;
}

TEST(analogs_test, identical_assemblages_are_zero_apart_and_disjoint_ones_two) {
    ReferenceTable table;
    table.rows.resize(3);
    table.rows[0].proportions = Assemblage({0.25f, 0.75f, 0.0f});
    table.rows[1].proportions = Assemblage({0.0f, 0.0f, 1.0f});
    table.rows[2].proportions = Assemblage({0.5f, 0.5f, 0.0f});
    std::vector<float> d;
    ComputeDissimilarities(table, Assemblage({0.25f, 0.75f, 0.0f}), 3, d);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0], 0.0f);
    EXPECT_EQ(d[1], 2.0f);
    // (0.5 - sqrt 0.5)^2 + (sqrt 0.75 - sqrt 0.5)^2
    EXPECT_NEAR(d[2], 0.0681483f, 1e-6f);
}

TEST(analogs_test, species_beyond_the_count_do_not_enter_the_distance) {
    ReferenceTable table;
    table.rows.resize(1);
    table.rows[0].proportions = Assemblage({0.5f, 0.5f, 0.9f});
    std::vector<float> d;
    ComputeDissimilarities(table, Assemblage({0.5f, 0.5f, 0.0f}), 2, d);
    EXPECT_EQ(d[0], 0.0f);
}

TEST(analogs_test, exactly_six_tenths_is_a_candidate_and_the_next_float_is_not) {
    std::vector<Candidate> candidates;
    CollectCandidates({0.2f, 0.6f, std::nextafter(0.6f, 1.0f), 2.0f, 0.0f}, candidates);
    ASSERT_EQ(candidates.size(), 3u);
    EXPECT_EQ(candidates[0].row, 0);
    EXPECT_EQ(candidates[1].row, 1);
    EXPECT_EQ(candidates[2].row, 4);
}

TEST(analogs_test, a_step_of_more_than_ten_per_cent_ends_the_selection) {
    // 0.40 - 0.31 = 0.09 exceeds 0.04: two analogs.
    EXPECT_EQ(PickedRows(Candidates({0.40f, 0.30f, 0.31f}), 10, 0), (std::vector<int>{1, 2}));
    // 0.34 - 0.31 = 0.03 does not exceed 0.034.
    EXPECT_EQ(PickedRows(Candidates({0.34f, 0.30f, 0.31f}), 10, 0), (std::vector<int>{1, 2, 0}));
}

TEST(analogs_test, after_a_perfect_analog_the_next_is_taken_whatever_its_distance) {
    EXPECT_EQ(PickedRows(Candidates({0.5f, 0.0f, 0.0f}), 10, 0), (std::vector<int>{1, 2, 0}));
}

TEST(analogs_test, with_the_best_excluded_the_first_three_picks_are_always_taken) {
    EXPECT_EQ(PickedRows(Candidates({0.1f, 0.3f, 0.5f, 0.52f, 0.59f}), 10, 1),
              (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(PickedRows(Candidates({0.1f, 0.3f, 0.5f, 0.52f, 0.59f}), 10, 0),
              (std::vector<int>{0, 1}));
}

TEST(analogs_test, selection_stops_at_max_analogs_or_when_candidates_run_out) {
    const auto close = Candidates(
        {0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f});
    EXPECT_EQ(PickedRows(close, 10, 1).size(), 10u);
    EXPECT_EQ(PickedRows(close, 1, 0), (std::vector<int>{0}));
    EXPECT_EQ(PickedRows(Candidates({0.2f, 0.5f, 0.4f}), 10, 1), (std::vector<int>{0, 2, 1}));
}

TEST(analogs_test, equal_dissimilarities_are_taken_in_row_order) {
    std::vector<Candidate> candidates{{0.2f, 7}, {0.19f, 9}, {0.2f, 3}, {0.19f, 12}};
    EXPECT_EQ(PickedRows(candidates, 10, 0), (std::vector<int>{9, 12, 7, 3}));
}

TEST(analogs_test, the_walk_never_goes_back_below_the_previous_dissimilarity) {
    std::vector<AnalogPick> picks;
    SelectAnalogs(Candidates({0.3f, 0.3f, 0.1f}), 10, 0, picks);
    ASSERT_EQ(picks.size(), 3u);
    EXPECT_EQ(picks[0].candidate, 2);
    EXPECT_EQ(picks[2].dissimilarity, 0.3f);
}

TEST(analogs_test, similarity_weight_is_one_minus_half_the_distance) {
    const Proportions x = Assemblage({0.2f, 0.3f, 0.5f});
    const Proportions p = Assemblage({0.1f, 0.6f, 0.3f});
    ReferenceTable table;
    table.rows.resize(1);
    table.rows[0].proportions = p;
    std::vector<float> d;
    ComputeDissimilarities(table, x, 3, d);
    EXPECT_NEAR(SimilarityWeight(x, p, 3), 1.0f - d[0] / 2.0f, 1e-6f);
    EXPECT_EQ(SimilarityWeight(x, x, 3), 1.0f);
}

} // namespace
} // namespace marvane
