// The whole run of the analog engine, driven through the given console streams.
#pragma once

#include "engine/path.h"

#include <iosfwd>
#include <string>

namespace marvane {

struct EngineOptions {
    // Folder that holds "Marvane.ini", "info", "stock", "Faun.tot" and "SST.tot" and
    // against which relative paths are resolved; empty for the current directory.
    std::string workDir;
    PathStyle style = kNativePathStyle;
    // The straightforward loops instead of the fast path. Both write the same bytes; the
    // straightforward one is kept to check the fast one against.
    bool referencePath = false;
    // Threads for the fast path's analog search; 0 takes one per processor (at most 8).
    int threads = 0;
};

// Dialog, run and final pause. Returns the process exit status: 0 after a complete run
// or a halt (whose message is in the listing file), 1 after an input error or a refused
// project (whose diagnostic is on the console).
int RunMarvane(std::istream& consoleIn, std::ostream& consoleOut, const EngineOptions& options);

// The run after the dialog, for the project at `projectPath`. Returns 0 for a complete
// run, 1 for a halt, or -1 with a diagnostic in `error`.
int RunProject(const std::string& projectPath, const EngineOptions& options, std::ostream& console,
               std::string& error);

} // namespace marvane
