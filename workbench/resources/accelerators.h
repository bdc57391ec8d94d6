// The accelerator table "Corelith" as plain data in the platform's type: the desktop
// backend turns each entry into a shortcut that runs its command.
#pragma once

#include "platform/menu.h"

#include <vector>

namespace corelith {

const std::vector<Accelerator>& Accelerators();

} // namespace corelith
