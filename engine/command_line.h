// marvane's command line: without arguments the console dialog of old; with a project
// file a run without dialog or pause, for scripts; and the cross-validation.
#pragma once

#include "engine/engine.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace marvane {

// Runs what the arguments (without the program name) ask for and returns the exit
// status: 0 for success, 1 for a failed or halted run, 2 for arguments that make no
// sense (the usage then goes to `err`). `base` gives the working directory and the
// computing path; the arguments add the rest.
//
//   (none)                                          console dialog, run, pause
//   --version                                       the version
//   --help                                          the usage
//   [--no-limits] PROJECT.pro                       a run without dialog and pause
//   --cross-validate [--folds K | --leave-one-out] [--no-limits] PROJECT.pro
int RunCommandLine(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                   std::ostream& err, const EngineOptions& base = EngineOptions());

} // namespace marvane
