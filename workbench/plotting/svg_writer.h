// The down-core plot as an SVG picture: the panels side by side, sharing the depth axis
// on their left, depth increasing downwards; in each panel the estimates as a line with
// points inside a band of plus and minus one standard deviation (analog) or standard
// error (factor method), samples without analogs crossed; a legend below. The text is the
// same, byte for byte, for the same plot: fixed decimals in the C locale, no dates.
#pragma once

#include "plotting/plot_model.h"

#include <string>
#include <string_view>

namespace corelith {

// The whole SVG document, lines ending in "\n".
std::string PlotToSvg(const Plot& plot);

// `text` with the characters that XML reserves written as entities.
std::string EscapeXml(std::string_view text);

// Legend texts.
inline constexpr char kAnalogLegend[] = "Analog (mean \xC2\xB1 SD)";
inline constexpr char kFactorLegend[] = "Factor (estimate \xC2\xB1 SE)";
inline constexpr char kNoAnalogLegend[] = "no analog";
inline constexpr char kSummaryFlagsNote[] =
    "Analog: samples without analogs not marked (the summary table has no flags)";

} // namespace corelith
