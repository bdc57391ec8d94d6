#include "quillon/crossval.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace quillon {

CvSummary SummariseCrossValidation(const Eigen::VectorXd& observed,
                                   const Eigen::VectorXd& estimated) {
    CvSummary summary;
    std::vector<double> obs;
    std::vector<double> est;
    for (Eigen::Index i = 0; i < observed.size(); ++i) {
        if (std::isnan(observed(i)))
            continue;
        obs.push_back(observed(i));
        est.push_back(estimated(i));
    }
    const auto n = static_cast<double>(obs.size());
    summary.samples = static_cast<int>(obs.size());
    if (obs.empty()) {
        summary.rmsep = summary.r2 = summary.meanBias = summary.maxBias = std::nan("");
        return summary;
    }
    double squares = 0.0;
    double sum = 0.0;
    double meanObs = 0.0;
    double meanEst = 0.0;
    for (size_t i = 0; i < obs.size(); ++i) {
        const double residual = est[i] - obs[i];
        squares += residual * residual;
        sum += residual;
        meanObs += obs[i];
        meanEst += est[i];
    }
    meanObs /= n;
    meanEst /= n;
    summary.rmsep = std::sqrt(squares / n);
    summary.meanBias = sum / n;

    double sxy = 0.0;
    double sxx = 0.0;
    double syy = 0.0;
    for (size_t i = 0; i < obs.size(); ++i) {
        sxy += (obs[i] - meanObs) * (est[i] - meanEst);
        sxx += (obs[i] - meanObs) * (obs[i] - meanObs);
        syy += (est[i] - meanEst) * (est[i] - meanEst);
    }
    summary.r2 = sxx > 0.0 && syy > 0.0 ? sxy * sxy / (sxx * syy) : std::nan("");

    const auto [low, high] = std::minmax_element(obs.begin(), obs.end());
    const double width = (*high - *low) / kBiasBins;
    std::array<double, kBiasBins> binSum{};
    std::array<int, kBiasBins> binCount{};
    for (size_t i = 0; i < obs.size(); ++i) {
        int bin = width > 0.0 ? static_cast<int>((obs[i] - *low) / width) : 0;
        bin = std::clamp(bin, 0, kBiasBins - 1);
        binSum[static_cast<size_t>(bin)] += est[i] - obs[i];
        ++binCount[static_cast<size_t>(bin)];
    }
    summary.maxBias = 0.0;
    bool first = true;
    for (size_t b = 0; b < binSum.size(); ++b) {
        if (binCount[b] == 0)
            continue;
        const double mean = binSum[b] / binCount[b];
        if (first || std::abs(mean) > std::abs(summary.maxBias))
            summary.maxBias = mean;
        first = false;
    }
    return summary;
}

double PercentileWithin(double value, const Eigen::VectorXd& reference) {
    if (reference.size() == 0)
        return std::nan("");
    const auto below = (reference.array() < value).count();
    return 100.0 * static_cast<double>(below) / static_cast<double>(reference.size());
}

bool IsNoAnalog(double communality, const Eigen::VectorXd& referenceCommunality) {
    const auto below = (referenceCommunality.array() < communality).count();
    // below / N < 5 %, in whole numbers so that no rounding moves the border.
    return referenceCommunality.size() > 0 && 20 * below < referenceCommunality.size();
}

double NoAnalogThreshold(const Eigen::VectorXd& referenceCommunality) {
    const Eigen::Index n = referenceCommunality.size();
    if (n == 0)
        return std::nan("");
    std::vector<double> sorted(referenceCommunality.data(), referenceCommunality.data() + n);
    std::sort(sorted.begin(), sorted.end());
    const Eigen::Index m = (n + 19) / 20;
    return sorted[static_cast<size_t>(m - 1)];
}

} // namespace quillon
