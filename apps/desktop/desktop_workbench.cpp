#include "apps/desktop/desktop_workbench.h"

#include "resources/accelerators.h"
#include "shell/command_table.h"
#include "shell/commands.h"
#include "shell/installed_programs.h"
#include "shell/messages.h"
#include "textio/file_dialogs.h"
#include "workbench.h"

#include <string>

namespace corelith {

MainWindowLayout WorkbenchWindowLayout() {
    MainWindowLayout layout;
    layout.title = kProgramTitle;
    layout.menus = MainMenu();
    layout.accelerators = Accelerators();
    layout.width = 400;
    layout.height = 200;
    return layout;
}

CommandDispatch::CommandDispatch(Workbench& wb, DesktopPlatform& desktop)
    : desktop_(desktop), runner_([&wb](int id) { return RunCommand(wb, id); }) {}

void CommandDispatch::operator()(int id) {
    if (id == kCmdExit) {
        desktop_.CloseMainWindow();
        return;
    }
    if (running_)
        return;
    running_ = true;
    lastResult_ = runner_(id);
    running_ = false;
}

int RunDesktopWorkbench(DesktopPlatform& desktop, int argc, char** argv) {
    Workbench wb(desktop);
    wb.programFolder = ExecutableFolder(argc > 0 ? argv[0] : "");
    StartWorkbench(wb);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    TakeCommandLinePath(wb, commandLine);
    // As the main window is created, the file dialogs take up the remembered filter.
    SetFileFilter(wb, wb.settings.lastFilter);
    CommandDispatch dispatch(wb, desktop);
    return desktop.RunMainWindow(WorkbenchWindowLayout(), [&dispatch](int id) { dispatch(id); });
}

} // namespace corelith
