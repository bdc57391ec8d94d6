// The keyboard accelerators of the main window, built from their written form ("Ctrl+N",
// "Alt+Backspace", "Shift+Del", "F1").
#pragma once

#include "platform/menu.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace corelith {

// Parses `keys` (modifiers "Ctrl", "Alt", "Shift" joined by '+' before one key; names
// without regard to case) into a virtual-key accelerator for `command`, without menu
// flashing. False when a part is unknown or the key is missing.
bool ParseAccelerator(std::string_view keys, int command, ACCEL& accel);

// The table of every entry that parses; nullptr when none does. The caller destroys it.
HACCEL CreateAccelerators(const std::vector<Accelerator>& accelerators);

} // namespace corelith
