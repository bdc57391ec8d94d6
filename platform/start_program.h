// Starting an outside program the way the workbench starts the engine and the
// transfer-function program: detached, without arguments, in a given folder. Shared by the
// backends that have no toolkit call for it (the scripted one and Win32).
#pragma once

#include <string>

namespace corelith {

// Starts `program` (a UTF-8 path) without arguments in `folder` (the current folder when
// empty) and keeps no handle of it; the program outlives the caller. On Windows a console
// program gets a console window of its own. False when it could not be started (no such
// program or folder).
bool StartDetachedProgram(const std::string& program, const std::string& folder);

} // namespace corelith
