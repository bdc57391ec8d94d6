#include "engine/statistics.h"

#include "engine/report.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace marvane {

namespace {

void Add(QuantityAccumulator& accumulator, float value, float weight, bool weighted) {
    accumulator.sum += value;
    accumulator.sumOfSquares += value * value;
    accumulator.maximum = std::max(accumulator.maximum, value);
    accumulator.minimum = std::min(accumulator.minimum, value);
    if (weighted) {
        accumulator.weightedSum += value * weight;
        accumulator.weightedSumOfSquares += value * value * weight;
        accumulator.weightSum += weight;
    }
}

float Spread(float variance, int count, const char* warning, std::ostream& console) {
    if (count == 1) {
        return 0.0f;
    }
    if (variance > 0.0f) {
        return std::sqrt(variance / static_cast<float>(count - 1));
    }
    if (std::fabs(variance) > 0.001f) {
        console << ' ' << warning << ListReal(variance) << '\n';
    }
    return 0.0f;
}

QuantityResult Finish(const QuantityAccumulator& accumulator, int count, bool weighted,
                      std::ostream& console) {
    const float n = static_cast<float>(count);
    QuantityResult result;
    result.sigma = Spread(accumulator.sumOfSquares - accumulator.sum * accumulator.sum / n, count,
                          "argument1 < 0", console);
    result.mean = accumulator.sum / n;
    result.minimum = accumulator.minimum;
    result.maximum = accumulator.maximum;
    if (weighted) {
        // Weights are close to 1 for every candidate; a zero total cannot arise from
        // proportions, but must not divide by zero either.
        result.weightedMean = accumulator.weightSum > 0.0f
                                  ? accumulator.weightedSum / accumulator.weightSum
                                  : result.mean;
        const float weightedVariance = accumulator.weightedSumOfSquares - result.weightedMean *
                                                                              result.weightedMean *
                                                                              accumulator.weightSum;
        result.weightedSigma = Spread(weightedVariance, count, "argument2 < 0", console);
    }
    return result;
}

} // namespace

void AddAnalogToStatistics(SampleStatistics& statistics, float dissimilarity, float env1,
                           float env2, float weight) {
    Add(statistics.diss, dissimilarity, weight, false);
    Add(statistics.env1, env1, weight, true);
    Add(statistics.env2, env2, weight, true);
}

StatisticsResult FinishStatistics(const SampleStatistics& statistics, int count,
                                  std::ostream& console) {
    StatisticsResult result;
    result.diss = Finish(statistics.diss, count, false, console);
    result.env1 = Finish(statistics.env1, count, true, console);
    result.env2 = Finish(statistics.env2, count, true, console);
    return result;
}

} // namespace marvane
