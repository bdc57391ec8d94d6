// The Regress file: sixteen keyword lines, the environmental values station by station and
// one line of term codes per environmental variable.
#pragma once

#include "quillon/text.h"

#include <Eigen/Dense>

#include <string>
#include <vector>

namespace quillon {

struct TermCodeLine {
    int line = 0;       // its line in the file
    std::string digits; // one digit per term position
};

struct RegressFile {
    int variableCount = 0; // "DEP.VAR." (and "ANZ.SELEC", which must agree)
    int power = 0;         // "IPOW": 0 linear, 1 quadratic
    int powerLine = 0;
    std::vector<std::string> variableNames; // trailing blanks removed
    std::vector<std::string> stationNames;  // as written after "Core : " (at most 12 characters)
    std::vector<int> stationLines;          // the line of each station's "Core : "
    // stations x variables; a missing value (the workbench's -999.99 for an empty cell) is NaN.
    Eigen::MatrixXd values;
    std::vector<TermCodeLine> termCodes; // one per variable, in file order
};

// The value an empty cell of an environment table stands for.
inline constexpr double kMissingValue = -999.99;

// Reads and checks the file's form: the keyword lines and their values, the stations, the
// variable lines (the same names at every station) and the term-code lines (digits only,
// one line per variable; their meaning is checked against the factor analysis later).
// Returns 0, or -1 with `error` naming the line and what was expected.
int ReadRegressFile(const TextFile& file, RegressFile& regress, std::string& error);

} // namespace quillon
