// The programs installed beside the workbench. Every program of the toolkit lands in one
// folder (build/bin after a build, bin/ of an installation), so the workbench finds the
// engine and the transfer-function program next to its own executable.
#pragma once

#include <string>
#include <string_view>

namespace corelith {

struct Workbench;

// Folder of the running executable, with a trailing separator, as the system tells it;
// where it cannot, the folder that `argv0` (the program's argv[0]) names. Empty when
// neither tells.
std::string ExecutableFolder(std::string_view argv0 = {});

// The folder `argv0` names, taken against `currentFolder` (which ends with a separator)
// when it is relative; empty when argv0 names no folder (a program found on the PATH).
std::string FolderOfArgv0(std::string_view argv0, std::string_view currentFolder);

// The program `name` ("marvane", "quillon"; on Windows with ".exe") in the workbench's
// program folder, or an empty text when there is no such file.
std::string InstalledProgram(const Workbench& wb, std::string_view name);

} // namespace corelith
