// Cross-validation of the analog method over a project's reference samples: each one is
// estimated by a run whose reference set, virtual samples included, is built without it
// (without its fold), and the estimates are compared with the observed values. The
// project's subject samples play no part.
#pragma once

#include "engine/engine.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace marvane {

struct CrossValidationOptions {
    int folds = 10;
    bool leaveOneOut = false; // every reference sample its own fold
};

// The seed of the shuffle that assigns the folds, the same in every run.
inline constexpr std::uint64_t kFoldSeed = 20240611;

// The fold (0 .. folds-1) of each of `count` samples: the numbers 0 .. count-1 are
// shuffled by Fisher and Yates' method (position i, from the last down to the second,
// swapped with position next() mod (i + 1)) with the SplitMix64 generator seeded with
// kFoldSeed, and the sample at position p of the shuffle goes to fold p mod folds. So the
// folds differ in size by one at most, and the assignment is the same on every platform.
std::vector<int> AssignFolds(int count, int folds);

// Cross-validates the project at `projectPath` and writes NAME_cv.tsv and
// NAME_cv_summary.tsv beside it (NAME: the project file's name without extension); the
// summary also goes to `console`. Nothing else is written. The estimate of a sample is
// the summary table's: the mean of its analogs' values. Returns 0, or -1 with a
// diagnostic in `error`.
int RunCrossValidation(const std::string& projectPath, const EngineOptions& options,
                       const CrossValidationOptions& cv, std::ostream& console, std::string& error);

} // namespace marvane
