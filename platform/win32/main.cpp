// corelith on Windows: the desktop workbench; "corelith --batch COMMAND [ANSWER ...]" runs
// one menu command without any window.
#include "platform/win32/desktop_types.h"
#include "shell/batch.h"
#include "shell/commands.h"
#include "shell/messages.h"
#include "textio/file_dialogs.h"
#include "workbench.h"

#include <windows.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

// A windowed program has no console of its own; batch output goes to the console it was
// started from, unless it is redirected already.
void ConsoleForBatch() {
    if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

int RunDesktop(corelith::DesktopPlatform& desktop, int argc, char** argv) {
    corelith::Workbench wb(desktop);
    corelith::StartWorkbench(wb);
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    corelith::TakeCommandLinePath(wb, commandLine);
    corelith::SetFileFilter(wb, wb.settings.lastFilter);

    corelith::MainWindowSpec spec;
    spec.title = corelith::kProgramTitle;
    spec.menus = corelith::MainMenu();
    spec.accelerators = corelith::Accelerators();
    // Exit closes the window; a command that arrives while another one runs (from the loop
    // of one of its dialogs) is dropped.
    bool running = false;
    return desktop.RunMainWindow(spec, [&](int id) {
        if (id == corelith::kCmdExit) {
            desktop.CloseMainWindow();
            return;
        }
        if (running)
            return;
        running = true;
        corelith::RunCommand(wb, id);
        running = false;
    });
}

} // namespace

int main(int argc, char** argv) {
    try {
        const auto desktop =
            corelith::MakeDesktopPlatform(argc, argv, corelith::FindDialogTemplate);
        if (argc >= 2 && std::string(argv[1]) == "--batch") {
            ConsoleForBatch();
            return corelith::RunBatch(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                      std::cerr);
        }
        return RunDesktop(*desktop, argc, argv);
    } catch (const std::bad_alloc&) {
        MessageBoxW(nullptr, L"Not enough memory.", L"Corelith", MB_OK | MB_ICONSTOP);
        return 1;
    }
}
