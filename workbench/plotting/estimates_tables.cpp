#include "plotting/estimates_tables.h"

#include "plotting/table_text.h"

#include <array>
#include <limits>

namespace corelith {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr char kNoAnalogFlag[] = "no analog";
constexpr char kSpreadSuffix[] = "_SE";

constexpr std::array<std::string_view, 7> kSummaryHeader = {"SAMPLE", "DISS", "SD", "T1",
                                                            "SD",     "T2",   "SD"};
constexpr std::array<std::string_view, 8> kAnalogEstimatesHeader = {
    "Sample", "Dissimilarity", "T1", "T1_SD", "T2", "T2_SD", "Percentile", "Flag"};
constexpr std::string_view kFactorFirst[] = {"Sample", "Communality"};
constexpr std::string_view kFactorLast[] = {"Percentile", "Flag"};

// Where a variable's estimate and spread stand in a row.
struct VariableColumns {
    std::string name;
    size_t value = 0;
    size_t spread = 0;
};

// What a header says about the rows below it.
struct Layout {
    EstimatesKind kind = EstimatesKind::AnalogSummary;
    size_t cells = 0;
    std::vector<VariableColumns> variables;
    size_t flag = 0; // 0: no flag column
};

std::vector<std::string_view> TrimmedCells(std::string_view line) {
    std::vector<std::string_view> cells = SplitCells(line);
    for (std::string_view& cell : cells)
        cell = TrimBlanks(cell);
    return cells;
}

template <size_t N>
bool Matches(const std::vector<std::string_view>& cells,
             const std::array<std::string_view, N>& expected) {
    if (cells.size() != N)
        return false;
    for (size_t i = 0; i < N; ++i) {
        if (cells[i] != expected[i])
            return false;
    }
    return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

// The factor-analytic table: Sample, Communality, then every variable and its VAR_SE
// column in any order, then Percentile and Flag.
bool FactorLayout(const std::vector<std::string_view>& cells, Layout& layout) {
    if (cells.size() < 6 || cells[0] != kFactorFirst[0] || cells[1] != kFactorFirst[1] ||
        cells[cells.size() - 2] != kFactorLast[0] || cells.back() != kFactorLast[1])
        return false;
    const size_t end = cells.size() - 2;
    std::vector<VariableColumns> variables;
    size_t spreads = 0;
    for (size_t i = 2; i < end; ++i) {
        if (cells[i].empty())
            return false;
        if (EndsWith(cells[i], kSpreadSuffix)) {
            ++spreads;
            continue;
        }
        for (const VariableColumns& known : variables) {
            if (known.name == cells[i])
                return false;
        }
        VariableColumns variable{std::string(cells[i]), i, 0};
        const std::string spreadName = variable.name + kSpreadSuffix;
        for (size_t j = 2; j < end; ++j) {
            if (cells[j] == spreadName)
                variable.spread = j;
        }
        if (variable.spread == 0)
            return false;
        variables.push_back(std::move(variable));
    }
    if (variables.empty() || spreads != variables.size())
        return false;
    layout = {EstimatesKind::FactorEstimates, cells.size(), std::move(variables), cells.size() - 1};
    return true;
}

bool RecogniseHeader(std::string_view line, Layout& layout) {
    const std::vector<std::string_view> cells = TrimmedCells(line);
    if (Matches(cells, kSummaryHeader)) {
        layout = {EstimatesKind::AnalogSummary, cells.size(), {{"T1", 3, 4}, {"T2", 5, 6}}, 0};
        return true;
    }
    if (Matches(cells, kAnalogEstimatesHeader)) {
        layout = {EstimatesKind::AnalogEstimates, cells.size(), {{"T1", 2, 3}, {"T2", 4, 5}}, 7};
        return true;
    }
    return FactorLayout(cells, layout);
}

std::string ExpectedHeader(EstimatesMethod method) {
    if (method == EstimatesMethod::Analog)
        return "the header of Marvane's summary table (SAMPLE, DISS, SD, T1, SD, T2, SD) or of "
               "its estimates (Sample, Dissimilarity, T1, T1_SD, T2, T2_SD, Percentile, Flag)";
    return "the header of Quillon's estimates (Sample, Communality, each variable and its _SE "
           "column, Percentile, Flag)";
}

bool FitsMethod(EstimatesKind kind, EstimatesMethod method) {
    return (kind == EstimatesKind::FactorEstimates) == (method == EstimatesMethod::Factor);
}

// A summary-table value too wide for its field is all asterisks.
bool IsOverflowField(std::string_view cell) {
    return !cell.empty() && cell.find_first_not_of('*') == std::string_view::npos;
}

int Fail(ReadProblem& problem, int line, std::string reason) {
    problem = {line, std::move(reason)};
    return -1;
}

// One value cell: a number, or missing when empty (or all asterisks in the summary table).
bool ReadValue(std::string_view cell, const Layout& layout, double& value) {
    if (cell.empty() || (layout.kind == EstimatesKind::AnalogSummary && IsOverflowField(cell))) {
        value = kMissing;
        return true;
    }
    return ParseNumberCell(cell, value);
}

int ReadRow(const TableLine& line, const Layout& layout,
            const std::vector<std::string_view>& header, EstimateRow& row, ReadProblem& problem) {
    const std::vector<std::string_view> cells = TrimmedCells(line.text);
    if (cells.size() != layout.cells)
        return Fail(problem, line.number,
                    "the line has " + std::to_string(cells.size()) +
                        (cells.size() == 1 ? " cell" : " cells") + ", the header " +
                        std::to_string(layout.cells));
    row.sample = std::string(cells[0]);
    row.line = line.number;
    if (row.sample.empty())
        return Fail(problem, line.number, "the sample has no name");
    for (const VariableColumns& variable : layout.variables) {
        for (size_t column : {variable.value, variable.spread}) {
            double value = kMissing;
            if (!ReadValue(cells[column], layout, value))
                return Fail(problem, line.number,
                            "column " + std::to_string(column + 1) + " (" +
                                std::string(header[column]) + ") holds " +
                                QuoteCell(cells[column]) + ", which is not a number");
            (column == variable.value ? row.values : row.spreads).push_back(value);
        }
    }
    if (layout.flag != 0) {
        const std::string_view flag = cells[layout.flag];
        if (!flag.empty() && flag != kNoAnalogFlag)
            return Fail(problem, line.number,
                        "the flag is " + QuoteCell(flag) + ", expected \"no analog\" or nothing");
        row.noAnalog = !flag.empty();
    }
    return 0;
}

} // namespace

int ReadEstimatesText(std::string_view text, EstimatesMethod method, EstimatesTable& table,
                      ReadProblem& problem) {
    const std::vector<TableLine> lines = SplitTableLines(text);
    if (lines.empty())
        return Fail(problem, 1, "the file is empty; expected " + ExpectedHeader(method));
    Layout layout;
    if (!RecogniseHeader(lines[0].text, layout))
        return Fail(problem, 1, "expected " + ExpectedHeader(method));
    if (!FitsMethod(layout.kind, method))
        return Fail(problem, 1,
                    std::string("this is ") + DescribeKind(layout.kind) + ", expected " +
                        ExpectedHeader(method));
    if (lines.size() == 1)
        return Fail(problem, 2, "no sample follows the header");
    const std::vector<std::string_view> header = TrimmedCells(lines[0].text);
    EstimatesTable read;
    read.kind = layout.kind;
    for (const VariableColumns& variable : layout.variables)
        read.variables.push_back(variable.name);
    read.rows.reserve(lines.size() - 1);
    for (size_t i = 1; i < lines.size(); ++i) {
        EstimateRow& row = read.rows.emplace_back();
        if (ReadRow(lines[i], layout, header, row, problem) != 0)
            return -1;
    }
    table = std::move(read);
    return 0;
}

const char* DescribeKind(EstimatesKind kind) {
    switch (kind) {
    case EstimatesKind::AnalogSummary:
        return "Marvane's summary table";
    case EstimatesKind::AnalogEstimates:
        return "Marvane's table of estimates";
    case EstimatesKind::FactorEstimates:
        break;
    }
    return "Quillon's table of estimates";
}

} // namespace corelith
