// The whole run of the analog engine, driven through the given console streams.
#pragma once

#include "engine/path.h"
#include "engine/tables.h"

#include <iosfwd>
#include <string>

namespace marvane {

// The lock file that a run keeps in its working directory while it writes there.
inline constexpr const char* kLockFileName = "Marvane.lock";

struct EngineOptions {
    // Folder that holds "Marvane.ini", "info", "stock", "Faun.tot" and "SST.tot" and
    // against which relative paths are resolved; empty for the current directory.
    std::string workDir;
    PathStyle style = kNativePathStyle;
    // The straightforward loops instead of the fast path. Both write the same bytes; the
    // straightforward one is kept to check the fast one against.
    bool referencePath = false;
    // Threads for the fast path's analog search, no-analog check and cross-validation; 0
    // takes one per processor (at most 8). The straightforward path uses one.
    int threads = 0;
    // The fixed tables' limits, or kLiftedLimits.
    Limits limits = kFixedLimits;
};

// The threads that a run or a cross-validation with these options uses.
int ThreadsFor(const EngineOptions& options);

// What RunProject reports.
inline constexpr int kRunComplete = 0;
inline constexpr int kRunHalted = 1; // a data check stopped it; the listing file says why
inline constexpr int kRunFailed = -1;

// Dialog, run and final pause. Returns the process exit status: 0 after a complete run,
// 1 after a halt (its message in the listing file, its reason on the console), an input
// error or a refused project (the diagnostic on the console).
int RunMarvane(std::istream& consoleIn, std::ostream& consoleOut, const EngineOptions& options);

// The run after the dialog, for the project at `projectPath`: kRunComplete; kRunHalted
// with the reason in `error`; or kRunFailed with a diagnostic in `error`. Every output
// file takes the place of the earlier one only at the end of a complete or halted run:
// after a failure the earlier files are all still there.
int RunProject(const std::string& projectPath, const EngineOptions& options, std::ostream& console,
               std::string& error);

// The console line of a run that ended with status `status` of RunProject (empty for a
// complete run).
std::string EndingLine(int status, const std::string& error);

} // namespace marvane
