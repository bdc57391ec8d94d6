// What a census table holds that the shared tables do not take in: rows and columns the
// reader leaves out, cells it cannot read, names it cuts. Reading such a table and writing
// it back over itself would lose all of that without a word, so the counting tool looks for
// it before it counts a table into its own file.
#pragma once

#include "tables/tables.h"

#include <cstdio>

namespace corelith {

struct TableLoss {
    enum class Kind {
        None,
        LeftOutRow,    // species in column: a line with a "*" in it
        LeftOutColumn, // species in line: a column whose flag begins with "*"
        Unreadable,    // a value cell that is not a number from its start to its end
        Negative,      // a value below 0, which the matrix writer leaves empty
        BeyondTable,   // a non-empty cell right of the last column the table has
        LongName,      // a name of more than 63 bytes
    };
    Kind kind = Kind::None;
    int line = 0;   // 1-based
    int column = 0; // 1-based cell of the line
};

// The first place of the table in `file` (read from its start, in `layout`, the way the core
// reader reads it) whose content would be lost. Kind::None when there is none.
TableLoss FindTableLoss(std::FILE* file, SpeciesLayout layout);

} // namespace corelith
