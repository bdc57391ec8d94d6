// The main window built from its description: the title, a blank white client area, an
// empty status bar, the program icon, the menu bar and the accelerators. Every menu item and
// accelerator hands its command id to the program.
#pragma once

#include "platform/desktop.h"

#include <QMainWindow>

#include <functional>

class QAction;

namespace corelith {

class MainWindow : public QMainWindow {
  public:
    MainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand);

    // The menu item of command `id`, or nullptr.
    QAction* MenuAction(int id) const;

  private:
    void BuildMenus(const std::vector<Menu>& menus);
    void BuildAccelerators(const std::vector<Accelerator>& accelerators);

    std::function<void(int)> onCommand_;
};

} // namespace corelith
