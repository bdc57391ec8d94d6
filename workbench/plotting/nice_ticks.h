// Axis ticks at round numbers: 1, 2 or 5 times a power of ten, so that values can be read
// off an axis without arithmetic.
#pragma once

#include <string>
#include <vector>

namespace corelith {

struct AxisTicks {
    double first = 0.0; // the axis starts at this tick
    double last = 1.0;  // and ends at this one
    double step = 1.0;
    int decimals = 0;           // decimals a label needs to show every tick exactly
    std::vector<double> values; // first, first + step, ..., last
};

// The smallest round number (1, 2 or 5 times a power of ten) near `rough` > 0: 0.13 gives
// 0.1, 0.17 gives 0.2, 0.4 gives 0.5, 0.8 gives 1.
double NiceStep(double rough);

// Ticks that cover [low, high] with about `intervals` steps, starting and ending on a
// tick; the step is never below `minimumStep` (1 for counted things). An empty range is
// widened around its value, and one that is not finite becomes 0 to 1.
AxisTicks NiceTicks(double low, double high, int intervals, double minimumStep = 0.0);

// `value` with `decimals` decimals in the C locale, never "-0".
std::string FormatFixed(double value, int decimals);

} // namespace corelith
