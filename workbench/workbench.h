// The state of one workbench process, passed explicitly to every command: the shared
// tables, the settings record, the file-dialog state and the current-file buffers.
#pragma once

#include "platform/platform.h"
#include "shell/settings.h"
#include "tables/tables.h"

#include <string>

namespace corelith {

// The file last chosen in a file dialog (first filled from the command line).
struct CurrentFile {
    std::string fullPath; // up to 515 characters
    std::string folder;   // with trailing separator
    std::string name;     // file name without folder
};

struct Workbench {
    explicit Workbench(Platform& p) : platform(p) {}

    Platform& platform;
    Tables tables;
    Settings settings;
    CurrentFile current;
    // The folder the next file dialog opens in and relative names are taken from: the
    // working directory at start-up, then the folder of each file chosen in a dialog.
    std::string workingFolder;
    int filterIndex = 1;        // filter list of the next file dialog (set by SetFileFilter)
    int projectCounter = 1;     // project slot (1..10) of the next project command
    int interimFileCounter = 0; // numbers the counting tool's "Temp" + n + ".txt" files
    // Where the other programs are installed: the folder of the workbench's executable, set
    // by the front end; empty: as the system tells it (see InstalledProgram).
    std::string programFolder;
};

// Start-up of the workbench core: allocates the tables, fills the settings defaults,
// sets the working folder to the process's current directory and loads the settings file.
void StartWorkbench(Workbench& wb);

} // namespace corelith
