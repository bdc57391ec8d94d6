// A libFuzzer target; MARVANE_FUZZ_TARGET names its entry ("format", "project", "data", "run").
#include "engine/fuzz/fuzz_entries.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const marvane::fuzz::Entry entry = marvane::fuzz::EntryNamed(MARVANE_FUZZ_TARGET);
    std::string failure;
    if (!entry(data, size, failure)) {
        std::fprintf(stderr, "marvane fuzz target %s: %s\n", MARVANE_FUZZ_TARGET, failure.c_str());
        std::abort();
    }
    return 0;
}
