// corelith-batch: the batch front end without the desktop, for scripts and tests.
#include "apps/batch/batch.h"

#include "corelith_version.h"

#include <iostream>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "corelith-batch " << CORELITH_VERSION << '\n';
        return 0;
    }
    try {
        return corelith::RunBatch(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "corelith: not enough memory\n";
        return 1;
    }
}
