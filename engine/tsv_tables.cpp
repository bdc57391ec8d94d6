#include "engine/tsv_tables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace marvane {

namespace {

constexpr int kSignificantDigits = 7;
constexpr int kBiasBins = 10;

std::string Line(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        line += (i > 0 ? "\t" : "") + cells[i];
    }
    return line + '\n';
}

double NaN() {
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace

std::string TableNumber(double value) {
    if (std::isnan(value)) {
        return std::string();
    }
    if (value == 0.0) {
        value = 0.0; // no "-0"
    }
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value,
                                   std::chars_format::general, kSignificantDigits)
                         .ptr;
    std::string text(digits, end);
    // Every number shows a decimal point, so that no reader takes it for an integer.
    if (text.find('.') == std::string::npos && std::isfinite(value)) {
        const size_t exponent = text.find('e');
        text.insert(exponent == std::string::npos ? text.size() : exponent, ".0");
    }
    return text;
}

std::string TableName(const std::string& name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    std::string cell = name.substr(first, name.find_last_not_of(' ') - first + 1);
    for (char& c : cell) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return cell;
}

std::string EstimatesTable(const std::vector<EstimateLine>& lines) {
    std::vector<std::string> header{"Sample", "Dissimilarity"};
    for (const char* variable : kVariableNames) {
        header.push_back(variable);
        header.push_back(std::string(variable) + "_SD");
    }
    header.push_back("Percentile");
    header.push_back("Flag");
    std::string table = Line(header);
    for (const EstimateLine& line : lines) {
        std::vector<std::string> cells{TableName(line.name), TableNumber(line.analogDissimilarity)};
        for (size_t k = 0; k < 2; ++k) {
            cells.push_back(line.estimated ? TableNumber(line.estimate[k]) : "");
            cells.push_back(line.estimated ? TableNumber(line.sigma[k]) : "");
        }
        cells.push_back(TableNumber(line.percentile));
        cells.push_back(line.noAnalog ? "no analog" : "");
        table += Line(cells);
    }
    return table;
}

std::string CrossValidationTable(const std::vector<CrossValidatedSample>& samples) {
    std::vector<std::string> header{"Sample"};
    for (const char* variable : kVariableNames) {
        for (const char* column : {"_observed", "_estimated", "_residual"}) {
            header.push_back(variable + std::string(column));
        }
    }
    std::string table = Line(header);
    for (const CrossValidatedSample& sample : samples) {
        std::vector<std::string> cells{TableName(sample.name)};
        for (size_t k = 0; k < 2; ++k) {
            cells.push_back(TableNumber(sample.observed[k]));
            const double residual = static_cast<double>(sample.estimate[k]) - sample.observed[k];
            cells.push_back(sample.estimated ? TableNumber(sample.estimate[k]) : "");
            cells.push_back(sample.estimated ? TableNumber(residual) : "");
        }
        table += Line(cells);
    }
    return table;
}

CrossValidationFigures ComputeFigures(const std::vector<CrossValidatedSample>& samples,
                                      size_t variable) {
    std::vector<double> observed;
    std::vector<double> estimated;
    std::vector<double> residuals;
    for (const CrossValidatedSample& sample : samples) {
        if (sample.estimated) {
            observed.push_back(sample.observed[variable]);
            estimated.push_back(sample.estimate[variable]);
            residuals.push_back(estimated.back() - observed.back());
        }
    }
    CrossValidationFigures figures;
    const size_t n = observed.size();
    figures.samples = static_cast<int>(n);
    if (n == 0) {
        figures.rmsep = figures.r2 = figures.meanBias = figures.maxBias = NaN();
        return figures;
    }
    const double count = static_cast<double>(n);
    double squares = 0.0;
    double sum = 0.0;
    double low = observed[0];
    double high = observed[0];
    for (size_t i = 0; i < n; ++i) {
        squares += residuals[i] * residuals[i];
        sum += residuals[i];
        low = std::min(low, observed[i]);
        high = std::max(high, observed[i]);
    }
    figures.rmsep = std::sqrt(squares / count);
    figures.meanBias = sum / count;

    // Pearson's r of observed and estimated values, from their deviations from the means.
    double meanObserved = 0.0;
    double meanEstimated = 0.0;
    for (size_t i = 0; i < n; ++i) {
        meanObserved += observed[i];
        meanEstimated += estimated[i];
    }
    meanObserved /= count;
    meanEstimated /= count;
    double cross = 0.0;
    double spreadObserved = 0.0;
    double spreadEstimated = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double o = observed[i] - meanObserved;
        const double e = estimated[i] - meanEstimated;
        cross += o * e;
        spreadObserved += o * o;
        spreadEstimated += e * e;
    }
    figures.r2 = spreadObserved > 0.0 && spreadEstimated > 0.0
                     ? cross * cross / (spreadObserved * spreadEstimated)
                     : NaN();

    std::array<double, kBiasBins> binSums{};
    std::array<int, kBiasBins> binCounts{};
    const double width = (high - low) / kBiasBins;
    for (size_t i = 0; i < n; ++i) {
        const int bin = width > 0.0 ? static_cast<int>(std::floor((observed[i] - low) / width)) : 0;
        const size_t at = static_cast<size_t>(std::clamp(bin, 0, kBiasBins - 1));
        binSums[at] += residuals[i];
        ++binCounts[at];
    }
    figures.maxBias = 0.0;
    bool first = true;
    for (size_t b = 0; b < kBiasBins; ++b) {
        if (binCounts[b] > 0) {
            const double mean = binSums[b] / binCounts[b];
            if (first || std::fabs(mean) > std::fabs(figures.maxBias)) {
                figures.maxBias = mean;
                first = false;
            }
        }
    }
    return figures;
}

std::string CrossValidationSummary(const std::array<CrossValidationFigures, 2>& figures,
                                   int folds) {
    std::string table =
        Line({"Method", "Variable", "Samples", "Folds", "RMSEP", "R2", "Mean_bias", "Max_bias"});
    for (size_t k = 0; k < 2; ++k) {
        const CrossValidationFigures& f = figures[k];
        table += Line({"analog", kVariableNames[k], std::to_string(f.samples),
                       std::to_string(folds), TableNumber(f.rmsep), TableNumber(f.r2),
                       TableNumber(f.meanBias), TableNumber(f.maxBias)});
    }
    return table;
}

} // namespace marvane
