// "New Velmar Project...": checks the user's tables and writes the engine's reference,
// environment, core and project files.
#pragma once

namespace corelith {

struct Workbench;

// Returns a signed result code; 0 when the project was written or the first dialog cancelled.
int BuildAnalogProject(Workbench& wb, int projectNumber);

} // namespace corelith
