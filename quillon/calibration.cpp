#include "quillon/calibration.h"

#include "quillon/text.h"

#include <cmath>

namespace quillon {

int CoefficientCount(int factorCount, ModelForm form) {
    const int k = factorCount;
    return form == ModelForm::Linear ? 1 + k : 1 + 2 * k + k * (k - 1) / 2;
}

std::string FactorName(int factor) {
    // Appended rather than "F" + text, which GCC 12 at -O3 warns about wrongly.
    std::string name = "F";
    name += std::to_string(factor);
    return name;
}

std::vector<std::string> CoefficientNames(int factorCount, ModelForm form) {
    std::vector<std::string> names{"Intercept"};
    for (int j = 1; j <= factorCount; ++j)
        names.push_back(FactorName(j));
    if (form == ModelForm::Quadratic) {
        for (int j = 1; j <= factorCount; ++j)
            names.push_back(FactorName(j) + "^2");
        for (int a = 1; a <= factorCount; ++a)
            for (int b = a + 1; b <= factorCount; ++b)
                names.push_back(FactorName(a) + "*" + FactorName(b));
    }
    return names;
}

Eigen::MatrixXd DesignMatrix(const Eigen::MatrixXd& loadings, ModelForm form) {
    const Eigen::Index k = loadings.cols();
    Eigen::MatrixXd design(loadings.rows(), CoefficientCount(static_cast<int>(k), form));
    design.col(0).setOnes();
    design.middleCols(1, k) = loadings;
    if (form == ModelForm::Quadratic) {
        design.middleCols(1 + k, k) = loadings.array().square().matrix();
        Eigen::Index column = 1 + 2 * k;
        for (Eigen::Index a = 0; a < k; ++a)
            for (Eigen::Index b = a + 1; b < k; ++b)
                design.col(column++) = loadings.col(a).cwiseProduct(loadings.col(b));
    }
    return design;
}

int InterpretTermCodes(const RegressFile& regress, const std::string& fileName, int factorCount,
                       std::vector<CalibratedVariable>& variables, std::string& error) {
    const int v = regress.variableCount;
    const int k = factorCount;
    const size_t length = static_cast<size_t>(k * (k + 3) / 2 + v);
    const int modelTerms = regress.power == 1 ? k * (k + 3) / 2 : k;
    auto at = [&](int line, const std::string& text) {
        return fileName + ", line " + std::to_string(line) + ": " + text;
    };
    variables.clear();
    std::vector<int> calibratedBy(static_cast<size_t>(v), 0);
    for (const TermCodeLine& codes : regress.termCodes) {
        if (codes.digits.size() != length) {
            error = at(codes.line, "the term-code line has " + std::to_string(codes.digits.size()) +
                                       " digits; with " + std::to_string(k) + " factors and " +
                                       std::to_string(v) + " variables it needs k(k+3)/2 + v = " +
                                       std::to_string(length));
            return -1;
        }
        int dependent = -1;
        for (int t = 0; t < v; ++t) {
            const char code = codes.digits[static_cast<size_t>(t)];
            const std::string position = "position " + std::to_string(t + 1) + " (variable " +
                                         Quoted(regress.variableNames[static_cast<size_t>(t)]) +
                                         ")";
            if (code == '3' && dependent >= 0) {
                error = at(codes.line, position + " holds a second 3: a line has exactly one "
                                                  "dependent variable");
                return -1;
            }
            if (code == '3')
                dependent = t;
            else if (code != '2') {
                error = at(codes.line,
                           position + " holds " + std::string(1, code) +
                               "; a variable position holds 3 (the dependent variable) or 2 "
                               "(left out): a core has no environmental values to use as terms");
                return -1;
            }
        }
        if (dependent < 0) {
            error = at(codes.line, "no variable position holds 3, the dependent variable");
            return -1;
        }
        for (size_t t = static_cast<size_t>(v); t < length; ++t) {
            const char code = codes.digits[t];
            const bool term = static_cast<int>(t) - v < modelTerms;
            const std::string position = "position " + std::to_string(t + 1) + " (factor term " +
                                         std::to_string(static_cast<int>(t) - v + 1) + ")";
            if (term && code == '2') {
                error = at(codes.line, position +
                                           " holds 2: leaving out a factor term is not supported, "
                                           "because such a model changes with the rotation of the "
                                           "factors; code every factor term 0");
                return -1;
            }
            if ((term && code != '0') || (!term && code != '0' && code != '2')) {
                error = at(codes.line, position + " holds " + std::string(1, code) +
                                           "; a factor term is coded 0 (used)");
                return -1;
            }
        }
        int& earlier = calibratedBy[static_cast<size_t>(dependent)];
        if (earlier != 0) {
            error = at(codes.line,
                       "variable " + Quoted(regress.variableNames[static_cast<size_t>(dependent)]) +
                           " is already the dependent variable of line " + std::to_string(earlier));
            return -1;
        }
        earlier = codes.line;
        variables.push_back({dependent, codes.line});
    }
    return 0;
}

int FactoriseDesign(const Eigen::MatrixXd& design, Eigen::HouseholderQR<Eigen::MatrixXd>& qr,
                    int& column) {
    qr.compute(design);
    const Eigen::MatrixXd& packed = qr.matrixQR();
    // |r_jj| is the distance of column j from the span of the columns before it.
    for (Eigen::Index j = 0; j < design.cols(); ++j) {
        const double length = design.col(j).norm();
        if (!(std::abs(packed(j, j)) > kSingularTolerance * length)) {
            column = static_cast<int>(j);
            return -1;
        }
    }
    return 0;
}

int FitRegression(const Eigen::MatrixXd& design, const Eigen::VectorXd& y,
                  const std::vector<std::string>& coefficientNames, RegressionFit& fit,
                  std::string& error) {
    fit.samples = static_cast<int>(design.rows());
    fit.terms = static_cast<int>(design.cols());
    if (fit.samples <= fit.terms) {
        error = "the model has " + std::to_string(fit.terms) + " coefficients but only " +
                std::to_string(fit.samples) +
                " samples: it needs more samples than coefficients (use fewer factors or the "
                "linear model)";
        return -1;
    }
    Eigen::HouseholderQR<Eigen::MatrixXd> qr;
    int column = 0;
    if (FactoriseDesign(design, qr, column) != 0) {
        error =
            "the model is singular: its term " + coefficientNames[static_cast<size_t>(column)] +
            " is a combination of the terms before it" +
            (coefficientNames[static_cast<size_t>(column)].find_first_of("^*") != std::string::npos
                 ? " (when every sample's communality is nearly the same, the squared "
                   "loadings add up to a constant: use fewer factors or the linear model)"
                 : "");
        return -1;
    }
    fit.coefficients = qr.solve(y);
    fit.r = qr.matrixQR().topRows(fit.terms).triangularView<Eigen::Upper>();
    const Eigen::VectorXd residuals = y - design * fit.coefficients;
    const double rss = residuals.squaredNorm();
    const double tss = (y.array() - y.mean()).square().sum();
    fit.r2 = tss > 0.0 ? 1.0 - rss / tss : std::nan("");
    fit.see = std::sqrt(rss / (fit.samples - fit.terms));
    fit.rmse = std::sqrt(rss / fit.samples);
    return 0;
}

double Estimate(const RegressionFit& fit, const Eigen::RowVectorXd& x0) {
    return x0.dot(fit.coefficients);
}

double PredictionError(const RegressionFit& fit, const Eigen::RowVectorXd& x0) {
    // x0^T (R^T R)^-1 x0 = |R^-T x0|^2.
    const Eigen::VectorXd w =
        fit.r.transpose().triangularView<Eigen::Lower>().solve(x0.transpose());
    return fit.see * std::sqrt(1.0 + w.squaredNorm());
}

} // namespace quillon
