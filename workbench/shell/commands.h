// Menu command dispatch, shared by the desktop window and the batch front end.
#pragma once

#include "textio/paths.h"

#include <string>

namespace corelith {

struct Workbench;

// Runs menu command `id`; returns the command's signed result (0 for commands without one).
int RunCommand(Workbench& wb, int id);

// Command ids the shell knows by name.
enum CommandId {
    kCmdTransferFunctionProject = 11,
    kCmdVelmarProject = 12,
    kCmdExecuteQuillon = 16,
    kCmdExecuteMarvane = 17,
    kCmdExit = 18, // handled by the front end: closes the main window
    kCmdSetupQuillon = 38,
    kCmdSetupMarvane = 39,
    kCmdHelp = 73,
    kCmdAbout = 74,
};

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

// Folder of the running executable, with a trailing separator; empty when unknown.
std::string ExecutableFolder();

// The engine installed beside the running executable ("marvane", on Windows
// "marvane.exe"), or an empty text when there is none.
std::string InstalledMarvane();

} // namespace corelith
