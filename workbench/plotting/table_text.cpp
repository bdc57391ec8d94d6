#include "plotting/table_text.h"

#include "textio/text_cut.h"

#include <charconv>
#include <cmath>

namespace corelith {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kQuotedCellLimit = 40;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

} // namespace

std::vector<TableLine> SplitTableLines(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<TableLine> lines;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        lines.push_back({++number, text.substr(start, end - start)});
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    while (!lines.empty() && TrimBlanks(lines.back().text).empty())
        lines.pop_back();
    return lines;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(start));
            return cells;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ParseNumberCell(std::string_view cell, double& value) {
    cell = TrimBlanks(cell);
    // from_chars takes no plus sign; a number written with one is still a number.
    if (cell.size() > 1 && cell.front() == '+' && cell[1] != '-')
        cell.remove_prefix(1);
    if (cell.empty())
        return false;
    double read = 0.0;
    const char* end = cell.data() + cell.size();
    const auto [stop, error] = std::from_chars(cell.data(), end, read, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

std::string QuoteCell(std::string_view cell) {
    // Appended piece by piece (a literal prefixed to a temporary: a false -Wrestrict of GCC 12).
    std::string quoted = "\"";
    if (cell.size() <= kQuotedCellLimit) {
        quoted += cell;
    } else {
        quoted += CutText(cell, kQuotedCellLimit);
        quoted += "...";
    }
    quoted += '"';
    return quoted;
}

} // namespace corelith
