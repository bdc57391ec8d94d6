// The Converter menu: raw data and percentage databases to frequency matrices, and
// frequency matrices to databases.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace corelith {

struct Workbench;
struct SampleTable;

int ConvertRawToFrequencyMatrix(Workbench& wb);      // command 51
int ConvertPercentToFrequencyMatrix(Workbench& wb);  // command 54
int ConvertFrequencyMatrixToDatabase(Workbench& wb); // command 53

// Results of the three commands (the menu ignores them).
inline constexpr int kConvertDone = 0;      // written, or cancelled in a dialog
inline constexpr int kConvertNoInput = -1;  // the input could not be opened or read
inline constexpr int kConvertNoOutput = -2; // the output could not be created

// Writers over the reference sample table; also used by the rank database.
int WriteFrequencyMatrixFromRaw(Workbench& wb, std::FILE* file, int layout, int speciesCount,
                                int sampleCount);
int WriteFrequencyMatrixFromPercent(Workbench& wb, std::FILE* file, int layout, int speciesCount,
                                    int sampleCount);
int WriteDatabase(Workbench& wb, std::FILE* file, int layout, int speciesCount, int sampleCount);

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

// Writes the lines of one output file and remembers whether any of them failed.
struct LineWriter {
    std::FILE* file = nullptr;
    bool failed = false;

    void Write(std::string_view line);
    int Status() const { return failed ? -1 : 0; } // 0, or -1 after a failed write
};

// The open dialog "Select data file" on the current file, then the chosen table read with
// ReadReferenceTable into the species list and the reference table. Returns 1 when read,
// 0 when the dialog was cancelled, kSelectNotOpened or kSelectNotRead (the reader has
// shown its message).
inline constexpr int kSelectNotOpened = -1;
inline constexpr int kSelectNotRead = -2;
int SelectDataTable(Workbench& wb, int layout, int& speciesCount, int& sampleCount);

// The save dialog titled `caption`, starting with `proposal`; the chosen file becomes the
// current file and is created into `out`. Returns 1 when created, 0 when cancelled, -1 when
// the file could not be created.
int SelectOutputFile(Workbench& wb, std::string proposal, const std::string& caption,
                     std::FILE*& out);

// Species format of slot 1 as a table layout: 0 species in column, 1 species in line.
// A stored value of 1 or more means species in line, as the option dialog shows it.
int SpeciesLayout(const Workbench& wb);

} // namespace corelith
