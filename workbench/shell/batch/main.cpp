// corelith-batch: the batch front end without the desktop, for scripts and tests.
#include "shell/batch.h"

#include <iostream>
#include <new>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        return corelith::RunBatch(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "corelith: not enough memory\n";
        return 1;
    }
}
