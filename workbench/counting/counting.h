// "Counting...": counting specimens under the microscope over a frequency matrix.
//
// Nothing is written over the output or the diversity file before Stop: the counts of the
// running session are kept in a journal beside the output (see journal.h), which the next
// start of the command for the same output offers to recover.
#pragma once

#include "counting/counting_dialogs.h"
#include "counting/session.h"
#include "tables/tables.h"
#include "textio/line_writer.h"

#include <string>

namespace corelith {

struct Workbench;

// Command 64. Returns 0 when done or the first dialog was cancelled; -1 when the input
// could not be opened or read; -2 when the output, its folder or the journal cannot be
// written, or the output is the input and would lose what the tables do not hold; -3 when
// the diversity file cannot be written (or is the input and would lose it); -4 when "Save as"
// or the recovery question was cancelled. Every failure but a cancel shows a message.
int CountSpecimens(Workbench& wb);

// Writes the whole matrix of the first `speciesCount` species and `sampleCount` samples.
// Returns 0, or -1 when the file could not be written.
int WriteMatrix(Workbench& wb, LineWriter& out, SpeciesLayout layout, int speciesCount,
                int sampleCount, const SpeciesList& species, const SampleTable& samples);

// The line that follows the matrix in the diversity file: an empty cell, "Diversity index"
// and one index per sample. Returns 0 or -1.
int WriteDiversityRow(Workbench& wb, LineWriter& out, int speciesCount, int sampleCount,
                      const SampleTable& samples);

// Shannon index (natural logarithms) of sample `sample` over species 1..speciesCount;
// -1 when the sample holds no positive total.
double DiversityIndex(int sample, int speciesCount, const SampleTable& samples);

// "%G" of the value with the decimal separator the flag asks for (1 ",", 0 ".").
std::string NumberToLabelText(double value, int decimalCommaFlag);

// Writes the next interim file "Temp" + n + ".txt" into the working folder, species in
// column, and returns the number n used. Names that exist already and the run's own files
// (state.reservedPaths) are passed over; a file that cannot be written is reported.
int SaveInterimFile(Workbench& wb, const CountingState& state);

} // namespace corelith
