#include "quillon/report.h"

#include "quillon/text.h"

#include <corelith_version.h>

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

// Tab-separated rows, each ending with a line end.
class Table {
  public:
    Table& Cell(const std::string& text) {
        if (!first_)
            text_ += '\t';
        text_ += text;
        first_ = false;
        return *this;
    }
    Table& Number(double value) { return Cell(TableNumber(value)); }
    void EndRow() {
        text_ += '\n';
        first_ = true;
    }
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
    bool first_ = true;
};

std::string Line(std::string_view text = "") {
    return std::string(text) + "\n";
}

std::string FormName(ModelForm form) {
    return form == ModelForm::Quadratic ? "quadratic (IPOW 1)" : "linear (IPOW 0)";
}

std::string Heading(std::string_view title) {
    return Line() + Line(title) + Line(std::string(title.size(), '-'));
}

std::string VarianceSection(const FactorSolution& factors) {
    std::string text = Heading("Variance explained");
    text += Line("Total variance (sum of all eigenvalues, one per sample): " +
                 FixedNumber(factors.totalVariance, 4));
    text += Line(PadRight("Factor", 8) + PadLeft("Eigenvalue", 14) + PadLeft("Percent", 10) +
                 PadLeft("Cumulative", 12) + PadLeft("Rotated", 12) + PadLeft("Percent", 10) +
                 PadLeft("Cumulative", 12));
    double cumulative = 0.0;
    double rotatedCumulative = 0.0;
    for (Eigen::Index j = 0; j < factors.factorCount; ++j) {
        const double share = 100.0 * factors.eigenvalues(j) / factors.totalVariance;
        const double rotatedShare = 100.0 * factors.rotatedVariance(j) / factors.totalVariance;
        cumulative += share;
        rotatedCumulative += rotatedShare;
        text +=
            Line(PadRight(FactorName(static_cast<int>(j) + 1), 8) +
                 FixedNumber(factors.eigenvalues(j), 6, 14) + FixedNumber(share, 3, 10) +
                 FixedNumber(cumulative, 3, 12) + FixedNumber(factors.rotatedVariance(j), 6, 12) +
                 FixedNumber(rotatedShare, 3, 10) + FixedNumber(rotatedCumulative, 3, 12));
    }
    text += Line("(Eigenvalue and its percent: before rotation, principal factors; Rotated: the "
                 "sum of the squared varimax loadings of the factor.)");
    return text;
}

std::string ScoresSection(const Inputs& inputs, const FactorSolution& factors) {
    std::string text = Heading("Factor scores of the species (varimax)");
    std::string header = PadRight("Species", 10);
    for (Eigen::Index j = 0; j < factors.factorCount; ++j)
        header += PadLeft(FactorName(static_cast<int>(j) + 1), 11);
    text += Line(header);
    for (Eigen::Index s = 0; s < factors.scores.rows(); ++s) {
        std::string row = PadRight(inputs.capFac.census.codes[static_cast<size_t>(s)], 10);
        for (Eigen::Index j = 0; j < factors.factorCount; ++j)
            row += FixedNumber(factors.scores(s, j), 5, 11);
        text += Line(row);
    }
    return text;
}

std::string RegressionSection(const ReportContext& context) {
    const TransferResult& result = context.result;
    std::string text = Heading("Regression on the factor loadings");
    text += Line("Model: " + FormName(result.form) + ", " +
                 std::to_string(result.coefficientNames.size()) +
                 " coefficients with the intercept, least squares by Householder QR.");
    for (const VariableResult& variable : result.variables) {
        const RegressionFit& fit = variable.fit;
        text += Line();
        text += Line("Variable " + Quoted(variable.name) + ": " + std::to_string(fit.samples) +
                     " reference samples" +
                     (variable.missing > 0
                          ? " (" + std::to_string(variable.missing) + " without a value left out)"
                          : ""));
        text += Line("  R2 " + FixedNumber(fit.r2, 6) + "   standard error of estimate " +
                     FixedNumber(fit.see, 6) + "   apparent RMSE " + FixedNumber(fit.rmse, 6) +
                     "   RMSEP (leave-one-out) " + FixedNumber(variable.cv.rmsep, 6));
        for (size_t c = 0; c < result.coefficientNames.size(); ++c)
            text += Line("  " + PadRight(result.coefficientNames[c], 12) +
                         PadLeft(TableNumber(fit.coefficients(static_cast<Eigen::Index>(c))), 18));
    }
    return text;
}

