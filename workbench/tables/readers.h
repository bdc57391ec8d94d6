// The line reader and the four table readers. Every reader shows the wait cursor while it
// reads and reports its failures through the message catalogue before returning them.
//
// Beyond the overflows and name checks, every reader refuses what it would otherwise read
// wrongly without a word, each with a message naming the file (`path`, as the user chose
// it), the row (the line of the file) and the column: a value cell that is not wholly a
// decimal number ("12abc", "0x10", "nan", "inf", text), a number beyond the range of the
// tables ("1e400"), a decimal comma outside down-core tables ("96,29" would otherwise read
// as 96), and a file that holds no table at all: empty, or with NUL bytes (a binary file,
// or UTF-16 text without its byte-order mark). An empty cell keeps its meaning (0, or
// -999.99 in environment and location tables); blanks around a number are allowed.
#pragma once

#include "tables/tables.h"

#include <cstdio>
#include <string>

namespace corelith {

struct Workbench;

enum CoreReadMode { Plain = 0, CompareSpecies = 1, SkipExtraColumn = 2 };

// Reads one line without its line end into `buffer`. Returns the number of characters
// stored plus 1 when the line ended with CR or LF, the negative of that at end of input.
int ReadLine(std::FILE* file, std::string& buffer, int maxLength);

// What every reader returns for a file refused as described above.
inline constexpr int kTableUnreadable = -5;

// Returns 0, -1 too many samples, -2 too many species, kTableUnreadable.
int ReadReferenceTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, int& speciesCount,
                       int& sampleCount, SpeciesList& species, SampleTable& samples,
                       const std::string& path = {});

// Returns 0, -1 too many samples, -2 species-name mismatch, -3 too many species,
// kTableUnreadable.
int ReadCoreTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, CoreReadMode mode,
                  int& speciesCount, int& sampleCount, SpeciesList& species, SampleTable& samples,
                  const std::string& path = {});

// Returns 0, -1 too many variables, -2 station-name mismatch, -3 too many stations,
// kTableUnreadable.
int ReadEnvironmentTable(Workbench& wb, std::FILE* file, int& variableCount, int& stationCount,
                         int checkNames, const SampleTable& referenceSamples,
                         EnvironmentTable& environment, const std::string& path = {});

// Returns 0, -1 too many stations, kTableUnreadable. Positions are refused too: an empty
// latitude or longitude, a latitude beyond 90 degrees either way, a longitude beyond 180
// degrees west or 360 degrees east (east longitudes above 180 are taken as west ones).
int ReadLocationTable(Workbench& wb, std::FILE* file, int& stationCount, LocationTable& locations,
                      const std::string& path = {});

// Replaces every occurrence of `pattern` in `text`; returns the number of replacements.
int ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement);

} // namespace corelith
