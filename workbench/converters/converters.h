// The Converter menu: raw data and percentage databases to frequency matrices, and
// frequency matrices to databases.
#pragma once

#include "tables/tables.h"
#include "textio/line_writer.h"

#include <string>
#include <vector>

namespace corelith {

struct Workbench;

int ConvertRawToFrequencyMatrix(Workbench& wb);      // command 51
int ConvertPercentToFrequencyMatrix(Workbench& wb);  // command 54
int ConvertFrequencyMatrixToDatabase(Workbench& wb); // command 53

// Results of the three commands (the menu ignores them).
inline constexpr int kConvertDone = 0;      // written, or cancelled in a dialog
inline constexpr int kConvertNoInput = -1;  // the input could not be opened or read
inline constexpr int kConvertNoOutput = -2; // the output could not be created

// Writers over the reference sample table; also used by the rank database. Each returns 0,
// or -1 once a line could not be written.
int WriteFrequencyMatrixFromRaw(Workbench& wb, LineWriter& out, SpeciesLayout layout,
                                int speciesCount, int sampleCount);
int WriteFrequencyMatrixFromPercent(Workbench& wb, LineWriter& out, SpeciesLayout layout,
                                    int speciesCount, int sampleCount);
int WriteDatabase(Workbench& wb, LineWriter& out, SpeciesLayout layout, int speciesCount,
                  int sampleCount);

// The ratio that stands for "no percentage": a sample without a positive total. As a
// percentage it reads -99900.
inline constexpr float kUndefinedRatio = -999.0f;
inline constexpr float kUndefinedPercentage = -99900.0f;

// value / total in single precision, or kUndefinedRatio when the total is not positive or
// the quotient would not give a finite percentage.
float SampleRatio(float value, float total);

// The totals of samples 1..sampleCount held by species `totalSpecies` (entry 0 unused).
std::vector<float> TotalsFromSpecies(const SampleTable& samples, int totalSpecies, int sampleCount);

// 100 x the largest of -100 and the ratios of `species` over samples 1..totals.size()-1:
// samples without a positive total never raise it, and with none at all it is -10000.
float MaximumPercentage(const SampleTable& samples, int species, const std::vector<float>& totals);

// The open dialog "Select data file" on the current file, then the chosen table read with
// ReadReferenceTable into the species list and the reference table. Returns 1 when read,
// 0 when the dialog was cancelled, kSelectNotOpened or kSelectNotRead (the reader has
// shown its message).
inline constexpr int kSelectNotOpened = -1;
inline constexpr int kSelectNotRead = -2;
int SelectDataTable(Workbench& wb, SpeciesLayout layout, int& speciesCount, int& sampleCount);

// The save dialog titled `caption`, starting with `proposal`; the chosen file becomes the
// current file and is opened by `out`. Returns 1 when opened, 0 when cancelled, -1 when
// the file could not be created.
int SelectOutputFile(Workbench& wb, std::string proposal, const std::string& caption,
                     LineWriter& out);

// The layout of the tables the Converter and Ranking menus read and write: the species
// format of slot 1.
SpeciesLayout SlotOneLayout(const Workbench& wb);

} // namespace corelith