std::string CoreSection(const ReportContext& context) {
    const TransferResult& result = context.result;
    const Inputs& inputs = context.inputs;
    std::string text = Heading("Core");
    const Eigen::Index samples = result.coreCommunality.size();
    text += Line(std::to_string(samples) + " core samples from " + inputs.threadShown + ".");
    text += Line("Communality: the share of a core sample (scaled to unit length) that the "
                 "reference factors explain.");
    text += Line("Percentile: the share of reference samples whose leave-one-out communality "
                 "is below the core sample's, in percent.");
    text += Line("No analog: percentile below 5, that is a communality of at most " +
                 FixedNumber(result.noAnalogThreshold, 6) +
                 " (the ceil(N/20)-th smallest leave-one-out communality).");
    text += Line("Marked " + Quoted(kNoAnalogFlag) + ": " + std::to_string(result.noAnalogCount) +
                 " of " + std::to_string(samples) + " core samples.");
    for (Eigen::Index c = 0; c < samples; ++c)
        if (result.noAnalog[static_cast<size_t>(c)])
            text += Line("  " + inputs.thread.census.samples[static_cast<size_t>(c)] +
                         "  communality " + FixedNumber(result.coreCommunality(c), 6));
    return text;
}

} // namespace

std::string CvSummaryText(const ReportContext& context) {
    const TransferResult& result = context.result;
    std::string text = Line(PadRight("Method", 8) + PadRight("Variable", 14) +
                            PadLeft("Samples", 8) + PadLeft("Folds", 7) + PadLeft("RMSEP", 12) +
                            PadLeft("R2", 10) + PadLeft("Mean_bias", 12) + PadLeft("Max_bias", 12));
    for (const VariableResult& variable : result.variables) {
        const CvSummary& cv = variable.cv;
        text += Line(PadRight(kMethodName, 8) + PadRight(variable.name, 14) +
                     PadLeft(std::to_string(cv.samples), 8) +
                     PadLeft(std::to_string(result.loo.estimates.rows()), 7) +
                     FixedNumber(cv.rmsep, 6, 12) + FixedNumber(cv.r2, 6, 10) +
                     FixedNumber(cv.meanBias, 6, 12) + FixedNumber(cv.maxBias, 6, 12));
    }
    return text;
}

std::string ReportText(const ReportContext& context) {
    const Inputs& inputs = context.inputs;
    const TransferResult& result = context.result;
    const FactorSolution& factors = result.factors;
    const CapFacFile& capFac = inputs.capFac;
    std::string text;
    text += Line("Quillon " CORELITH_VERSION
                 ": factor-analytic transfer function (Imbrie and Kipp, 1971)");
    text += Line("Project " + Quoted(inputs.project.name) + " (" + inputs.projectShown + ")");

    text += Heading("Settings");
    text += Line("CapFac file:  " + inputs.capFacShown);
    text += Line("Regress file: " + (inputs.regressUsed ? inputs.regressShown : "not used"));
    text += Line("Thread file:  " + (inputs.threadUsed ? inputs.threadShown : "not used"));
    text += Line("Reference samples " + std::to_string(capFac.sampleCount) + ", species " +
                 std::to_string(capFac.speciesCount) + ", factors " +
                 std::to_string(capFac.factorCount) + ".");
    text += Line("Transformation 0: each sample scaled to unit vector length; principal "
                 "factors of the scaled census (Q-mode).");
    text += Line("Rotation: varimax (Kaiser's pairwise rotations, Kaiser normalisation), stopped "
                 "after a sweep in which no pair of factors turned by more than " +
                 TableNumber(context.settings.varimax.tolerance) + " radians, at most " +
                 std::to_string(context.settings.varimax.maxIterations) + " sweeps; " +
                 (factors.varimaxConverged ? "converged after " : "NOT converged after ") +
                 std::to_string(factors.varimaxIterations) + ".");
    text += Line("Factors ordered by their variance after rotation; each factor's loadings sum "
                 "to a positive number.");
    if (inputs.regressUsed) {
        text += Line("Regression: " + FormName(result.form) +
                     " in the loadings, with an intercept; every factor term is used, so the "
                     "estimates do not depend on the rotation.");
        text += Line("Standard error of a core estimate: the prediction standard error "
                     "s * sqrt(1 + x0' (X'X)^-1 x0), s the standard error of estimate.");
        text += Line("Leave-one-out: each reference sample is left out of the factor analysis "
                     "and the regression, then estimated (" +
                     std::to_string(result.loo.exactFolds) +
                     " folds needed a full eigendecomposition).");
    }

    text += VarianceSection(factors);
    text += ScoresSection(inputs, factors);
    text += Line();
    text += Line("The reference samples' communalities and loadings are in the _factors.tsv "
                 "table, the core samples' in the _core_factors.tsv table.");
    if (inputs.regressUsed) {
        text += RegressionSection(context);
        text += Heading("Cross-validation (leave-one-out)");
        text += CvSummaryText(context);
    }
    if (result.coreDone)
        text += CoreSection(context);

    text += Heading("Notes and warnings");
    std::vector<std::string> notes = inputs.notices;
    notes.insert(notes.end(), inputs.warnings.begin(), inputs.warnings.end());
    if (!factors.varimaxConverged)
        notes.push_back("The varimax rotation did not converge; the estimates do not depend on "
                        "it, the loadings table does.");
    if (notes.empty())
        notes.push_back("None.");
    for (const std::string& note : notes)
        text += Line(note);
    return text;
}

