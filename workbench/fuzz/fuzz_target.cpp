// A libFuzzer target; CORELITH_FUZZ_TARGET names its entry ("tables", "settings", "counting").
#include "workbench/fuzz/fuzz_entries.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const corelith::fuzz::Entry entry = corelith::fuzz::EntryNamed(CORELITH_FUZZ_TARGET);
    std::string failure;
    if (!entry(data, size, failure)) {
        std::fprintf(stderr, "corelith fuzz target %s: %s\n", CORELITH_FUZZ_TARGET,
                     failure.c_str());
        std::abort();
    }
    return 0;
}
