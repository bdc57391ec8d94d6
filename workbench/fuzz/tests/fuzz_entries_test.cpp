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
    int replayed = 0;
    for (const fs::directory_entry& target : fs::directory_iterator(folder)) {
        if (!target.is_directory())
            continue;
        const Entry entry = EntryNamed(testsupport::TextOf(target.path().filename()));
        EXPECT_NE(entry, nullptr) << "no fuzz target for " << target.path();
        if (entry == nullptr)
            continue;
        for (const fs::directory_entry& input : fs::directory_iterator(target.path())) {
            if (!input.is_regular_file() || input.path().filename() == "README.md")
                continue;
            const std::string data = testsupport::ReadFile(input.path());
            std::string failure;
            EXPECT_TRUE(
                entry(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), failure))
                << input.path() << ": " << failure;
            ++replayed;
        }
    }
    return replayed;
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
