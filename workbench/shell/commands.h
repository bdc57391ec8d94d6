// Menu command dispatch, shared by the desktop window and the batch front end.
#pragma once

namespace corelith {

struct Workbench;

// Runs menu command `id`; returns the command's signed result (0 for commands without one).
int RunCommand(Workbench& wb, int id);

} // namespace corelith
