// corelith: the desktop workbench; "corelith --batch COMMAND [ANSWER ...]" runs one menu
// command without any window, "corelith --version" tells the version.
#include "apps/batch/batch.h"
#include "apps/desktop/desktop_workbench.h"
#include "corelith_version.h"
#include "platform/wide_text.h"
#include "resources/dialog_templates.h"
#include "shell/installed_programs.h"

#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// argv in UTF-8 on every platform.
int Main(int argc, char** argv) {
    try {
        const std::string_view first = argc >= 2 ? argv[1] : "";
        if (first == "--batch") {
            corelith::BatchOptions options;
            options.programFolder = corelith::ExecutableFolder(argv[0]);
            return corelith::RunBatch(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                      std::cerr, options);
        }
        if (first == "--version" && argc == 2) {
            std::cout << "corelith " << CORELITH_VERSION << '\n';
            return 0;
        }
        const auto desktop =
            corelith::MakeDesktopPlatform(argc, argv, corelith::FindDialogTemplate);
        return corelith::RunDesktopWorkbench(*desktop, argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "corelith: not enough memory\n";
        return 1;
    }
}

} // namespace

// The file path on the command line and the batch answers may hold any letter: on Windows
// the arguments are taken in UTF-16 and converted before anything else, --batch included.
CORELITH_UTF8_MAIN(Main)
