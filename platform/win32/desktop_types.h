// The data the Win32 backend is built from: dialog templates, menus and accelerators, and
// the description of the main window. The template, menu and accelerator types are still
// defined with the workbench's resources; this header is the one place the backend reaches
// them, so the backend itself depends on nothing else of the workbench.
#pragma once

#include "resources/dialog_templates.h"
#include "resources/menu.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corelith {

// Finds the template of a dialog by resource name; nullptr when there is none.
using DialogTemplateLookup = std::function<const DialogTemplate*(std::string_view resource)>;

// What the desktop shows as its main window.
struct MainWindowSpec {
    std::string title;
    std::vector<Menu> menus;
    std::vector<Accelerator> accelerators;
    int width = 400; // pixels, frame included
    int height = 200;
    int exitCommand = 0; // the command that closes the window instead of reaching the handler
};

// Runs menu command `id` (menu item or accelerator).
using CommandHandler = std::function<void(int id)>;

} // namespace corelith
