// The fast leave-one-out against the straightforward one that recomputes every fold from the
// census, and the pieces that make it fast.
#include "quillon/loo.h"
#include "quillon/workload/synthetic.h"

#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>

#include <cmath>
#include <random>

namespace quillon {
namespace {

// The distance between the spaces spanned by two sets of orthonormal columns.
double SubspaceDistance(const Eigen::MatrixXd& a, const Eigen::MatrixXd& b) {
    return (a * a.transpose() - b * b.transpose()).norm();
}

TEST(LooTest, DowndatedFactorsMatchTheFullEigendecomposition) {
    std::mt19937 random(11);
    std::normal_distribution<double> normal;
    for (const double decay : {0.7, 0.9, 0.97}) {
        // 300 axes with eigenvalues falling geometrically, and a sample of unit length.
        const int r = 300;
        Eigen::VectorXd eigenvalues(r);
        for (int j = 0; j < r; ++j)
            eigenvalues(j) = 400.0 * std::pow(decay, j);
        Eigen::VectorXd g(r);
        for (int j = 0; j < r; ++j)
            g(j) = normal(random) * std::sqrt(eigenvalues(j) / 400.0);
        g /= g.norm();
        for (const int k : {1, 4, 10}) {
            Eigen::MatrixXd fast;
            DowndatedFactors(eigenvalues, g, k, 96, fast);
            Eigen::MatrixXd matrix = -g * g.transpose();
            matrix.diagonal() += eigenvalues;
            const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(matrix);
            const Eigen::MatrixXd exact = solver.eigenvectors().rightCols(k);
            EXPECT_LT(SubspaceDistance(fast, exact), 1e-9) << decay << " " << k;
            EXPECT_TRUE((fast.transpose() * fast).isApprox(Eigen::MatrixXd::Identity(k, k), 1e-12));
        }
    }
}

struct Problem {
    Eigen::MatrixXd scaled;
    Spectrum spectrum;
    LooProblem loo;
};

Problem MakeProblem(const SyntheticShape& shape, ModelForm form, int denseAxes) {
    const SyntheticData data = MakeSyntheticData(shape);
    Problem problem;
    int zeroRow = -1;
    EXPECT_EQ(ScaleToUnitLength(data.reference, problem.scaled, zeroRow), 0);
    ComputeSpectrum(problem.scaled, shape.factors, problem.spectrum);
    problem.loo.factorCount = shape.factors;
    problem.loo.form = form;
    problem.loo.observed = data.environment;
    problem.loo.denseAxes = denseAxes;
    return problem;
}

void ExpectSameAsDirect(const Problem& problem, const char* what) {
    LooResult fast;
    LooResult direct;
    int failed = -1;
    std::string error;
    ASSERT_EQ(LeaveOneOut(problem.spectrum, problem.loo, 2, fast, failed, error), 0) << error;
    ASSERT_EQ(LeaveOneOutDirect(problem.scaled, problem.loo, direct, failed, error), 0) << error;
    for (Eigen::Index i = 0; i < direct.estimates.rows(); ++i)
        for (Eigen::Index u = 0; u < direct.estimates.cols(); ++u)
            EXPECT_NEAR(fast.estimates(i, u), direct.estimates(i, u),
                        1e-7 * (1.0 + std::abs(direct.estimates(i, u))))
                << what << " sample " << i << " variable " << u;
    EXPECT_TRUE(fast.communality.isApprox(direct.communality, 1e-9)) << what;
    // The Krylov folds must have met their accuracy by themselves.
    EXPECT_EQ(fast.exactFolds, 0) << what;
    EXPECT_TRUE((fast.communality.array() <= 1.0 + 1e-12).all());
}

TEST(LooTest, FastFoldsEqualRecomputedOnes) {
    struct Case {
        int references, species, factors, endMembers;
        ModelForm form;
        int denseAxes;
        const char* what;
    };
    for (const Case& c : {
             Case{25, 8, 2, 3, ModelForm::Quadratic, 96, "small, dense folds"},
             Case{30, 12, 3, 5, ModelForm::Linear, 96, "linear"},
             Case{12, 40, 2, 4, ModelForm::Quadratic, 96, "more species than samples"},
             Case{90, 80, 4, 6, ModelForm::Quadratic, 8, "Krylov folds"},
             Case{70, 90, 3, 8, ModelForm::Linear, 8, "Krylov folds, sample side"},
         }) {
        SyntheticShape shape;
        shape.references = c.references;
        shape.species = c.species;
        shape.factors = c.factors;
        shape.endMembers = c.endMembers;
        shape.seed = static_cast<std::uint64_t>(c.references);
        ExpectSameAsDirect(MakeProblem(shape, c.form, c.denseAxes), c.what);
    }
}

TEST(LooTest, MissingValuesLeaveASampleOutOfItsVariableOnly) {
    SyntheticShape shape;
    shape.references = 30;
    shape.species = 10;
    Problem problem = MakeProblem(shape, ModelForm::Linear, 96);
    problem.loo.observed(4, 0) = std::nan("");
    problem.loo.observed(9, 1) = std::nan("");
    ExpectSameAsDirect(problem, "missing values");
    LooResult result;
    int failed = -1;
    std::string error;
    ASSERT_EQ(LeaveOneOut(problem.spectrum, problem.loo, 1, result, failed, error), 0);
    EXPECT_FALSE(std::isnan(result.estimates(4, 0))) << "still estimated";
}

TEST(LooTest, AFoldWithTooFewSamplesIsNamed) {
    SyntheticShape shape;
    shape.references = 8;
    shape.species = 6;
    shape.factors = 2;
    Problem problem = MakeProblem(shape, ModelForm::Quadratic, 96);
    // 6 coefficients; the variable is known for 6 samples only, so every fold that leaves one
    // of them out keeps 5.
    problem.loo.observed.col(0).tail(2).setConstant(std::nan(""));
    LooResult result;
    int failed = -1;
    std::string error;
    EXPECT_EQ(LeaveOneOut(problem.spectrum, problem.loo, 2, result, failed, error), -1);
    EXPECT_EQ(failed, 0);
}

// A full model on all the factors gives the same estimates whatever basis of the factor space
// its loadings are taken in: the reason the folds need no rotation.
TEST(LooTest, FullModelsDoNotDependOnTheRotation) {
    SyntheticShape shape;
    shape.references = 40;
    shape.factors = 3;
    const Problem problem = MakeProblem(shape, ModelForm::Quadratic, 96);
    const Eigen::MatrixXd loadings = problem.scaled * problem.spectrum.axes;
    const Eigen::Matrix3d turn =
        Eigen::AngleAxisd(0.7, Eigen::Vector3d(1, 2, 3).normalized()).toRotationMatrix();
    for (const ModelForm form : {ModelForm::Linear, ModelForm::Quadratic}) {
        RegressionFit a;
        RegressionFit b;
        std::string error;
        const auto names = CoefficientNames(3, form);
        ASSERT_EQ(FitRegression(DesignMatrix(loadings, form), problem.loo.observed.col(0), names, a,
                                error),
                  0);
        ASSERT_EQ(FitRegression(DesignMatrix(loadings * turn, form), problem.loo.observed.col(0),
                                names, b, error),
                  0);
        EXPECT_NEAR(a.r2, b.r2, 1e-12);
        const Eigen::RowVectorXd core = loadings.row(3) * 0.9;
        EXPECT_NEAR(Estimate(a, DesignMatrix(core, form)),
                    Estimate(b, DesignMatrix(core * turn, form)), 1e-9);
        EXPECT_NEAR(PredictionError(a, DesignMatrix(core, form)),
                    PredictionError(b, DesignMatrix(core * turn, form)), 1e-9);
    }
}

} // namespace
} // namespace quillon
