// The desktop interface the Win32 backend implements and the data it is built from (dialog
// templates, menus, accelerators, the main window's description). The template, menu and
// accelerator types still come with the workbench's resources; this header is the one place
// the backend reaches them, so the backend itself depends on nothing else of the workbench.
#pragma once

#include "platform/platform.h"
#include "resources/dialog_templates.h"
#include "resources/menu.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corelith {

// The template of a dialog resource, or nullptr when there is none.
using DialogTemplateLookup = std::function<const DialogTemplate*(std::string_view resource)>;

// What the desktop shows as its main window.
struct MainWindowSpec {
    std::string title;
    std::vector<Menu> menus; // the menu bar, left to right
    std::vector<Accelerator> accelerators;
    int width = 400; // pixels
    int height = 200;
};

// A platform with a main window.
class DesktopPlatform : public Platform {
  public:
    // Builds the main window from `spec`, shows it and runs until it is closed; returns the
    // exit status. Each menu item and accelerator calls `onCommand` with its command id.
    // While the window exists it owns every box and dialog.
    virtual int RunMainWindow(const MainWindowSpec& spec, std::function<void(int)> onCommand) = 0;

    // Closes the main window, which ends RunMainWindow.
    virtual void CloseMainWindow() = 0;
};

// The desktop backend the program is built with. It takes its own options out of argc and
// argv and builds its dialogs from the templates `templates` finds. argc and argv must
// outlive the platform.
std::unique_ptr<DesktopPlatform> MakeDesktopPlatform(int& argc, char** argv,
                                                     DialogTemplateLookup templates);

} // namespace corelith
