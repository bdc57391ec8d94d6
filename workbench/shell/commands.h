// Menu command dispatch, shared by the desktop window and the batch front end, and the
// shell's own commands.
#pragma once

#include "shell/command_table.h"
#include "textio/paths.h"

#include <string>

namespace corelith {

struct Workbench;

// Runs menu command `id` through its handler in the command table; returns the command's
// signed result, 0 for a command without an action and for an id the table lacks.
int RunCommand(Workbench& wb, int id);

// Starting the outside programs (16, 17): without a stored path the executable dialog asks
// for it first and the settings are saved. Returns 0, or -1 when the program could not be
// started.
int ExecuteQuillon(Workbench& wb);
int ExecuteMarvane(Workbench& wb);
// Choosing the executables (38, 39): the settings are saved even after Cancel. Returns 1
// when a program was chosen, 0 after Cancel, -1 when the settings could not be written.
int SetupQuillon(Workbench& wb);
int SetupMarvane(Workbench& wb);
// The About box (74), which only OK closes. Returns 0.
int ShowAboutBox(Workbench& wb);

// Filter list of the executable dialogs.
inline constexpr int kProgramFilter = 15;
inline constexpr int kMaxProjectNumber = 10;

// A project command: runs `builder` on the slot the project counter names (wrapping from
// 11 to 1); result 0 moves the counter on, a result below -9 shows message 147.
using ProjectBuilder = int (*)(Workbench& wb, int projectNumber);
int RunProjectCommand(Workbench& wb, ProjectBuilder builder);

// The optional file path of the command line (the text after the program name): cut at
// the last double quote, then after the first one still left; a text with a path
// separator becomes the current file that the next file dialog proposes. No file is opened.
void TakeCommandLinePath(Workbench& wb, const std::string& commandLine,
                         PathStyle style = kNativePathStyle);

} // namespace corelith
