// marvane: the console engine of the analog method with virtual reference samples.
#include "engine/command_line.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return marvane::RunCommandLine(arguments, std::cin, std::cout, std::cerr);
}
