#include "quillon/transfer.h"

#include "quillon/text.h"

#include <cmath>

namespace quillon {

namespace {

int Scale(const Census& census, const std::string& fileName, const char* kind,
          Eigen::MatrixXd& scaled, std::string& error) {
    int zeroRow = 0;
    if (ScaleToUnitLength(census.values, scaled, zeroRow) == 0)
        return 0;
    error = fileName + ", line " +
            std::to_string(census.sampleLines[static_cast<size_t>(zeroRow)]) + ": " + kind +
            " sample " + Quoted(census.samples[static_cast<size_t>(zeroRow)]) +
            " has no specimen (every value is 0): it cannot be scaled to unit length";
    return -1;
}

// The regression of each calibrated variable on the rotated loadings of the samples that
// have a value of it.
int Calibrate(const Inputs& inputs, TransferResult& result, std::string& error) {
    const RegressFile& regress = inputs.regress;
    const Eigen::Index samples = result.factors.loadings.rows();
    const auto count = static_cast<Eigen::Index>(inputs.variables.size());
    result.observed.resize(samples, count);
    const Eigen::MatrixXd design = DesignMatrix(result.factors.loadings, result.form);
    for (Eigen::Index u = 0; u < count; ++u) {
        VariableResult variable;
        variable.variable = inputs.variables[static_cast<size_t>(u)].variable;
        variable.name = regress.variableNames[static_cast<size_t>(variable.variable)];
        result.observed.col(u) = regress.values.col(variable.variable);
        std::vector<Eigen::Index> rows;
        for (Eigen::Index i = 0; i < samples; ++i)
            if (!std::isnan(result.observed(i, u)))
                rows.push_back(i);
        variable.missing = static_cast<int>(samples - static_cast<Eigen::Index>(rows.size()));
        const Eigen::MatrixXd x = design(rows, Eigen::all);
        const Eigen::VectorXd y = result.observed(rows, u);
        if (FitRegression(x, y, result.coefficientNames, variable.fit, error) != 0) {
            error = inputs.regressShown + ": variable " + Quoted(variable.name) + ": " + error;
            return -1;
        }
        result.variables.push_back(variable);
    }
    return 0;
}

void ApplyToCore(const Eigen::MatrixXd& scaledCore, TransferResult& result) {
    ProjectOnFactors(scaledCore, result.factors.scores, result.coreLoadings,
                     result.coreCommunality);
    const Eigen::Index samples = scaledCore.rows();
    const auto count = static_cast<Eigen::Index>(result.variables.size());
    const Eigen::MatrixXd design = DesignMatrix(result.coreLoadings, result.form);
    result.coreEstimates.resize(samples, count);
    result.coreErrors.resize(samples, count);
    for (Eigen::Index u = 0; u < count; ++u) {
        const RegressionFit& fit = result.variables[static_cast<size_t>(u)].fit;
        for (Eigen::Index c = 0; c < samples; ++c) {
            result.coreEstimates(c, u) = Estimate(fit, design.row(c));
            result.coreErrors(c, u) = PredictionError(fit, design.row(c));
        }
    }
    result.corePercentile.resize(samples);
    result.noAnalog.assign(static_cast<size_t>(samples), false);
    result.noAnalogCount = 0;
    for (Eigen::Index c = 0; c < samples; ++c) {
        result.corePercentile(c) =
            PercentileWithin(result.coreCommunality(c), result.loo.communality);
        if (IsNoAnalog(result.coreCommunality(c), result.loo.communality)) {
            result.noAnalog[static_cast<size_t>(c)] = true;
            ++result.noAnalogCount;
        }
    }
    result.noAnalogThreshold = NoAnalogThreshold(result.loo.communality);
    result.coreDone = true;
}

} // namespace

int ComputeTransfer(const Inputs& inputs, const TransferSettings& settings, TransferResult& result,
                    std::string& error) {
    const CapFacFile& capFac = inputs.capFac;
    Eigen::MatrixXd scaled;
    if (Scale(capFac.census, inputs.capFacShown, "reference", scaled, error) != 0)
        return -1;
    Eigen::MatrixXd scaledCore;
    if (inputs.threadUsed &&
        Scale(inputs.thread.census, inputs.threadShown, "core", scaledCore, error) != 0)
        return -1;

    Spectrum spectrum;
    ComputeSpectrum(scaled, capFac.factorCount, spectrum);
    if (AnalyseFactors(scaled, spectrum, capFac.factorCount, settings.varimax, result.factors,
                       error) != 0) {
        error = inputs.capFacShown + ": " + error;
        return -1;
    }
    result.form = inputs.regress.power == 1 ? ModelForm::Quadratic : ModelForm::Linear;
    result.coefficientNames = CoefficientNames(capFac.factorCount, result.form);
    result.variables.clear();
    if (inputs.regressUsed && Calibrate(inputs, result, error) != 0)
        return -1;
    if (!inputs.regressUsed)
        result.observed.resize(scaled.rows(), 0);

    if (inputs.regressUsed || inputs.threadUsed) {
        LooProblem problem;
        problem.factorCount = capFac.factorCount;
        problem.form = result.form;
        problem.observed = result.observed;
        int failed = 0;
        if (LeaveOneOut(spectrum, problem, settings.threads, result.loo, failed, error) != 0) {
            error = inputs.regressShown + ": leaving out reference sample " +
                    Quoted(capFac.census.samples[static_cast<size_t>(failed)]) +
                    " makes a regression singular or leaves no more samples than "
                    "coefficients, so its leave-one-out estimate cannot be computed; use fewer "
                    "factors or the linear model";
            return -1;
        }
        result.looDone = true;
        for (size_t u = 0; u < result.variables.size(); ++u) {
            const auto column = static_cast<Eigen::Index>(u);
            result.variables[u].cv = SummariseCrossValidation(result.observed.col(column),
                                                              result.loo.estimates.col(column));
        }
    }
    if (inputs.threadUsed)
        ApplyToCore(scaledCore, result);
    return 0;
}

} // namespace quillon
