// The depth table of a core: one line per sample, its name and its depth (tab-separated;
// further columns, such as an age, are ignored). A first line whose depth cell is not a
// number is the header and names the axis: "Depth_cm" gives "Depth (cm)".
#pragma once

#include "plotting/estimates_tables.h"

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

struct SampleDepth {
    std::string sample; // without blanks at either end
    double depth = 0.0;
};

struct DepthTable {
    std::string axisLabel;           // from the header; "Depth" when the table has none
    std::vector<SampleDepth> depths; // in file order
};

// Reads the whole text of a depth table. Returns 0, or -1 with `problem` saying where and
// why (a line without a depth cell, a depth that is not a number, no samples at all).
int ReadDepthText(std::string_view text, DepthTable& table, ReadProblem& problem);

// The axis label a header cell gives: "Depth_cm" gives "Depth (cm)", "Depth (m)" stays.
std::string AxisLabelOf(std::string_view headerCell);

} // namespace corelith
