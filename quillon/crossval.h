// Cross-validation statistics in the form both estimators report, and the no-analog test of
// core samples against the reference samples' leave-one-out communalities.
#pragma once

#include <Eigen/Dense>

namespace quillon {

struct CvSummary {
    int samples = 0;       // samples with an observed value
    double rmsep = 0.0;    // sqrt(mean residual^2)
    double r2 = 0.0;       // squared Pearson correlation of observed and estimated (NaN when
                           // either is constant)
    double meanBias = 0.0; // mean residual
    double maxBias = 0.0;  // the bin mean residual of largest absolute value
};

inline constexpr int kBiasBins = 10;

// Residuals are estimated - observed; samples whose observed value is NaN are left out. For
// Max_bias the residuals are binned by observed value into 10 equal-width bins over the
// observed range (the maximum in the last bin, empty bins ignored); with every observed
// value equal there is one bin.
CvSummary SummariseCrossValidation(const Eigen::VectorXd& observed,
                                   const Eigen::VectorXd& estimated);

// The percentile of `value` within `reference`: the share of reference values strictly below
// it, in percent (0 when none is lower, 100 when all are).
double PercentileWithin(double value, const Eigen::VectorXd& reference);

// A core sample has no analog when its communality lies below the reference set's 5th
// percentile, that is when fewer than 5 % of the reference samples have a lower leave-one-out
// communality (its percentile above is below 5).
bool IsNoAnalog(double communality, const Eigen::VectorXd& referenceCommunality);

// The largest communality that is still marked "no analog": the m-th smallest reference value
// with m = ceil(N / 20), for the report.
double NoAnalogThreshold(const Eigen::VectorXd& referenceCommunality);

} // namespace quillon
