// The engine's limits and the tables a run fills.
#pragma once

#include <array>
#include <limits>
#include <string>
#include <vector>

namespace marvane {

inline constexpr int kMaxSpecies = 45;
inline constexpr int kMaxReferenceRows = 5000; // real and virtual reference samples together
inline constexpr int kMaxAnalogs = 50;
inline constexpr long long kMaxGridNodes = 50000;
inline constexpr int kNameLength = 12;

// The bounds on reference rows (real and virtual together) and grid nodes that a run
// keeps. By default they are the fixed tables' sizes; lifted, only what the counters
// can count and memory can hold bounds them.
struct Limits {
    long long referenceRows = kMaxReferenceRows;
    long long gridNodes = kMaxGridNodes;
};
inline constexpr Limits kFixedLimits{};
inline constexpr Limits kLiftedLimits{std::numeric_limits<int>::max(),
                                      std::numeric_limits<int>::max()};

using Proportions = std::array<float, kMaxSpecies>;

// One row of the reference table: a real reference sample (rows 0 .. analogCount-1)
// or a virtual one built on the grid (the rows after them).
struct ReferenceRow {
    std::string name = std::string(kNameLength, ' ');
    Proportions proportions{};
    float env1 = 0.0f;
    float env2 = 0.0f;
    float latitudeDegrees = 0.0f;
    float latitudeMinutes = 0.0f;
    float longitudeDegrees = 0.0f;
    float longitudeMinutes = 0.0f;
    int depth = 0;
};

struct ReferenceTable {
    std::vector<ReferenceRow> rows;
};

// The down-core sample being estimated.
struct SubjectSample {
    std::string name = std::string(kNameLength, ' ');
    Proportions proportions{};
    float headerReal1 = 0.0f; // position fields, only echoed
    float headerReal2 = 0.0f;
    int headerInteger = 0;
};

} // namespace marvane
