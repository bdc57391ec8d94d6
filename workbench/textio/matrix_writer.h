// The tab-separated census matrix: the one writer of every matrix file of the workbench
// (frequency matrices, databases, logarithmic rankings, counted matrices), in either layout.
//
//   species in column:  corner \t heading \t sample 1 ... \t sample n
//                       \t species 1 \t cell ... \t cell          one line per species
//   species in line:    corner \t ... \t                          one tab per species
//                       heading \t species 1 ... \t species m
//                       sample 1 \t cell ... \t cell              one line per sample
#pragma once

#include "tables/tables.h"
#include "textio/line_writer.h"

#include <functional>
#include <string>
#include <string_view>

namespace corelith {

struct CensusMatrix {
    std::string_view corner;  // first cell of the file
    std::string_view heading; // heads the sample names (in column) or the species (in line)
    int speciesCount = 0;
    int sampleCount = 0;
    std::function<std::string_view(int species)> speciesName; // species 1..speciesCount
    std::function<std::string_view(int sample)> sampleName;   // samples 1..sampleCount
    // Appends the text of the cell of `species` in `sample` (the tab before it is written).
    std::function<void(std::string& line, int species, int sample)> appendCell;
    // Called before each line of a species or sample (optional): the wait cursor.
    std::function<void()> beforeRow;
};

// Writes `matrix` in `layout`. Returns out.Status(): 0, or -1 once a line failed.
int WriteCensusMatrix(LineWriter& out, SpeciesLayout layout, const CensusMatrix& matrix);

} // namespace corelith
