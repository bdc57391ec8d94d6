// The tab-separated tables for other programs: numbers and cells.
#include "engine/tsv_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace marvane {
namespace {

TEST(tsv_tables_test, numbers_show_a_decimal_point_and_seven_significant_digits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{12.5, "12.5"},
                 {3.0, "3.0"},
                 {0.0, "0.0"},
                 {-0.0, "0.0"},
                 {-2.25, "-2.25"},
                 {1.0 / 3.0, "0.3333333"},
                 {26.333333f, "26.33333"},
                 {1234567.0, "1234567.0"},
                 {12345678.0, "1.234568e+07"},
                 {0.00001, "1.0e-05"},
                 {0.000123456789, "0.0001234568"},
                 {std::numeric_limits<double>::quiet_NaN(), ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(TableNumber(c.value), c.text) << c.value;
    }
}

TEST(tsv_tables_test, names_lose_their_padding_and_never_split_a_line) {
    EXPECT_EQ(TableName("V12-122     "), "V12-122");
    EXPECT_EQ(TableName("  K 7 & KS 7"), "K 7 & KS 7");
    EXPECT_EQ(TableName("A\tB\r\n"), "A B  ");
    EXPECT_EQ(TableName("            "), "");
}

TEST(tsv_tables_test, the_estimates_table_leaves_missing_values_empty) {
    EstimateLine estimated{"S1          ", 0.125f, true, {12.5f, 20.0f},
                           {0.5f, 0.25f},  42.5,   false};
    EstimateLine without{"S2", 0.75f, false, {}, {}, 100.0, true};
    EstimateLine unranked{"S3", std::nanf(""), false, {}, {}, std::nan(""), false};
    EXPECT_EQ(EstimatesTable({estimated, without, unranked}),
              "Sample\tDissimilarity\tT1\tT1_SD\tT2\tT2_SD\tPercentile\tFlag\n"
              "S1\t0.125\t12.5\t0.5\t20.0\t0.25\t42.5\t\n"
              "S2\t0.75\t\t\t\t\t100.0\tno analog\n"
              "S3\t\t\t\t\t\t\t\n");
}

TEST(tsv_tables_test, the_cross_validation_tables) {
    CrossValidatedSample a{"A", {10.0f, 20.0f}, true, {11.5f, 19.0f}};
    CrossValidatedSample b{"B", {4.0f, 6.0f}, false, {}};
    EXPECT_EQ(CrossValidationTable({a, b}),
              "Sample\tT1_observed\tT1_estimated\tT1_residual\tT2_observed\tT2_estimated\t"
              "T2_residual\n"
              "A\t10.0\t11.5\t1.5\t20.0\t19.0\t-1.0\n"
              "B\t4.0\t\t\t6.0\t\t\n");
    CrossValidationFigures t1{2, 1.5, 0.81, -0.25, 1.0};
    CrossValidationFigures t2{0, std::nan(""), std::nan(""), std::nan(""), std::nan("")};
    EXPECT_EQ(CrossValidationSummary({t1, t2}, 10),
              "Method\tVariable\tSamples\tFolds\tRMSEP\tR2\tMean_bias\tMax_bias\n"
              "analog\tT1\t2\t10\t1.5\t0.81\t-0.25\t1.0\n"
              "analog\tT2\t0\t10\t\t\t\t\n");
}

} // namespace
} // namespace marvane
