// The tab-separated tables that the engine writes beside the project file, for other
// programs to read: the estimates of a run with the no-analog check (NAME_estimates.tsv),
// and the cross-validation's estimates and figures (NAME_cv.tsv, NAME_cv_summary.tsv).
// One header line, one line per row, cells separated by tabs, lines ended by "\n";
// numbers in the C locale with a decimal point and seven significant digits; an empty
// cell where there is no value.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace marvane {

// The names of the two environmental variables, as the summary table's header has them.
inline constexpr std::array<const char*, 2> kVariableNames{"T1", "T2"};

// A number as the tables write it ("12.5", "0.0123457", "1.0e-05", "3.0"); empty for NaN.
std::string TableNumber(double value);

// A sample name as a cell: without surrounding blanks, a tab inside made a blank.
std::string TableName(const std::string& name);

// NAME_estimates.tsv: Sample, Dissimilarity, T1, T1_SD, T2, T2_SD, Percentile, Flag.
struct EstimateLine {
    std::string name;
    float analogDissimilarity = 0.0f; // NaN: none
    bool estimated = false;           // false: the sample has no summary row
    std::array<float, 2> estimate{};  // the means of ENV1 and ENV2 over the analogs
    std::array<float, 2> sigma{};
    double percentile = 0.0; // NaN: none
    bool noAnalog = false;
};
std::string EstimatesTable(const std::vector<EstimateLine>& lines);

// NAME_cv.tsv: Sample, then T1_observed, T1_estimated, T1_residual and the same for T2.
struct CrossValidatedSample {
    std::string name;
    std::array<float, 2> observed{};
    bool estimated = false; // false: no analog entered its statistics
    std::array<float, 2> estimate{};
};
std::string CrossValidationTable(const std::vector<CrossValidatedSample>& samples);

// The figures of one variable over the samples that got an estimate (residual =
// estimated - observed): RMSEP, the square root of the mean squared residual; R2, the
// squared Pearson correlation of observed and estimated values; the mean residual; and
// the largest bias, the mean residual of largest magnitude among ten bins of equal width
// over the observed range (empty bins ignored). NaN where a figure is undefined.
struct CrossValidationFigures {
    int samples = 0;
    double rmsep = 0.0;
    double r2 = 0.0;
    double meanBias = 0.0;
    double maxBias = 0.0;
};
CrossValidationFigures ComputeFigures(const std::vector<CrossValidatedSample>& samples,
                                      size_t variable);

// NAME_cv_summary.tsv: Method, Variable, Samples, Folds, RMSEP, R2, Mean_bias, Max_bias;
// one row per variable, the method "analog".
std::string CrossValidationSummary(const std::array<CrossValidationFigures, 2>& figures, int folds);

} // namespace marvane
