// The common open and save dialogs of Windows for a file dialog request.
#pragma once

#include "platform/platform.h"

#include <windows.h>

#include <string>

namespace corelith {

// The filter list of the common dialogs: description and pattern of each pair, each ended
// by NUL, the list ended by a second NUL.
std::wstring FilterList(const std::vector<FileFilter>& filters);

// Runs the open or save dialog of `request`, placed as the workbench places it beside
// `owner` (may be null). True when the user confirmed; `chosenPath` is then the full path
// in UTF-8. The keyboard focus goes back to `owner` afterwards.
bool RunFileDialog(HINSTANCE instance, HWND owner, const FileDialogRequest& request,
                   std::string& chosenPath);

} // namespace corelith
