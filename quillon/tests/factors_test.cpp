// The factor analysis against values worked by hand, and against what must not depend on the
// rotation or on how a sample's counts are scaled.
#include "quillon/factors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace quillon {
namespace {

const double kRoot2 = std::sqrt(0.5);

Eigen::MatrixXd Matrix(int rows, int cols, std::initializer_list<double> values) {
    Eigen::MatrixXd m(rows, cols);
    auto it = values.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m(i, j) = *it++;
    return m;
}

Eigen::MatrixXd RandomCensus(int samples, int species, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> count(0, 50);
    Eigen::MatrixXd m(samples, species);
    for (int i = 0; i < samples; ++i)
        for (int j = 0; j < species; ++j)
            m(i, j) = count(random) > 35 ? 0 : count(random) + (j == i % species ? 60 : 0);
    return m;
}

FactorSolution Analyse(const Eigen::MatrixXd& counts, int factors) {
    Eigen::MatrixXd scaled;
    int zeroRow = -1;
    EXPECT_EQ(ScaleToUnitLength(counts, scaled, zeroRow), 0);
    Spectrum spectrum;
    ComputeSpectrum(scaled, factors, spectrum);
    FactorSolution solution;
    std::string error;
    EXPECT_EQ(AnalyseFactors(scaled, spectrum, factors, VarimaxSettings{}, solution, error), 0)
        << error;
    return solution;
}

TEST(FactorsTest, ScalesSamplesToUnitLengthAndRefusesEmptyOnes) {
    Eigen::MatrixXd scaled;
    int zeroRow = -1;
    ASSERT_EQ(ScaleToUnitLength(Matrix(2, 2, {3, 4, 0, 5}), scaled, zeroRow), 0);
    EXPECT_TRUE(scaled.isApprox(Matrix(2, 2, {0.6, 0.8, 0, 1})));
    EXPECT_EQ(ScaleToUnitLength(Matrix(3, 2, {3, 4, 0, 0, 0, 0}), scaled, zeroRow), -1);
    EXPECT_EQ(zeroRow, 1);
}

// Samples (1,0), (0,1), (1,1): the cross-product matrix of the scaled census is
// [[1.5, 0.5], [0.5, 1.5]], eigenvalues 2 and 1, first axis (1,1)/sqrt 2.
TEST(FactorsTest, OneFactorByHand) {
    const FactorSolution solution = Analyse(Matrix(3, 2, {1, 0, 0, 1, 5, 5}), 1);
    EXPECT_NEAR(solution.totalVariance, 3.0, 1e-12);
    EXPECT_NEAR(solution.eigenvalues(0), 2.0, 1e-12);
    EXPECT_NEAR(solution.eigenvalues(1), 1.0, 1e-12);
    EXPECT_TRUE(solution.loadings.isApprox(Matrix(3, 1, {kRoot2, kRoot2, 1.0}), 1e-12));
    EXPECT_TRUE(solution.scores.isApprox(Matrix(2, 1, {kRoot2, kRoot2}), 1e-12));
    EXPECT_TRUE(solution.communality.isApprox(Eigen::Vector3d(0.5, 0.5, 1.0), 1e-12));
    EXPECT_NEAR(solution.rotatedVariance(0), 2.0, 1e-12);
}

// With two factors varimax turns the principal axes (1,1) and (1,-1) back onto the species:
// loadings (1,0), (0,1) and (0.707, 0.707), each factor's variance 1.5.
TEST(FactorsTest, VarimaxByHand) {
    const FactorSolution solution = Analyse(Matrix(3, 2, {1, 0, 0, 1, 5, 5}), 2);
    EXPECT_TRUE(solution.varimaxConverged);
    Eigen::MatrixXd loadings = solution.loadings;
    if (loadings(0, 0) < loadings(0, 1))
        loadings.rowwise().reverseInPlace(); // both factors have the same variance
    EXPECT_TRUE(loadings.isApprox(Matrix(3, 2, {1, 0, 0, 1, kRoot2, kRoot2}), 1e-9)) << loadings;
    EXPECT_NEAR(solution.rotatedVariance(0), 1.5, 1e-9);
    EXPECT_NEAR(solution.rotatedVariance(1), 1.5, 1e-9);
    EXPECT_TRUE(solution.communality.isApprox(Eigen::Vector3d::Ones(), 1e-12));
}

TEST(FactorsTest, VarimaxFindsAMaximumWithOrthonormalScores) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const Eigen::MatrixXd counts = RandomCensus(30, 8, seed);
        const FactorSolution solution = Analyse(counts, 3);
        const double best = VarimaxCriterion(solution.loadings);
        // Small rotations of the result in every plane lower the criterion.
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                for (const double angle : {-0.01, 0.01}) {
                    Eigen::Matrix3d turn = Eigen::Matrix3d::Identity();
                    turn(a, a) = turn(b, b) = std::cos(angle);
                    turn(a, b) = -std::sin(angle);
                    turn(b, a) = std::sin(angle);
                    EXPECT_LT(VarimaxCriterion(solution.loadings * turn), best) << seed;
                }
        EXPECT_TRUE((solution.scores.transpose() * solution.scores)
                        .isApprox(Eigen::Matrix3d::Identity(), 1e-12));
        // Rotation keeps each communality and the total explained variance.
        EXPECT_NEAR(solution.rotatedVariance.sum(), solution.eigenvalues.head(3).sum(), 1e-9);
        for (Eigen::Index j = 0; j < 3; ++j)
            EXPECT_GT(solution.loadings.col(j).sum(), 0.0);
        for (Eigen::Index j = 1; j < 3; ++j)
            EXPECT_GE(solution.rotatedVariance(j - 1), solution.rotatedVariance(j));
    }
}

