// The program around the computation: the command line, the console dialog of a start
// without arguments, the console lines of a run and the writing of its outputs.
#pragma once

#include "quillon/paths.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace quillon {

struct AppOptions {
    fs::path workFolder; // where "Quillon.ini" lives and relative project paths start; empty:
                         // the process's working folder
    int threads = 0;     // leave-one-out folds at a time; 0: one per processor, at most 8
};

// `args` without the program name: none (the dialog, then a pause at the end), a project file
// (no question and no pause), "--version" or "--help". Returns the exit status: 0 when the
// outputs were written, 1 when the run failed (nothing written), 2 for a usage error.
int RunQuillon(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const AppOptions& options);

// Reads, computes and writes one project. Returns 0 or 1 like RunQuillon.
int RunProject(const std::string& projectPath, std::ostream& out, std::ostream& err,
               const AppOptions& options);

} // namespace quillon
