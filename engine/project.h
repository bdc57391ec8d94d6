// The seventeen-line project file: file paths, header flags, run parameters and the
// format descriptors of the three input files.
#pragma once

#include "engine/format.h"
#include "engine/tables.h"

#include <array>
#include <iosfwd>
#include <string>

namespace marvane {

struct Project {
    std::string subjectPath;     // line 1
    std::string analogPath;      // line 2
    std::string environmentPath; // line 3
    std::string listingPath;     // line 4
    std::string summaryPath;     // line 5
    int subjectHeaderFlag = 0;
    int analogHeaderFlag = 0;
    int speciesCount = 0;
    int subjectCount = 0;
    int analogCount = 0;
    int excludeBestAnalog = 0;
    int maxAnalogs = 0;
    float gridStep = 0.0f;
    float searchRadius = 0.0f;
    std::array<std::string, 3> speciesCodes;
    FormatDescriptor subjectFormat;
    FormatDescriptor analogFormat;
    FormatDescriptor environmentFormat;
};

// Reads and parses the project file (`fileName` names it in diagnostics). Lines 1 to
// 5 are taken whole without their trailing blanks. Returns 0, or -1 with a diagnostic.
int ReadProject(std::istream& input, const std::string& fileName, Project& project,
                std::string& error);

// Refuses run parameters beyond what the engine can hold or compute with, the number of
// reference samples bounded by `limits`. Returns 0, or -1 with a message naming the limit.
int CheckProjectLimits(const Project& project, const std::string& fileName, std::string& error,
                       const Limits& limits = kFixedLimits);

} // namespace marvane
