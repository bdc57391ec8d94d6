// Taking the plot's input tables apart: lines, tab-separated cells and numbers, the same
// way for each of them, so that every reader reports a bad line alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

// A line of a table: its number in the file (1-based) and its text without the line end.
struct TableLine {
    int number = 0;
    std::string_view text;
};

// The lines of `text` (ending in LF, CR LF or CR; the last one may lack its end), without
// a leading UTF-8 byte-order mark and without the empty lines at the end of the file.
std::vector<TableLine> SplitTableLines(std::string_view text);

// The tab-separated cells of a line; a line without tabs is one cell.
std::vector<std::string_view> SplitCells(std::string_view line);

// `text` without blanks at either end.
std::string_view TrimBlanks(std::string_view text);

// Reads a whole cell (blanks around it allowed) as a finite decimal number in the C locale.
bool ParseNumberCell(std::string_view cell, double& value);

// A cell shown in a message: quoted, and cut when it is long.
std::string QuoteCell(std::string_view cell);

} // namespace corelith
