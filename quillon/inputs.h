// Everything a run reads: the project file, the files of the tools it uses, and the checks
// that bind them together (counts, names, species lists, term codes).
#pragma once

#include "quillon/calibration.h"
#include "quillon/capfac_file.h"
#include "quillon/paths.h"
#include "quillon/project_file.h"
#include "quillon/regress_file.h"
#include "quillon/thread_file.h"

#include <string>
#include <vector>

namespace quillon {

struct Inputs {
    fs::path projectPath;
    std::string projectShown; // the project path as the user gave it
    ProjectFile project;

    std::string capFacShown;
    CapFacFile capFac;

    bool regressUsed = false;
    std::string regressShown;
    RegressFile regress;
    std::vector<CalibratedVariable> variables; // in term-code line order

    bool threadUsed = false;
    std::string threadShown;
    ThreadFile thread;

    std::vector<std::string> notices;  // what the console and the report should mention
    std::vector<std::string> warnings; // disagreements that do not stop the run
};

// Reads the project at `projectPath` (shown as `shown`) and every file of a tool it uses, and
// checks them against one another. Returns 0, or -1 with `error` saying which file, where and
// what was expected.
int ReadInputs(const fs::path& projectPath, const std::string& shown, Inputs& inputs,
               std::string& error);

} // namespace quillon
