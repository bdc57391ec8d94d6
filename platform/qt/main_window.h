// The main window: title "Corelith", a blank white client area, a status bar, the menu and
// accelerator tables, and the dispatch of their commands.
#pragma once

#include <QMainWindow>

#include <functional>

class QAction;

namespace corelith {

struct Workbench;

class MainWindow : public QMainWindow {
  public:
    explicit MainWindow(Workbench& wb);

    // Runs command `id`: Exit closes the window, every other id goes to RunCommand. A
    // command that arrives while another one runs (from a nested event loop) is dropped.
    void Dispatch(int id);

    // The menu item of command `id`, or nullptr.
    QAction* MenuAction(int id) const;

    // Replaces RunCommand, so tests can see which command a menu item or key reaches.
    void SetCommandRunner(std::function<int(int)> runner) { runner_ = std::move(runner); }
    int LastResult() const { return lastResult_; }

  private:
    void BuildMenus();
    void BuildAccelerators();

    Workbench& wb_;
    std::function<int(int)> runner_;
    bool running_ = false;
    int lastResult_ = 0;
};

} // namespace corelith
