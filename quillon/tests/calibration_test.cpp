// The regression: its terms, a fit worked by hand, the refusals, and the meaning of the term
// codes.
#include "quillon/calibration.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

TEST(CalibrationTest, TermsInTheirOrder) {
    EXPECT_EQ(CoefficientCount(3, ModelForm::Linear), 4);
    EXPECT_EQ(CoefficientCount(3, ModelForm::Quadratic), 10);
    EXPECT_EQ(CoefficientCount(10, ModelForm::Quadratic), 66);
    EXPECT_EQ(CoefficientNames(3, ModelForm::Quadratic),
              (std::vector<std::string>{"Intercept", "F1", "F2", "F3", "F1^2", "F2^2", "F3^2",
                                        "F1*F2", "F1*F3", "F2*F3"}));
    Eigen::MatrixXd loadings(1, 3);
    loadings << 2, 3, 5;
    Eigen::MatrixXd expected(1, 10);
    expected << 1, 2, 3, 5, 4, 9, 25, 6, 10, 15;
    EXPECT_EQ(DesignMatrix(loadings, ModelForm::Quadratic), expected);
    EXPECT_EQ(DesignMatrix(loadings, ModelForm::Linear), expected.leftCols(4));
}

// y = 1, 3, 2, 5 at x = 0, 1, 2, 3: slope Sxy/Sxx = 5.5/5 = 1.1, intercept 2.75 - 1.65 = 1.1,
// RSS 2.7, TSS 8.75.
TEST(CalibrationTest, StraightLineByHand) {
    Eigen::MatrixXd x(4, 1);
    x << 0, 1, 2, 3;
    const Eigen::VectorXd y = Eigen::Vector4d(1, 3, 2, 5);
    RegressionFit fit;
    std::string error;
    ASSERT_EQ(FitRegression(DesignMatrix(x, ModelForm::Linear), y,
                            CoefficientNames(1, ModelForm::Linear), fit, error),
              0)
        << error;
    EXPECT_NEAR(fit.coefficients(0), 1.1, 1e-12);
    EXPECT_NEAR(fit.coefficients(1), 1.1, 1e-12);
    EXPECT_NEAR(fit.r2, 1.0 - 2.7 / 8.75, 1e-12);
    EXPECT_NEAR(fit.see, std::sqrt(2.7 / 2.0), 1e-12);
    EXPECT_NEAR(fit.rmse, std::sqrt(2.7 / 4.0), 1e-12);
    Eigen::RowVectorXd x0(2);
    x0 << 1, 1.5;
    EXPECT_NEAR(Estimate(fit, x0), 2.75, 1e-12);
    // At the mean of x: se * sqrt(1 + 1/n).
    EXPECT_NEAR(PredictionError(fit, x0), std::sqrt(2.7 / 2.0) * std::sqrt(1.25), 1e-12);
    // Farther out: se * sqrt(1 + 1/n + (x0 - mean)^2 / Sxx).
    x0 << 1, 4;
    EXPECT_NEAR(PredictionError(fit, x0),
                std::sqrt(2.7 / 2.0) * std::sqrt(1.0 + 0.25 + 2.5 * 2.5 / 5.0), 1e-12);
}

