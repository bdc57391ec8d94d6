// Every input kept from fuzzing the workbench (the seed corpus and each input that once broke
// a promise) replayed through the entries of the fuzz targets.
#include "workbench/fuzz/fuzz_entries.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corelith::fuzz {
namespace {

namespace fs = std::filesystem;

int ReplayFolder(const fs::path& folder) {
    return testsupport::ReplayFuzzInputs(folder, EntryNamed);
}

TEST(WorkbenchFuzzEntries, TheSeedCorpusRunsClean) {
    EXPECT_GE(ReplayFolder(fs::path(CORELITH_FUZZ_DIR) / "corpus"), 12);
}

TEST(WorkbenchFuzzEntries, InputsThatOnceFailedRunClean) {
    EXPECT_GE(ReplayFolder(fs::path(CORELITH_FUZZ_DIR) / "regressions"), 2);
}

TEST(WorkbenchFuzzEntries, ABrokenPromiseIsReported) {
    // A refused table must come with a message: a reader that returned a failure silently
    // would be caught. Here the promise holds, and an unknown target has no entry.
    const std::string table = std::string(1, '\0') + "F\tS\ta\n\tsp\t12abc\n";
    std::string failure;
    EXPECT_TRUE(
        TablesInput(reinterpret_cast<const std::uint8_t*>(table.data()), table.size(), failure))
        << failure;
    EXPECT_EQ(EntryNamed("no such target"), nullptr);
}

} // namespace
} // namespace corelith::fuzz
