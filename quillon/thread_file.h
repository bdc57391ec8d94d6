// The Thread file: the core census, "Samples%6d" and then each core sample with one line per
// species in the species order of the CapFac file.
#pragma once

#include "quillon/census.h"
#include "quillon/text.h"

#include <string>
#include <vector>

namespace quillon {

struct ThreadFile {
    int sampleCount = 0;
    Census census;
};

// Reads the file; every sample must list the species `codes` of the CapFac file, in order.
// Returns 0, or -1 with `error` naming the line and what was expected.
int ReadThreadFile(const TextFile& file, const std::vector<std::string>& codes, ThreadFile& thread,
                   std::string& error);

} // namespace quillon
