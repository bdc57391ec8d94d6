// The desktop: a platform with a main window. A desktop program describes its main window
// as plain data and handles the commands the window sends; each desktop backend (Qt here)
// builds the window its own way, so the program's main() knows no toolkit.
#pragma once

#include "platform/dialog_template.h"
#include "platform/menu.h"
#include "platform/platform.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corelith {

struct MainWindowLayout {
    std::string title;
    std::vector<Menu> menus; // the menu bar, left to right
    std::vector<Accelerator> accelerators;
    int width = 400; // pixels
    int height = 200;
};

class DesktopPlatform : public Platform {
  public:
    // Builds the main window from `layout` (menu bar, accelerators, program icon, an empty
    // status bar and a blank white client area that swallows mouse clicks), places it a
    // twentieth of the screen from the screen's top left corner, shows it and runs until it
    // is closed; returns the exit status. Each menu item and accelerator calls `onCommand`
    // with its command id. While the window exists it owns every box and dialog.
    virtual int RunMainWindow(const MainWindowLayout& layout,
                              std::function<void(int)> onCommand) = 0;

    // Closes the main window, which ends RunMainWindow.
    virtual void CloseMainWindow() = 0;
};

// The desktop backend the program is built with. It takes its own options out of argc and
// argv, keeps numbers in the C locale whatever the desktop's locale, and builds its dialogs
// from the templates `templates` finds. argc and argv must outlive the platform.
std::unique_ptr<DesktopPlatform> MakeDesktopPlatform(int& argc, char** argv,
                                                     DialogTemplateLookup templates);

} // namespace corelith
