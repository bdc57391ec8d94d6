// The main menu "Corelith" and the accelerator table "Corelith" as plain data: the desktop
// backend builds its menu bar and shortcuts from them, and the batch front end takes its
// list of commands from the menu.
#pragma once

#include "platform/menu.h"

#include <vector>

namespace corelith {

// The menus in their order on the menu bar, "&?" last.
const std::vector<Menu>& MainMenu();

const std::vector<Accelerator>& Accelerators();

// The menu item with id `id`, or nullptr when the menu has none.
const MenuItem* FindMenuItem(int id);

} // namespace corelith
