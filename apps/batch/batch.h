// The batch front end: runs one menu command without any window, answering its dialogs
// from the command line. Shared by `corelith --batch` and `corelith-batch`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace corelith {

struct BatchOptions {
    std::string settingsFolder; // empty: the desktop's settings folder
    std::string workingFolder;  // empty: the process's current directory
    std::string programFolder;  // where the other programs are; empty: beside this executable
};

// args: COMMAND [ANSWER ...]. Message boxes go to `err` as "message CODE: TEXT" (line
// breaks written as "\n"), beeps as "beep"; echoed dialog labels go to `out` as
// "ID: TEXT", and at the end "result N". Returns the exit status: 0 when N >= 0, 1 when
// N < 0, 2 for a usage error (unknown command, an answer that does not fit its dialog,
// answers left over).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchOptions& options);

// True for the menu commands the batch front end runs.
bool IsBatchCommand(int id);

inline constexpr char kBatchUsage[] = "usage: corelith --batch COMMAND [ANSWER ...]";

} // namespace corelith
