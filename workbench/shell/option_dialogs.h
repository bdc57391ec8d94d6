// The three option dialogs "Format of species", "Format of data" and "Used tools". Each
// edits working copies and, only on OK, stores them and saves the settings file.
#pragma once

namespace corelith {

struct Workbench;

// Each returns 1 after OK, 0 after Cancel.
int FormatOfSpecies(Workbench& wb, int& speciesFormat);
int FormatOfData(Workbench& wb, int& dataFormat);
int UsedTools(Workbench& wb, int& usedCapFac, int& usedRegress, int& usedThread);

} // namespace corelith
