// corelith on Windows: the desktop workbench; "corelith --batch COMMAND [ANSWER ...]" runs
// one menu command without any window.
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "resources/dialog_templates.h"
#include "resources/menu.h"
#include "shell/batch.h"
#include "shell/commands.h"
#include "shell/messages.h"
#include "textio/file_dialogs.h"
#include "workbench.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

// The arguments after the program name, in UTF-8.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments != nullptr && i < count; ++i)
        result.push_back(corelith::Narrow(arguments[i]));
    LocalFree(arguments);
    return result;
}

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

int RunDesktop(int show) {
    corelith::Win32Platform platform(corelith::FindDialogTemplate);
    corelith::Workbench wb(platform);
    corelith::StartWorkbench(wb);
    corelith::TakeCommandLinePath(wb, corelith::Narrow(corelith::ArgumentsOf(GetCommandLineW())));
    corelith::SetFileFilter(wb, wb.settings.lastFilter);

    corelith::MainWindowSpec spec;
    spec.title = corelith::kProgramTitle;
    spec.menus = corelith::MainMenu();
    spec.accelerators = corelith::Accelerators();
    spec.exitCommand = corelith::kCmdExit;
    return platform.RunMainWindow(
        spec, [&wb](int id) { corelith::RunCommand(wb, id); }, show);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    try {
        const std::vector<std::string> arguments = Arguments();
        if (!arguments.empty() && arguments[0] == "--batch") {
            ConsoleForBatch();
            return corelith::RunBatch(
                std::vector<std::string>(arguments.begin() + 1, arguments.end()), std::cout,
                std::cerr);
        }
        return RunDesktop(show);
    } catch (const std::bad_alloc&) {
        MessageBoxW(nullptr, L"Not enough memory.", L"Corelith", MB_OK | MB_ICONSTOP);
        return 1;
    }
}
