// The regression of environmental variables on factor loadings: the terms of the model, the
// least-squares fit by Householder QR, and the estimates with their prediction errors.
#pragma once

#include "quillon/regress_file.h"

#include <Eigen/Dense>

#include <string>
#include <vector>

namespace quillon {

enum class ModelForm { Linear, Quadratic };

// The name of factor `factor` (1-based) in tables and reports: "F1", "F2", ...
std::string FactorName(int factor);

// Coefficients of the model: the intercept, the k loadings and, for the quadratic form, the
// k squares and the k(k-1)/2 cross products (1*2, 1*3, ..., 1*k, 2*3, ...).
int CoefficientCount(int factorCount, ModelForm form);
// Their names: "Intercept", "F1", ..., "F1^2", ..., "F1*F2", ...
std::vector<std::string> CoefficientNames(int factorCount, ModelForm form);
// One row of the design matrix per row of `loadings`.
Eigen::MatrixXd DesignMatrix(const Eigen::MatrixXd& loadings, ModelForm form);

// A variable to calibrate, as its term-code line asks.
struct CalibratedVariable {
    int variable = 0; // index into the Regress file's variables
    int codeLine = 0; // the line of its term codes
};

// Reads the meaning of the term-code lines for `factorCount` factors: each line has
// k(k+3)/2 + v digits, the v variable positions first (exactly one 3, the dependent
// variable; the others 2, left out) and then the factor positions (0, a term of the model).
// With IPOW 0 only the k loadings are terms and the square and cross-product positions are
// not read beyond being 0 or 2. Returns 0, or -1 with `error` naming the line.
int InterpretTermCodes(const RegressFile& regress, const std::string& fileName, int factorCount,
                       std::vector<CalibratedVariable>& variables, std::string& error);

// A least-squares fit with an intercept, y = X b, by Householder QR of the design matrix.
struct RegressionFit {
    Eigen::VectorXd coefficients;
    Eigen::MatrixXd r; // the triangular factor: (X^T X)^-1 = r^-1 r^-T
    int samples = 0;
    int terms = 0;
    double r2 = 0.0;   // 1 - RSS / TSS
    double see = 0.0;  // standard error of estimate, sqrt(RSS / (samples - terms))
    double rmse = 0.0; // apparent root mean square error, sqrt(RSS / samples)
};

// A column that lies closer to the others than this share of its own length makes the
// model singular.
inline constexpr double kSingularTolerance = 1e-10;

// Factorises the design matrix. Returns 0, or -1 when the model is singular (a column is,
// to the tolerance above, a combination of the ones before it; `column` names it).
int FactoriseDesign(const Eigen::MatrixXd& design, Eigen::HouseholderQR<Eigen::MatrixXd>& qr,
                    int& column);

// Fits y on the design. Returns 0; -1 with `error` when there are not more samples than
// coefficients or the model is singular.
int FitRegression(const Eigen::MatrixXd& design, const Eigen::VectorXd& y,
                  const std::vector<std::string>& coefficientNames, RegressionFit& fit,
                  std::string& error);

// The estimate at the design row `x0`, and its prediction standard error
// see * sqrt(1 + x0^T (X^T X)^-1 x0).
double Estimate(const RegressionFit& fit, const Eigen::RowVectorXd& x0);
double PredictionError(const RegressionFit& fit, const Eigen::RowVectorXd& x0);

} // namespace quillon
