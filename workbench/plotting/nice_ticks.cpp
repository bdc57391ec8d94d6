#include "plotting/nice_ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corelith {

namespace {

// Ticks are counted from the axis start; a tolerance keeps a value that sits on a tick
// (such as 0.3 = 3 x 0.1 in binary) from giving one tick too many.
constexpr double kTickTolerance = 1e-9;
// More intervals than any axis can show: only values far beyond the precision of a double
// (such as 1e17 to 1e17 + 10) come near it.
constexpr double kMaxIntervals = 1000.0;

// 10 to the `exponent`, rounded once: read from its decimal form, since std::pow is several
// units in the last place off on some platforms (mingw's 10^-7, for one).
double PowerOfTen(int exponent) {
    char text[16] = {'1', 'e'};
    const auto written = std::to_chars(text + 2, text + sizeof text, exponent);
    double power = 1.0;
    std::from_chars(text, written.ptr, power);
    return power;
}

} // namespace

double NiceStep(double rough) {
    if (!(rough > 0.0) || !std::isfinite(rough))
        return 1.0;
    const double power = PowerOfTen(static_cast<int>(std::floor(std::log10(rough))));
    const double fraction = rough / power;
    double nice = 10.0;
    if (fraction < 1.5)
        nice = 1.0;
    else if (fraction < 3.0)
        nice = 2.0;
    else if (fraction < 7.0)
        nice = 5.0;
    return nice * power;
}

AxisTicks NiceTicks(double low, double high, int intervals, double minimumStep) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0.0;
        high = 1.0;
    }
    if (low > high)
        std::swap(low, high);
    if (!(high > low)) {
        const double widen = low != 0.0 ? std::fabs(low) * 0.1 : 1.0;
        low -= widen;
        high += widen;
    }
    AxisTicks ticks;
    ticks.step = std::max(NiceStep((high - low) / std::max(intervals, 1)), minimumStep);
    const double firstIndex = std::floor(low / ticks.step + kTickTolerance);
    const double lastIndex = std::ceil(high / ticks.step - kTickTolerance);
    // Counted with an integer: beyond 2^53 adding one to a double changes nothing.
    const int count = static_cast<int>(std::clamp(lastIndex - firstIndex, 1.0, kMaxIntervals));
    for (int i = 0; i <= count; ++i)
        ticks.values.push_back((firstIndex + i) * ticks.step);
    ticks.first = ticks.values.front();
    ticks.last = ticks.values.back();
    ticks.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(ticks.step) + 1e-9)));
    return ticks;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    // Adding zero turns -0 into 0; a value that rounds to zero is shown without a sign.
    const double rounded = std::round(value * std::pow(10.0, decimals)) == 0.0 ? 0.0 : value + 0.0;
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return "0";
    return std::string(buffer, end);
}

} // namespace corelith
