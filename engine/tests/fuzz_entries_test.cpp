// Every input kept from fuzzing (the seed corpus and each input that once broke the
// engine) replayed through the entries of the fuzz targets.
#include "engine/fuzz/fuzz_entries.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace marvane::fuzz {
namespace {

namespace fs = std::filesystem;

int ReplayFolder(const fs::path& folder) {
    return testsupport::ReplayFuzzInputs(folder, EntryNamed);
}

TEST(fuzz_entries_test, the_seed_corpus_runs_clean) {
    EXPECT_GE(ReplayFolder(fs::path(MARVANE_FUZZ_DIR) / "corpus"), 10);
}

TEST(fuzz_entries_test, inputs_that_once_failed_run_clean) {
    EXPECT_GE(ReplayFolder(fs::path(MARVANE_FUZZ_DIR) / "regressions"), 2);
}

TEST(fuzz_entries_test, a_broken_promise_is_reported) {
    // A descriptor whose F field is read from an unreadable record: the entry must see
    // the diagnostic and report no failure; a target name that does not exist has none.
    const std::string input = "(F4.1)\nF\nabcd\n";
    std::string failure;
    EXPECT_TRUE(
        FormatInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size(), failure));
    EXPECT_EQ(failure, "");
    EXPECT_EQ(EntryNamed("nothing"), nullptr);
}

} // namespace
} // namespace marvane::fuzz
