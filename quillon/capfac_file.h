// The CapFac file: the factor analysis's settings under fixed German labels, the species
// codes and the reference census.
#pragma once

#include "quillon/census.h"
#include "quillon/text.h"

#include <string>

namespace quillon {

struct CapFacFile {
    std::string projectName;
    int speciesCount = 0;
    int sampleCount = 0;
    int transformation = 0; // "Transformationskontrolle"
    int factorCount = 0;    // "Faktorenanzahl"
    int output = 0;         // "Ausgabekontrolle"
    int exit = 0;           // "Exitkontrolle"
    int plot = 0;           // "Plotkontrolle"
    Census census;
};

// Reads and checks the whole file: the header labels, the counts against the lines that
// follow, the control values (0 is the only one with a meaning) and the number of factors
// against the counts. Returns 0, or -1 with `error` naming the line and what was expected.
int ReadCapFacFile(const TextFile& file, CapFacFile& capFac, std::string& error);

} // namespace quillon
