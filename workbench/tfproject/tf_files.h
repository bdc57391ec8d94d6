// The three tool steps of the transfer-function project builder, their file writers and the
// project file writer. Each step asks for its input table, reads and checks it, asks for the
// output name and writes the parameter file read by the outside transfer-function program.
#pragma once

#include "shell/settings.h"
#include "tables/tables.h"
#include "textio/line_writer.h"
#include "textio/text_cut.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace corelith {

struct Workbench;

inline constexpr int kSpeciesCodeLength = 8;
// Positions of the term-code table of the regression tool.
inline constexpr int kMaxTermCodes = 100;

// The first 8 characters of `name`, right-padded with blanks to 8 bytes.
std::string SpeciesCode(const std::string& name);
// Forms the codes of species 1..speciesCount in the list.
void FormSpeciesCodes(SpeciesList& species, int speciesCount);

// Number of terms of the regression model: v variable terms and the n linear, n square and
// n(n-1)/2 cross-product terms of the factors. Computed wide so that no factor count overflows.
long long RegressTermCount(int factorCount, int variableCount);

// CapFac step. Returns 0 (counts set), 1 open dialog cancelled, 2 save dialog cancelled,
// -1 reference file not opened, -2 read failed, -3 output not created, -4 write failed.
int BuildCapFacFile(Workbench& wb, int& sampleCount, int& speciesCount, int projectNumber);
// Returns 0, or -1 when a write failed.
int WriteCapFacFile(LineWriter& out, int speciesCount, int sampleCount, SpeciesList& species,
                    const SampleTable& samples, const ProjectSlot& project);

// Regress step. Returns 0, 1 open dialog cancelled, 2 save dialog cancelled, -1 environment
// file not opened, -2 read failed, -3 station count differs, -4 output not created, -5 write
// failed, -6 the model has more terms than the term-code table holds.
int BuildRegressFile(Workbench& wb, int checkAgainstReference, int referenceSampleCount,
                     int projectNumber);
// Pads the variable names to 8 characters in place. Returns 0, -1 when a write failed, -2
// (nothing written) when the term count does not fit the term-code table.
int WriteRegressFile(LineWriter& out, int variableCount, int stationCount,
                     EnvironmentTable& environment, const ProjectSlot& project);

// Thread step. Returns 0, 1 open dialog cancelled, 2 save dialog cancelled, -1 core file not
// opened, -2 read failed, -3 species count differs, -4 output not created, -5 write failed.
int BuildThreadFile(Workbench& wb, int checkAgainstReference, int referenceSpeciesCount,
                    int projectNumber);
// Returns 0, or -1 when a write failed.
int WriteThreadFile(LineWriter& out, int speciesCount, int sampleCount, SpeciesList& species,
                    const SampleTable& coreSamples, const ProjectSlot& project);

// The seven-line project file. Returns 0, or -1 when a write failed.
int WriteProjectFile(LineWriter& out, const ProjectSlot& project);

// ---- pieces shared by the three steps ----

// Open dialog titled `dialogTitle` over LastFilter, then opens the chosen file "rb" and
// updates LastFilter. Returns 0 with `file` open, 1 cancelled, -1 not opened.
int OpenInputTable(Workbench& wb, const char* dialogTitle, std::FILE*& file,
                   std::string& fileTitle);

enum class SaveResult { Written, Cancelled, NotCreated, WriteFailed };

// Proposes DeriveOutputName(inputTitle, extension) in a save dialog over filter list
// `filterIndex`, creates the file and runs `write` on it. A write or the final close that
// fails stores `failedText` in `storedPath`; success stores the full path.
SaveResult SaveParameterFile(Workbench& wb, const std::string& inputTitle, const char* extension,
                             int filterIndex, const char* dialogTitle, std::string& storedPath,
                             const char* failedText, const std::function<int(LineWriter&)>& write);

// The step result of a save: 0 written, 2 cancelled, `notCreated` when the file could not be
// created and `notCreated` - 1 when writing it failed.
int SaveStepResult(SaveResult result, int notCreated);

// The census block of the CapFac and Thread files: per sample its name, then per species its
// code directly followed by the value with "%5.0f" (percent data scaled by 1000).
void WriteCensusBlock(LineWriter& out, int speciesCount, int sampleCount,
                      const SpeciesList& species, const SampleTable& samples, int dataFormat);

// Slots 1..10 hold projects; slot 0 is never used.
bool IsProjectSlot(int slot);

// A stop box captioned with the program title, with a beep, for conditions outside the
// numbered catalogue. Returns -1.
int ShowStopMessage(Workbench& wb, const std::string& text);

} // namespace corelith
