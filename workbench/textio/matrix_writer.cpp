#include "textio/matrix_writer.h"

#include <algorithm>

namespace corelith {

namespace {

// One line of the matrix at a time; rows of many samples grow past any fixed line length,
// so the line keeps its capacity from row to row.
class MatrixLines {
  public:
    MatrixLines(LineWriter& out, const CensusMatrix& matrix) : out_(out), matrix_(matrix) {}

    // Begins the line of a species or a sample with `lead`.
    void StartRow(std::string_view lead) {
        if (matrix_.beforeRow)
            matrix_.beforeRow();
        line += lead;
    }
    void AppendName(std::string_view name) {
        line += '\t';
        line += name;
    }
    void AppendCell(int species, int sample) {
        line += '\t';
        matrix_.appendCell(line, species, sample);
    }
    void Put() {
        line += '\n';
        out_.Put(line);
        line.clear();
    }

    std::string line;

  private:
    LineWriter& out_;
    const CensusMatrix& matrix_;
};

void WriteSpeciesInColumn(MatrixLines& lines, const CensusMatrix& matrix) {
    lines.line += matrix.corner;
    lines.AppendName(matrix.heading);
    for (int k = 1; k <= matrix.sampleCount; ++k)
        lines.AppendName(matrix.sampleName(k));
    lines.Put();
    for (int i = 1; i <= matrix.speciesCount; ++i) {
        lines.StartRow("\t");
        lines.line += matrix.speciesName(i);
        for (int k = 1; k <= matrix.sampleCount; ++k)
            lines.AppendCell(i, k);
        lines.Put();
    }
}

void WriteSpeciesInLine(MatrixLines& lines, const CensusMatrix& matrix) {
    lines.line += matrix.corner;
    lines.line.append(static_cast<size_t>(std::max(matrix.speciesCount, 0)), '\t');
    lines.Put();
    lines.line += matrix.heading;
    for (int i = 1; i <= matrix.speciesCount; ++i)
        lines.AppendName(matrix.speciesName(i));
    lines.Put();
    for (int k = 1; k <= matrix.sampleCount; ++k) {
        lines.StartRow(matrix.sampleName(k));
        for (int i = 1; i <= matrix.speciesCount; ++i)
            lines.AppendCell(i, k);
        lines.Put();
    }
}

} // namespace

int WriteCensusMatrix(LineWriter& out, SpeciesLayout layout, const CensusMatrix& matrix) {
    MatrixLines lines(out, matrix);
    if (layout == SpeciesLayout::InColumn)
        WriteSpeciesInColumn(lines, matrix);
    else
        WriteSpeciesInLine(lines, matrix);
    return out.Status();
}

} // namespace corelith
