#include "engine/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace marvane {
namespace {

TEST(statistics_test, a_single_analog_has_no_spread) {
    SampleStatistics s;
    AddAnalogToStatistics(s, 0.12f, 26.5f, 28.0f, 0.94f);
    std::ostringstream console;
    const StatisticsResult r = FinishStatistics(s, 1, console);
    EXPECT_EQ(r.diss.mean, 0.12f);
    EXPECT_EQ(r.diss.sigma, 0.0f);
    EXPECT_EQ(r.diss.minimum, 0.12f);
    EXPECT_EQ(r.diss.maximum, 0.12f);
    EXPECT_EQ(r.env1.mean, 26.5f);
    EXPECT_EQ(r.env1.weightedMean, 26.5f);
    EXPECT_EQ(r.env1.weightedSigma, 0.0f);
    EXPECT_EQ(r.env2.minimum, 28.0f);
    EXPECT_EQ(console.str(), "");
}

TEST(statistics_test, three_analogs_ten_eleven_twelve_with_equal_weights) {
    SampleStatistics s;
    const float w = 0.81f;
    AddAnalogToStatistics(s, 0.1f, 10.0f, 1.0f, w);
    AddAnalogToStatistics(s, 0.2f, 11.0f, 1.0f, w);
    AddAnalogToStatistics(s, 0.3f, 12.0f, 1.0f, w);
    std::ostringstream console;
    const StatisticsResult r = FinishStatistics(s, 3, console);
    EXPECT_EQ(r.env1.mean, 11.0f);
    EXPECT_EQ(r.env1.sigma, 1.0f);
    EXPECT_EQ(r.env1.minimum, 10.0f);
    EXPECT_EQ(r.env1.maximum, 12.0f);
    EXPECT_FLOAT_EQ(r.env1.weightedMean, 11.0f);
    // sqrt((W * 365 - 121 * 3W) / 2) = sqrt(W)
    EXPECT_NEAR(r.env1.weightedSigma, std::sqrt(w), 2e-3f);
    EXPECT_EQ(r.env2.sigma, 0.0f);
    EXPECT_NEAR(r.diss.mean, 0.2f, 1e-7f);
    EXPECT_EQ(console.str(), "");
}

TEST(statistics_test, closer_analogs_weigh_more_in_the_weighted_mean) {
    SampleStatistics s;
    AddAnalogToStatistics(s, 0.0f, 10.0f, 0.0f, 1.0f);
    AddAnalogToStatistics(s, 0.5f, 20.0f, 0.0f, 0.75f);
    std::ostringstream console;
    const StatisticsResult r = FinishStatistics(s, 2, console);
    EXPECT_EQ(r.env1.mean, 15.0f);
    EXPECT_FLOAT_EQ(r.env1.weightedMean, (10.0f + 15.0f) / 1.75f);
}

TEST(statistics_test, a_variance_below_zero_beyond_rounding_is_reported_and_gives_zero) {
    SampleStatistics s;
    // Equal values of this size lose digits in the sum of squares.
    for (int i = 0; i < 3; ++i) {
        AddAnalogToStatistics(s, 0.1f, 3000.1f, 1.0f, 1.0f);
    }
    std::ostringstream console;
    const StatisticsResult r = FinishStatistics(s, 3, console);
    EXPECT_EQ(r.env1.sigma, 0.0f);
    EXPECT_EQ(r.env1.weightedSigma, 0.0f);
    EXPECT_EQ(console.str(), " argument1 < 0      -2.000000\n argument2 < 0      -2.000000\n");
}

} // namespace
} // namespace marvane
