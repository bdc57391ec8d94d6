// The main menu "Corelith" and the accelerator table "Corelith" as plain data: the desktop
// backend builds its menu bar and shortcuts from them, and the batch front end takes its
// list of commands from the menu.
#pragma once

#include <string>
#include <vector>

namespace corelith {

struct MenuItem {
    int id = 0;       // command id; 0 for a separator
    std::string text; // "&" marks the mnemonic, "\t" starts the shortcut shown on the right
    bool grayed = false;
};

struct Menu {
    std::string title;
    std::vector<MenuItem> items;
};

// The menus in their order on the menu bar, "&?" last.
const std::vector<Menu>& MainMenu();

struct Accelerator {
    std::string keys; // e.g. "Ctrl+N", "Alt+Backspace", "Shift+Del", "F1"
    int command = 0;
};

const std::vector<Accelerator>& Accelerators();

// The menu item with id `id`, or nullptr when the menu has none.
const MenuItem* FindMenuItem(int id);

} // namespace corelith