TEST(CalibrationTest, RefusesSingularModelsAndTooFewSamples) {
    Eigen::MatrixXd loadings(5, 2);
    loadings << 0.1, 0.2, 0.3, 0.6, 0.5, 1.0, 0.2, 0.4, 0.9, 1.8; // F2 = 2 F1
    const Eigen::VectorXd y = Eigen::VectorXd::LinSpaced(5, 1, 5);
    RegressionFit fit;
    std::string error;
    EXPECT_EQ(FitRegression(DesignMatrix(loadings, ModelForm::Linear), y,
                            CoefficientNames(2, ModelForm::Linear), fit, error),
              -1);
    EXPECT_NE(error.find("singular: its term F2 is a combination"), std::string::npos) << error;
    EXPECT_EQ(FitRegression(DesignMatrix(loadings.topRows(3), ModelForm::Linear), y.head(3),
                            CoefficientNames(2, ModelForm::Linear), fit, error),
              -1);
    EXPECT_NE(error.find("3 coefficients but only 3 samples"), std::string::npos) << error;
    // Squared loadings that add up to the same communality everywhere repeat the intercept.
    Eigen::MatrixXd circle(8, 2);
    for (int i = 0; i < 8; ++i)
        circle.row(i) << std::cos(i), std::sin(i);
    EXPECT_EQ(FitRegression(DesignMatrix(circle, ModelForm::Quadratic),
                            Eigen::VectorXd::LinSpaced(8, 1, 8),
                            CoefficientNames(2, ModelForm::Quadratic), fit, error),
              -1);
    EXPECT_NE(error.find("F2^2 is a combination"), std::string::npos) << error;
    EXPECT_NE(error.find("communality"), std::string::npos) << error;
}

RegressFile TwoVariables(int power, std::vector<std::string> lines) {
    RegressFile regress;
    regress.variableCount = 2;
    regress.power = power;
    regress.variableNames = {"SST", "Sal"};
    for (size_t i = 0; i < lines.size(); ++i)
        regress.termCodes.push_back({static_cast<int>(100 + i), lines[i]});
    return regress;
}

TEST(CalibrationTest, TermCodes) {
    std::vector<CalibratedVariable> variables;
    std::string error;
    // 2 factors, 2 variables: 2 * 5 / 2 + 2 = 7 digits.
    ASSERT_EQ(
        InterpretTermCodes(TwoVariables(1, {"3200000", "2300000"}), "e.reg", 2, variables, error),
        0)
        << error;
    ASSERT_EQ(variables.size(), 2u);
    EXPECT_EQ(variables[1].variable, 1);
    EXPECT_EQ(variables[1].codeLine, 101);
    // The variables in another order, or only one of them, are fine.
    ASSERT_EQ(InterpretTermCodes(TwoVariables(1, {"2300000"}), "e.reg", 2, variables, error), 0);
    EXPECT_EQ(variables[0].variable, 1);
    // A linear model reads only the loading positions.
    EXPECT_EQ(InterpretTermCodes(TwoVariables(0, {"3200222"}), "e.reg", 2, variables, error), 0)
        << error;

    struct Case {
        int power;
        const char* codes;
        const char* expected;
    };
    for (const Case& c : {
             Case{1, "320000",
                  "e.reg, line 100: the term-code line has 6 digits; with 2 factors "
                  "and 2 variables it needs k(k+3)/2 + v = 7"},
             Case{1, "3200020", "position 6 (factor term 4) holds 2: leaving out a factor term"},
             Case{1, "3200200", "position 5 (factor term 3) holds 2"},
             Case{0, "3202000", "position 4 (factor term 2) holds 2"},
             Case{1, "3000000", "position 2 (variable \"Sal\") holds 0"},
             Case{1, "2200000", "no variable position holds 3"},
             Case{1, "3300000", "position 2 (variable \"Sal\") holds a second 3"},
             Case{1, "3200500", "position 5 (factor term 3) holds 5"},
             Case{0, "3200005", "position 7 (factor term 5) holds 5"},
         }) {
        EXPECT_EQ(
            InterpretTermCodes(TwoVariables(c.power, {c.codes}), "e.reg", 2, variables, error), -1)
            << c.codes;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
    EXPECT_EQ(
        InterpretTermCodes(TwoVariables(1, {"3200000", "3200000"}), "e.reg", 2, variables, error),
        -1);
    EXPECT_NE(error.find("line 101: variable \"SST\" is already the dependent variable of line "
                         "100"),
              std::string::npos)
        << error;
}

} // namespace
} // namespace quillon
