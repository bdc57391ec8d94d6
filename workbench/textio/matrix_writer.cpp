#include "textio/matrix_writer.h"

#include <algorithm>

namespace corelith {

int WriteCensusMatrix(LineWriter& out, SpeciesLayout layout, const CensusMatrix& matrix) {
    // Rows of many samples grow past any fixed line length; the line keeps its capacity
    // from row to row.
    std::string line;
    auto putLine = [&] {
        line += '\n';
        out.Put(line);
        line.clear();
    };
    auto appendCells = [&](int species, int sample) {
        line += '\t';
        matrix.appendCell(line, species, sample);
    };
    auto startRow = [&](std::string_view lead) {
        if (matrix.beforeRow)
            matrix.beforeRow();
        line += lead;
    };
    if (layout == SpeciesLayout::InColumn) {
        line += matrix.corner;
        line += '\t';
        line += matrix.heading;
        for (int k = 1; k <= matrix.sampleCount; ++k) {
            line += '\t';
            line += matrix.sampleName(k);
        }
        putLine();
        for (int i = 1; i <= matrix.speciesCount; ++i) {
            startRow("\t");
            line += matrix.speciesName(i);
            for (int k = 1; k <= matrix.sampleCount; ++k)
                appendCells(i, k);
            putLine();
        }
    } else {
        line += matrix.corner;
        line.append(static_cast<size_t>(std::max(matrix.speciesCount, 0)), '\t');
        putLine();
        line += matrix.heading;
        for (int i = 1; i <= matrix.speciesCount; ++i) {
            line += '\t';
            line += matrix.speciesName(i);
        }
        putLine();
        for (int k = 1; k <= matrix.sampleCount; ++k) {
            startRow(matrix.sampleName(k));
            for (int i = 1; i <= matrix.speciesCount; ++i)
                appendCells(i, k);
            putLine();
        }
    }
    return out.Status();
}

} // namespace corelith
