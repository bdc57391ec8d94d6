// quillon: the factor-analytic transfer function of a project built by the workbench.
#include "quillon/app.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
// The arguments as UTF-16, so that a project path with any letters reaches the program whole.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(quillon::Utf8FromPath(quillon::fs::path(argv[i])));
    return quillon::RunQuillon(args, std::cin, std::cout, std::cerr, quillon::AppOptions{});
}
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quillon::RunQuillon(args, std::cin, std::cout, std::cerr, quillon::AppOptions{});
}
#endif
