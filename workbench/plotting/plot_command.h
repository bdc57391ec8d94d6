// "Plot estimates..." (Tools menu): the down-core plot of the analog estimates and/or the
// transfer-function estimates, written as an SVG picture and shown by the desktop.
//
// Dialogs, in order: "Select analog estimates" (the engine's summary table or its
// NAME_estimates.tsv), "Select transfer-function estimates" (Quillon's NAME_estimates.tsv)
// (Cancel skips either; with neither the command ends quietly), "Select depth table"
// (Cancel: depth from the sample names or their order), then "Save plot as", proposing
// NAME_plot.svg beside the first table chosen.
#pragma once

namespace corelith {

struct Workbench;

// Results (the menu ignores them).
inline constexpr int kPlotDone = 0;      // written, or cancelled in a dialog
inline constexpr int kPlotNoInput = -1;  // a table could not be opened, read or matched
inline constexpr int kPlotNoOutput = -2; // the picture could not be written

int PlotEstimates(Workbench& wb);

} // namespace corelith
