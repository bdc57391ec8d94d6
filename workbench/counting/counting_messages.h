// The counting tool's own messages, in the manner of the message catalogue: beep, stop icon,
// the caption "Corelith", file names between ">" and "<" on their own lines. Each returns -1.
#pragma once

#include "counting/table_check.h"

#include <string>

namespace corelith {

class Platform;

// "Could not write file:\n>PATH<\nREASON": a file the counting tool could not write, with the
// system's reason. When `journal` names a file, the counts are kept there and the text says so.
int ShowFileNotWritten(Platform& platform, const std::string& path, const std::string& reason,
                       const std::string& journal = {});

// The journal could not be written while counting: counting goes on, but the counts from
// now on reach the disk only at Stop.
int ShowJournalNotWritten(Platform& platform, const std::string& path, const std::string& reason);

// The journal of an unfinished run has a line that cannot be read in its table.
int ShowJournalDamaged(Platform& platform, const std::string& path, int line);

// The counted table would be written over its own input, which holds what the tables do
// not take in (`loss`).
int ShowInputWouldLoseData(Platform& platform, const std::string& path, const TableLoss& loss);

// The text of the question whether to recover an unfinished run into `output`.
std::string RecoveryQuestion(const std::string& output, const std::string& input, int changes,
                             int badLine);

} // namespace corelith
