// The line reader and the four table readers. Every reader shows the wait cursor while it
// reads and reports its failures through the message catalogue before returning them.
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

// Returns 0, -1 too many samples, -2 too many species.
int ReadReferenceTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, int& speciesCount,
                       int& sampleCount, SpeciesList& species, SampleTable& samples);

// Returns 0, -1 too many samples, -2 species-name mismatch, -3 too many species.
int ReadCoreTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, CoreReadMode mode,
                  int& speciesCount, int& sampleCount, SpeciesList& species, SampleTable& samples);

// Returns 0, -1 too many variables, -2 station-name mismatch, -3 too many stations.
int ReadEnvironmentTable(Workbench& wb, std::FILE* file, int& variableCount, int& stationCount,
                         int checkNames, const SampleTable& referenceSamples,
                         EnvironmentTable& environment);

// Returns 0 or -1 (too many stations, no message).
int ReadLocationTable(Workbench& wb, std::FILE* file, int& stationCount, LocationTable& locations);

// Replaces every occurrence of `pattern` in `text`; returns the number of replacements.
int ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement);

} // namespace corelith
