// corelith-batch: the batch front end without the desktop, for scripts and tests.
#include "apps/batch/batch.h"

#include "corelith_version.h"
#include "platform/wide_text.h"
#include "shell/installed_programs.h"

#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

// argv in UTF-8 on every platform.
int Main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "corelith-batch " << CORELITH_VERSION << '\n';
        return 0;
    }
    try {
        corelith::BatchOptions options;
        options.programFolder = corelith::ExecutableFolder(argc > 0 ? argv[0] : "");
        return corelith::RunBatch(args, std::cout, std::cerr, options);
    } catch (const std::bad_alloc&) {
        std::cerr << "corelith: not enough memory\n";
        return 1;
    }
}

} // namespace

// The answers may name files with any letter: on Windows the arguments are taken in UTF-16
// and converted to UTF-8 before anything else.
CORELITH_UTF8_MAIN(Main)
