// The census block shared by the CapFac and the Thread file: per sample its name on a line of
// its own, then one line per species made of the species code (8 characters) directly
// followed by the value written with "%5.0f".
#pragma once

#include "quillon/text.h"

#include <Eigen/Dense>

#include <string>
#include <vector>

namespace quillon {

inline constexpr int kSpeciesCodeLength = 8;

struct Census {
    std::vector<std::string> codes;   // 8 characters each, in species order
    std::vector<std::string> samples; // sample names in file order
    std::vector<int> sampleLines;     // the line of each sample's name
    Eigen::MatrixXd values;           // samples x species, as written (whole numbers >= 0)
};

// Reads `sampleCount` samples of `codes.size()` species from line `firstLine` on. The codes
// of every sample must be `codes`, in order; `codesFrom` names where they come from, for the
// message when they differ. After the last sample only empty lines may follow. Returns 0, or
// -1 with `error` naming the line and what was expected.
int ReadCensusBlock(const TextFile& file, int firstLine, int sampleCount,
                    const std::vector<std::string>& codes, const std::string& codesFrom,
                    Census& census, std::string& error);

} // namespace quillon