TEST(FactorsTest, BothSidesOfTheCensusGiveTheSameFactors) {
    // 6 samples x 9 species work on the sample side; the same samples twice (12 x 9) on the
    // species side, with twice the eigenvalues and the same axes.
    const Eigen::MatrixXd wide = RandomCensus(6, 9, 7);
    const FactorSolution a = Analyse(wide, 2);
    Eigen::MatrixXd stacked(12, 9);
    stacked << wide, wide;
    const FactorSolution b = Analyse(stacked, 2);
    EXPECT_TRUE(a.loadings.isApprox(b.loadings.topRows(6), 1e-9));
    EXPECT_TRUE(a.scores.isApprox(b.scores, 1e-9));
    EXPECT_NEAR(2 * a.eigenvalues(0), b.eigenvalues(0), 1e-9);
}

TEST(FactorsTest, ScalingASampleOrPermutingSpeciesChangesNothing) {
    const Eigen::MatrixXd counts = RandomCensus(20, 7, 3);
    const FactorSolution base = Analyse(counts, 3);
    Eigen::MatrixXd scaledCounts = counts;
    scaledCounts.row(4) *= 7.0;
    const FactorSolution scaled = Analyse(scaledCounts, 3);
    EXPECT_TRUE(base.loadings.isApprox(scaled.loadings, 1e-10));
    Eigen::PermutationMatrix<Eigen::Dynamic> permutation(7);
    permutation.indices() << 3, 0, 6, 1, 5, 2, 4;
    const FactorSolution permuted = Analyse(counts * permutation, 3);
    EXPECT_TRUE(base.loadings.isApprox(permuted.loadings, 1e-9));
    EXPECT_TRUE((permutation.transpose() * base.scores).isApprox(permuted.scores, 1e-9));
}

TEST(FactorsTest, ProjectionOfAReferenceSampleGivesItsOwnLoadings) {
    const Eigen::MatrixXd counts = RandomCensus(15, 6, 5);
    const FactorSolution solution = Analyse(counts, 2);
    Eigen::MatrixXd scaled;
    int zeroRow = -1;
    ScaleToUnitLength(counts, scaled, zeroRow);
    Eigen::MatrixXd loadings;
    Eigen::VectorXd communality;
    ProjectOnFactors(scaled, solution.scores, loadings, communality);
    EXPECT_TRUE(loadings.isApprox(solution.loadings, 1e-12));
    EXPECT_TRUE(communality.isApprox(solution.communality, 1e-12));
    EXPECT_LE(communality.maxCoeff(), 1.0 + 1e-12);
}

TEST(FactorsTest, MoreFactorsThanIndependentDirectionsAreRefused) {
    // Three samples on only two directions (the third is twice the first).
    Eigen::MatrixXd scaled;
    int zeroRow = -1;
    ScaleToUnitLength(Matrix(3, 3, {1, 2, 0, 0, 1, 1, 2, 4, 0}), scaled, zeroRow);
    Spectrum spectrum;
    ComputeSpectrum(scaled, 3, spectrum);
    FactorSolution solution;
    std::string error;
    EXPECT_EQ(AnalyseFactors(scaled, spectrum, 3, VarimaxSettings{}, solution, error), -1);
    EXPECT_NE(error.find("has only 2 independent directions"), std::string::npos) << error;
}

} // namespace
} // namespace quillon
