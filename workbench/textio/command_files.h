// The files a command reads and writes, each failure reported by a message that names the
// file and the system's reason (the Parts' commands end silently there; our users would
// see nothing happen at all).
#pragma once

#include "textio/line_writer.h"

#include <cstdio>
#include <string>

namespace corelith {

struct Workbench;

// Opens the table `path` for reading ("rb", a UTF-16 file with a byte-order mark as its
// UTF-8 text) and adds it to the command's inputs. Only a regular file is read: a folder, a
// device or a pipe (which could keep the command waiting forever) is refused like a file
// that is missing, unreadable or a link loop. Returns nullptr after a message.
std::FILE* OpenInputFile(Workbench& wb, const std::string& path);

// Starts `out` on `path`. Refused, after a message, when `path` is one of the command's
// inputs (the same file under any name) or cannot be written. Returns true when open.
bool OpenOutputFile(Workbench& wb, LineWriter& out, const std::string& path);

// Whether `path` is one of the command's inputs; true after a message naming both.
bool RefuseInputAsOutput(Workbench& wb, const std::string& path);

// Completes `out` (Close). Returns 0, or -1 after a message when the file could not be
// written whole; the previous file is then unchanged.
int CloseOutputFile(Workbench& wb, LineWriter& out);

} // namespace corelith
