// A main window's menu bar and accelerator table as plain data: the program describes
// them, the desktop backend builds its menus and shortcuts from them.
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

struct Accelerator {
    std::string keys; // e.g. "Ctrl+N", "Alt+Backspace", "Shift+Del", "F1"
    int command = 0;
};

} // namespace corelith
