// The down-core plot as plain data: the depth of every sample, and one panel per
// environmental variable with the analog and the factor-analytic estimates as series.
// Panel i holds the analog method's variable i (T1, T2) and the factor method's variable
// i, titled with the factor method's name where it has one.
//
// Depth comes from the depth table when one is given; else from the last number in each
// sample's name ("1050", "V12-122 1050cm" and "V12-122_1050" give 1050) when every sample
// has one and they are not all equal; else from the samples' order (1, 2, ...).
#pragma once

#include "plotting/depth_table.h"
#include "plotting/estimates_tables.h"
#include "plotting/nice_ticks.h"

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

enum class DepthSource { Table, SampleNames, Order };

struct PlotPoint {
    double depth = 0.0;
    double value = 0.0;  // NaN: the sample has no estimate
    double spread = 0.0; // NaN: none known
    bool noAnalog = false;
};

struct PlotSeries {
    EstimatesMethod method = EstimatesMethod::Analog;
    std::vector<PlotPoint> points; // by increasing depth; equal depths in file order
};

struct PlotPanel {
    std::string title;
    std::vector<PlotSeries> series; // the analog one first
    AxisTicks axis;                 // covers every estimate plus and minus its spread
    bool hasValues = false;         // false: no series has a single estimate here
};

struct Plot {
    std::string heading; // the files the estimates come from
    DepthSource depthSource = DepthSource::Order;
    std::string depthLabel; // "Depth", the depth table's header, or "Sample"
    AxisTicks depthAxis;
    std::vector<PlotPanel> panels;
    bool hasAnalog = false;
    bool hasFactor = false;
    bool analogFlagsKnown = false; // the analog table carries the no-analog flags
    size_t sampleCount = 0;        // samples in either table
};

// A table of estimates and the name of its file (shown in the heading).
struct PlotSource {
    const EstimatesTable* table = nullptr; // none: the method is not plotted
    std::string fileName;
};

struct PlotInputs {
    PlotSource analog;
    PlotSource factor;
    const DepthTable* depths = nullptr; // none: depth from the names or the order
};

// Builds the plot of the tables given. Returns 0, or -1 with `missingSample` naming a
// sample that the depth table lacks (or empty when no table is given).
int BuildPlot(const PlotInputs& inputs, Plot& plot, std::string& missingSample);

// The last number in a sample's name (digits with an optional decimal point); false when
// the name holds none.
bool LastNumberInName(std::string_view name, double& number);

} // namespace corelith
