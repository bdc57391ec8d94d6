// Writing a run's outputs all together: each file goes to a temporary file beside it first,
// and only when every one is complete are they renamed over the old outputs, so a failed run
// leaves the files of the last good run as they were.
#pragma once

#include "quillon/paths.h"

#include <string>
#include <vector>

namespace quillon {

struct OutputFile {
    fs::path path;
    std::string text; // lines end with "\n"; written with the platform's line ends
};

// Returns 0, or -1 with `error` naming the file that could not be written (its temporary
// files are removed again).
int WriteOutputFiles(const std::vector<OutputFile>& files, std::string& error);

} // namespace quillon
