#include "plotting/depth_table.h"

#include "plotting/table_text.h"

namespace corelith {

namespace {

constexpr char kDefaultDepthLabel[] = "Depth";

int Fail(ReadProblem& problem, int line, std::string reason) {
    problem = {line, std::move(reason)};
    return -1;
}

} // namespace

std::string AxisLabelOf(std::string_view headerCell) {
    headerCell = TrimBlanks(headerCell);
    if (headerCell.empty())
        return kDefaultDepthLabel;
    const size_t underscore = headerCell.rfind('_');
    if (underscore == std::string_view::npos || underscore == 0 ||
        underscore + 1 == headerCell.size())
        return std::string(headerCell);
    return std::string(headerCell.substr(0, underscore)) + " (" +
           std::string(headerCell.substr(underscore + 1)) + ")";
}

int ReadDepthText(std::string_view text, DepthTable& table, ReadProblem& problem) {
    const std::vector<TableLine> lines = SplitTableLines(text);
    DepthTable read;
    read.axisLabel = kDefaultDepthLabel;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string_view> cells = SplitCells(lines[i].text);
        if (cells.size() < 2)
            return Fail(problem, lines[i].number,
                        "expected a sample name and its depth, separated by a tab");
        const std::string_view name = TrimBlanks(cells[0]);
        double depth = 0.0;
        if (!ParseNumberCell(cells[1], depth)) {
            if (i == 0) {
                read.axisLabel = AxisLabelOf(cells[1]);
                continue;
            }
            return Fail(problem, lines[i].number,
                        "the depth " + QuoteCell(TrimBlanks(cells[1])) + " is not a number");
        }
        if (name.empty())
            return Fail(problem, lines[i].number, "the sample has no name");
        read.depths.push_back({std::string(name), depth});
    }
    if (read.depths.empty())
        return Fail(problem, lines.empty() ? 1 : lines.back().number + 1,
                    "no sample with its depth");
    table = std::move(read);
    return 0;
}

} // namespace corelith
