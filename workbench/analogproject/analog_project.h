// "New Velmar Project...": checks the user's tables and writes the engine's reference,
// environment, core and project files.
#pragma once

namespace corelith {

struct Workbench;

// Results of BuildAnalogProject. The shell shows message 147 for a result below -9.
enum AnalogProjectResult {
    kAnalogProjectDone = 0, // also: the save dialog was cancelled
    kSpeciesFormatCancelled = -1,
    kDataFormatCancelled = -2,
    kReferenceCancelled = -4,
    kStationNamesDiffer = -5,
    kEnvironmentCancelled = -7,
    kCoreCancelled = -9,
    kProjectFileFailed = -10,
    kReferenceFailed = -20,
    kReferenceLocationsFailed = -21,
    kEnvironmentFailed = -22,
    kCoreFailed = -24,
    kCoreLocationsFailed = -28,
};

// Returns a signed result code; 0 when the project was written or the first dialog cancelled.
int BuildAnalogProject(Workbench& wb, int projectNumber);

} // namespace corelith
