// The desktop workbench on any desktop backend: the main window it asks for, the dispatch of
// the window's commands, and the whole run from start-up to the window's close.
#pragma once

#include "platform/desktop.h"

#include <functional>

namespace corelith {

struct Workbench;

// The main window "Corelith": its menu bar from the command table, the accelerator table
// "Corelith", 400 by 200 pixels.
MainWindowLayout WorkbenchWindowLayout();

// The main window's commands: Exit closes the window, every other id runs through
// RunCommand. A command that arrives while another one runs (from the event loop of one of
// its dialogs) is dropped.
class CommandDispatch {
  public:
    CommandDispatch(Workbench& wb, DesktopPlatform& desktop);

    void operator()(int id);

    // The result of the last command that ran.
    int LastResult() const { return lastResult_; }
    // Replaces RunCommand, so tests can see which command a menu item or key reaches.
    void SetRunner(std::function<int(int)> runner) { runner_ = std::move(runner); }

  private:
    DesktopPlatform& desktop_;
    std::function<int(int)> runner_;
    bool running_ = false;
    int lastResult_ = 0;
};

// Starts the workbench on `desktop`, takes the optional file path of the command line
// (argv after the backend took its own options), and runs the main window until it closes.
// Returns the exit status.
int RunDesktopWorkbench(DesktopPlatform& desktop, int argc, char** argv);

} // namespace corelith
