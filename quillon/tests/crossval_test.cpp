// The cross-validation summary and the no-analog percentile on constructed sets.
#include "quillon/crossval.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

TEST(CrossValidationTest, SummaryByHand) {
    // Observed 0..10 (range 10, bins of width 1; 10 falls into the last bin with 9).
    Eigen::VectorXd observed = Eigen::VectorXd::LinSpaced(11, 0, 10);
    Eigen::VectorXd estimated = observed;
    estimated(0) += 1.0; // bin 0: mean +1
    estimated(9) -= 2.0; // bin 9 holds 9 and 10: mean (-2 + -4) / 2 = -3
    estimated(10) -= 4.0;
    const CvSummary summary = SummariseCrossValidation(observed, estimated);
    EXPECT_EQ(summary.samples, 11);
    EXPECT_NEAR(summary.rmsep, std::sqrt((1.0 + 4.0 + 16.0) / 11.0), 1e-12);
    EXPECT_NEAR(summary.meanBias, -5.0 / 11.0, 1e-12);
    EXPECT_NEAR(summary.maxBias, -3.0, 1e-12);
    const double mo = 5.0;
    const double me = estimated.mean();
    const double sxy = ((observed.array() - mo) * (estimated.array() - me)).sum();
    const double sxx = (observed.array() - mo).square().sum();
    const double syy = (estimated.array() - me).square().sum();
    EXPECT_NEAR(summary.r2, sxy * sxy / (sxx * syy), 1e-12);
}

TEST(CrossValidationTest, MissingObservationsAndConstantValues) {
    Eigen::VectorXd observed(4);
    observed << 2.0, std::nan(""), 2.0, 2.0;
    Eigen::VectorXd estimated(4);
    estimated << 2.5, 100.0, 1.5, 2.6;
    const CvSummary summary = SummariseCrossValidation(observed, estimated);
    EXPECT_EQ(summary.samples, 3);
    EXPECT_NEAR(summary.meanBias, 0.2, 1e-12);
    EXPECT_NEAR(summary.maxBias, 0.2, 1e-12) << "one bin when every observed value is equal";
    EXPECT_TRUE(std::isnan(summary.r2));
}

// 20 reference communalities 0.01, 0.02, ..., 0.20: 5 % is one sample, so only a core sample
// that no reference sample undercuts, a communality of at most 0.01, has no analog.
TEST(CrossValidationTest, PercentileAndNoAnalogOnAConstructedSet) {
    const Eigen::VectorXd reference = Eigen::VectorXd::LinSpaced(20, 0.01, 0.20);
    struct Case {
        double communality;
        double percentile;
        bool noAnalog;
    };
    for (const Case& c : {Case{0.005, 0.0, true}, Case{0.01, 0.0, true}, Case{0.0101, 5.0, false},
                          Case{0.105, 50.0, false}, Case{0.5, 100.0, false}}) {
        EXPECT_NEAR(PercentileWithin(c.communality, reference), c.percentile, 1e-12)
            << c.communality;
        EXPECT_EQ(IsNoAnalog(c.communality, reference), c.noAnalog) << c.communality;
    }
    EXPECT_NEAR(NoAnalogThreshold(reference), 0.01, 1e-15);
    // 53 samples: ceil(53 / 20) = 3, so up to two lower reference values still mark it.
    const Eigen::VectorXd larger = Eigen::VectorXd::LinSpaced(53, 1, 53);
    EXPECT_TRUE(IsNoAnalog(3.0, larger));
    EXPECT_FALSE(IsNoAnalog(3.5, larger));
    EXPECT_EQ(NoAnalogThreshold(larger), 3.0);
}

} // namespace
} // namespace quillon
