// The texts of the output files: the readable report NAME.out and the tab-separated tables
// that a spreadsheet or R opens directly (header line, one row per sample or variable,
// numbers with a decimal point in the C locale, an empty cell for a missing value).
#pragma once

#include "quillon/inputs.h"
#include "quillon/transfer.h"

#include <string>

namespace quillon {

struct ReportContext {
    const Inputs& inputs;
    const TransferResult& result;
    const TransferSettings& settings;
};

// NAME.out: settings, factors, variance table, regression summaries, cross-validation,
// core summary, notes and warnings.
std::string ReportText(const ReportContext& context);

// NAME_factors.tsv: Sample, Communality, F1 ... Fk (reference samples, rotated loadings).
std::string FactorsTable(const ReportContext& context);
// NAME_core_factors.tsv: the same for the core samples projected on the factors.
std::string CoreFactorsTable(const ReportContext& context);
// NAME_calibration.tsv: Variable, Terms (coefficients with the intercept), R2, RMSE,
// RMSEP_LOO.
std::string CalibrationTable(const ReportContext& context);
// NAME_estimates.tsv: Sample, Communality, per variable VAR and VAR_SE, Percentile, Flag.
std::string EstimatesTable(const ReportContext& context);
// NAME_cv.tsv: Sample, per variable VAR_observed, VAR_estimated, VAR_residual.
std::string CvTable(const ReportContext& context);
// NAME_cv_summary.tsv: Method, Variable, Samples, Folds, RMSEP, R2, Mean_bias, Max_bias.
std::string CvSummaryTable(const ReportContext& context);
// The cross-validation summary as aligned text, for the console and the report.
std::string CvSummaryText(const ReportContext& context);

inline constexpr const char* kMethodName = "factor";
inline constexpr const char* kNoAnalogFlag = "no analog";

} // namespace quillon
