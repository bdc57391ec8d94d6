// The seven-line project file that names the three parameter files and carries each tool's
// nine parameters and used flag.
#pragma once

#include "quillon/text.h"

#include <array>
#include <string>

namespace quillon {

struct ToolLine {
    std::string path;                // as written: the file of the tool's parameters
    int pathLine = 0;                // its line in the project file
    std::array<int, 9> parameters{}; // parameters 1 to 9 in [0] to [8]
    int parameterLine = 0;
    bool used = false;
};

struct ProjectFile {
    std::string name; // after "Project: "
    ToolLine capFac;
    ToolLine regress;
    ToolLine thread;
};

// The texts the project carries in a path line when the workbench could not write the file.
inline constexpr const char* kNoCapFacFile = "No CapFac file";
inline constexpr const char* kNoRegressFile = "No Regress file";
inline constexpr const char* kNoThreadFile = "No Thread file";

// Reads the project from `file`. Returns 0, or -1 with `error` naming the line and what was
// expected there.
int ReadProjectFile(const TextFile& file, ProjectFile& project, std::string& error);

} // namespace quillon
