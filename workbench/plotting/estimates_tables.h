// The tables of estimates the plot draws, each recognised by its header line:
//  - the analog engine's summary table: SAMPLE DISS SD T1 SD T2 SD, the name in 12
//    columns, values too wide for their field written as asterisks (missing here);
//  - the analog engine's NAME_estimates.tsv: Sample Dissimilarity T1 T1_SD T2 T2_SD
//    Percentile Flag, the only analog table that marks samples without analogs;
//  - the factor-analytic program's NAME_estimates.tsv: Sample Communality, each variable
//    with its VAR_SE column, Percentile Flag.
// Empty cells are missing values; Flag is "no analog" or empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

enum class EstimatesKind { AnalogSummary, AnalogEstimates, FactorEstimates };

// Which dialog a table was chosen in: the analog one takes the engine's two tables, the
// transfer-function one the factor-analytic program's.
enum class EstimatesMethod { Analog, Factor };

// The width of a sample name in the summary table: longer names are cut there.
inline constexpr size_t kSummaryNameWidth = 12;

struct EstimateRow {
    std::string sample;          // without blanks at either end
    int line = 0;                // line number in the file
    std::vector<double> values;  // one per variable; NaN when missing
    std::vector<double> spreads; // standard deviation or error per variable; NaN when missing
    bool noAnalog = false;
};

struct EstimatesTable {
    EstimatesKind kind = EstimatesKind::AnalogSummary;
    std::vector<std::string> variables; // "T1", "T2" for the analog tables
    std::vector<EstimateRow> rows;      // in file order
};

// Why a table could not be read: the line (0 for the file as a whole) and the reason.
struct ReadProblem {
    int line = 0;
    std::string reason;
};

// Reads the whole text of a table of estimates chosen for `method`. Returns 0, or -1 with
// `problem` saying where and why (a header of neither kind, a row with the wrong number
// of cells, a cell that is not a number, no samples at all).
int ReadEstimatesText(std::string_view text, EstimatesMethod method, EstimatesTable& table,
                      ReadProblem& problem);

// How the table's spread is called in the legend and messages.
const char* DescribeKind(EstimatesKind kind);

} // namespace corelith
