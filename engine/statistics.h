// Mean, spread, extremes and similarity-weighted estimates over a sample's analogs.
#pragma once

#include <iosfwd>

namespace marvane {

struct QuantityAccumulator {
    float sum = 0.0f;
    float sumOfSquares = 0.0f;
    float maximum = -9999.0f;
    float minimum = 9999.0f;
    float weightedSum = 0.0f;
    float weightedSumOfSquares = 0.0f;
    float weightSum = 0.0f;
};

// DISS (dissimilarity), ENV1 and ENV2 of the analogs that enter the statistics.
struct SampleStatistics {
    QuantityAccumulator diss;
    QuantityAccumulator env1;
    QuantityAccumulator env2;
};

struct QuantityResult {
    float mean = 0.0f;
    float sigma = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float weightedMean = 0.0f;  // ENV1 and ENV2 only
    float weightedSigma = 0.0f; // ENV1 and ENV2 only
};

struct StatisticsResult {
    QuantityResult diss;
    QuantityResult env1;
    QuantityResult env2;
};

void AddAnalogToStatistics(SampleStatistics& statistics, float dissimilarity, float env1,
                           float env2, float weight);

// Results for `count` analogs (at least 1). A variance below zero beyond rounding is
// reported on `console` ("argument1 < 0" / "argument2 < 0") and gives a spread of 0.
StatisticsResult FinishStatistics(const SampleStatistics& statistics, int count,
                                  std::ostream& console);

} // namespace marvane
