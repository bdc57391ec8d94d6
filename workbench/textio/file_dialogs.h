// File selection: the fifteen filter lists, the open and save dialogs, the filter
// memory and the output-name rule.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace corelith {

struct Workbench;

// The description/pattern pairs of filter list `index` (1..16; any other index gives list 6).
std::vector<FileFilter> FilterList(int index);

// The list of the plot's pictures; a name typed without extension gets ".svg" with it,
// ".csv" with every other list.
inline constexpr int kSvgFilter = 16;

// Resets the shared dialog description to filter list `filterIndex`.
void SetFileFilter(Workbench& wb, int filterIndex);

// Shows the open (save) dialog titled `dialogTitle`, starting with the name in `path`.
// Returns nonzero when the user confirmed: `path` then holds the full path, `folderOut` its
// folder (ending with the separator) and `titleOut` the file name; the working folder
// becomes that folder. On cancel returns 0 and leaves everything unchanged.
int SelectFileToOpen(Workbench& wb, std::string& path, std::string& folderOut,
                     std::string& titleOut, const std::string& dialogTitle);
int SelectFileToSave(Workbench& wb, std::string& path, std::string& folderOut,
                     std::string& titleOut, const std::string& dialogTitle);

// LastFilter after an open dialog: 6, then 1 for ".txt"/".TXT", then 2 for ".csv"/".CSV".
void UpdateLastFilter(Workbench& wb, const std::string& fileTitle);

// Output name of the transfer-function parameter files: title + extension with every
// ".txt.", ".TXT.", ".csv.", ".CSV." turned into ".".
std::string DeriveOutputName(const std::string& fileTitle, const std::string& extension);

} // namespace corelith
