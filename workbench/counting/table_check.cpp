#include "counting/table_check.h"

#include "counting/cells.h"
#include "tables/readers.h"
#include "textio/text_cut.h"

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace corelith {

namespace {

using Kind = TableLoss::Kind;

// The lines of the table as the readers take them: whole lines of any length, and the text
// before the end of the input as the last one.
class TableLines {
  public:
    explicit TableLines(std::FILE* file) : file_(file) {}
    bool Next() {
        if (atEnd_)
            return false;
        atEnd_ = ReadLine(file_, text, INT_MAX) < 0;
        ++number;
        SplitAtTabs(text, cells);
        return true;
    }
    // Data lines shorter than two characters hold nothing; the readers skip them.
    bool IsBlank() const { return text.size() < 2; }

    std::string text;
    std::vector<std::string_view> cells;
    int number = 0;

  private:
    std::FILE* file_;
    bool atEnd_ = false;
};

TableLoss At(Kind kind, int line, size_t cell) {
    return {kind, line, static_cast<int>(cell) + 1};
}

bool IsLongName(std::string_view name) {
    return CutText(name, kMaxNameLength).size() < name.size();
}

bool IsEmptyCell(std::string_view cell) {
    return cell.find_first_not_of(" ") == std::string_view::npos;
}

// A value cell as the core reader reads it, its decimal commas taken as points: what of it
// would the counted table not give back?
Kind ValueLoss(std::string_view cell) {
    if (IsEmptyCell(cell))
        return Kind::None;
    std::string text(cell);
    std::replace(text.begin(), text.end(), ',', '.');
    float value = 0;
    if (!ReadWholeNumber(text, value))
        return Kind::Unreadable;
    return value < 0 ? Kind::Negative : Kind::None;
}

// Cells `first`..`first + count - 1` of the line hold names.
TableLoss CheckNames(const TableLines& lines, size_t first, size_t count) {
    const size_t end = std::min(lines.cells.size(), first + count);
    for (size_t c = first; c < end; ++c) {
        if (IsLongName(lines.cells[c]))
            return At(Kind::LongName, lines.number, c);
    }
    return {};
}

// Cells `first`..`first + count - 1` hold values; cells after them belong to no column.
TableLoss CheckValues(const TableLines& lines, size_t first, size_t count) {
    for (size_t c = first; c < lines.cells.size(); ++c) {
        const Kind kind = c < first + count
                              ? ValueLoss(lines.cells[c])
                              : (IsEmptyCell(lines.cells[c]) ? Kind::None : Kind::BeyondTable);
        if (kind != Kind::None)
            return At(kind, lines.number, c);
    }
    return {};
}

TableLoss CheckSpeciesInColumn(TableLines& lines) {
    // The header: corner, heading and one name per sample (a tab at its end names nothing).
    lines.Next();
    std::vector<std::string_view>& header = lines.cells;
    while (header.size() > 1 && header.back().empty())
        header.pop_back();
    const size_t samples = header.size() > 2 ? header.size() - 2 : 0;
    TableLoss loss = CheckNames(lines, 0, header.size());
    while (loss.kind == Kind::None && lines.Next()) {
        if (lines.IsBlank())
            continue;
        const size_t star = lines.text.find('*');
        if (star != std::string::npos)
            return {Kind::LeftOutRow, lines.number, 0};
        loss = CheckNames(lines, 1, 1);
        if (loss.kind == Kind::None)
            loss = CheckValues(lines, 2, samples);
    }
    return loss;
}

TableLoss CheckSpeciesInLine(TableLines& lines) {
    // The flag line: one cell per column; a flag that begins with "*" leaves it out.
    lines.Next();
    const size_t columns = lines.cells.size() - 1;
    for (size_t c = 1; c <= columns; ++c) {
        if (!lines.cells[c].empty() && lines.cells[c][0] == '*')
            return At(Kind::LeftOutColumn, lines.number, c);
    }
    TableLoss loss = CheckNames(lines, 0, 1);
    // The names line, then one line per sample: a name, then one cell per column.
    if (loss.kind == Kind::None && lines.Next()) {
        loss = CheckNames(lines, 0, columns + 1);
        if (loss.kind == Kind::None)
            loss = CheckValues(lines, columns + 1, 0);
    }
    while (loss.kind == Kind::None && lines.Next()) {
        if (lines.IsBlank())
            continue;
        loss = CheckNames(lines, 0, 1);
        if (loss.kind == Kind::None)
            loss = CheckValues(lines, 1, columns);
    }
    return loss;
}

} // namespace

TableLoss FindTableLoss(std::FILE* file, SpeciesLayout layout) {
    TableLines lines(file);
    return layout == SpeciesLayout::InLine ? CheckSpeciesInLine(lines)
                                           : CheckSpeciesInColumn(lines);
}

} // namespace corelith