namespace {

// Sample, Communality, F1 ... Fk: one row per sample.
std::string LoadingsTable(const std::vector<std::string>& names, const Eigen::VectorXd& communality,
                          const Eigen::MatrixXd& loadings) {
    Table table;
    table.Cell("Sample").Cell("Communality");
    for (Eigen::Index j = 0; j < loadings.cols(); ++j)
        table.Cell(FactorName(static_cast<int>(j) + 1));
    table.EndRow();
    for (Eigen::Index i = 0; i < loadings.rows(); ++i) {
        table.Cell(names[static_cast<size_t>(i)]).Number(communality(i));
        for (Eigen::Index j = 0; j < loadings.cols(); ++j)
            table.Number(loadings(i, j));
        table.EndRow();
    }
    return table.Text();
}

} // namespace

std::string FactorsTable(const ReportContext& context) {
    const FactorSolution& factors = context.result.factors;
    return LoadingsTable(context.inputs.capFac.census.samples, factors.communality,
                         factors.loadings);
}

std::string CoreFactorsTable(const ReportContext& context) {
    return LoadingsTable(context.inputs.thread.census.samples, context.result.coreCommunality,
                         context.result.coreLoadings);
}

std::string CalibrationTable(const ReportContext& context) {
    Table table;
    table.Cell("Variable").Cell("Terms").Cell("R2").Cell("RMSE").Cell("RMSEP_LOO").EndRow();
    for (const VariableResult& variable : context.result.variables) {
        table.Cell(variable.name).Cell(std::to_string(variable.fit.terms));
        table.Number(variable.fit.r2).Number(variable.fit.rmse).Number(variable.cv.rmsep);
        table.EndRow();
    }
    return table.Text();
}

std::string EstimatesTable(const ReportContext& context) {
    const TransferResult& result = context.result;
    Table table;
    table.Cell("Sample").Cell("Communality");
    for (const VariableResult& variable : result.variables)
        table.Cell(variable.name).Cell(variable.name + "_SE");
    table.Cell("Percentile").Cell("Flag").EndRow();
    const std::vector<std::string>& names = context.inputs.thread.census.samples;
    for (Eigen::Index c = 0; c < result.coreCommunality.size(); ++c) {
        table.Cell(names[static_cast<size_t>(c)]).Number(result.coreCommunality(c));
        for (Eigen::Index u = 0; u < result.coreEstimates.cols(); ++u)
            table.Number(result.coreEstimates(c, u)).Number(result.coreErrors(c, u));
        table.Number(result.corePercentile(c))
            .Cell(result.noAnalog[static_cast<size_t>(c)] ? kNoAnalogFlag : "");
        table.EndRow();
    }
    return table.Text();
}

std::string CvTable(const ReportContext& context) {
    const TransferResult& result = context.result;
    Table table;
    table.Cell("Sample");
    for (const VariableResult& variable : result.variables)
        table.Cell(variable.name + "_observed")
            .Cell(variable.name + "_estimated")
            .Cell(variable.name + "_residual");
    table.EndRow();
    const std::vector<std::string>& names = context.inputs.capFac.census.samples;
    for (Eigen::Index i = 0; i < result.observed.rows(); ++i) {
        table.Cell(names[static_cast<size_t>(i)]);
        for (Eigen::Index u = 0; u < result.observed.cols(); ++u) {
            const double observed = result.observed(i, u);
            const double estimated = result.loo.estimates(i, u);
            table.Number(observed).Number(estimated).Number(estimated - observed);
        }
        table.EndRow();
    }
    return table.Text();
}

std::string CvSummaryTable(const ReportContext& context) {
    const TransferResult& result = context.result;
    Table table;
    for (const char* name :
         {"Method", "Variable", "Samples", "Folds", "RMSEP", "R2", "Mean_bias", "Max_bias"})
        table.Cell(name);
    table.EndRow();
    for (const VariableResult& variable : result.variables) {
        const CvSummary& cv = variable.cv;
        table.Cell(kMethodName).Cell(variable.name).Cell(std::to_string(cv.samples));
        table.Cell(std::to_string(result.loo.estimates.rows()));
        table.Number(cv.rmsep).Number(cv.r2).Number(cv.meanBias).Number(cv.maxBias);
        table.EndRow();
    }
    return table.Text();
}

} // namespace quillon
