// Runs of the workbench at the same time share one settings file: none may lose what another
// saved, and none may read the file half written.
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace corelith {
namespace {

#if defined(CORELITH_BATCH_EXE) && !defined(_WIN32)

// Runs corelith-batch with `arguments`; its output goes to the file `output`.
int Batch(const std::vector<std::string>& arguments, const std::string& output) {
    std::string command = std::string("\"") + CORELITH_BATCH_EXE + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    command += " < /dev/null > \"" + output + "\" 2>&1";
    return std::system(command.c_str());
}

// Three programs at a time, round after round: one chooses the Quillon executable, one the
// Marvane executable, one switches the species format. Each saves only what it changed, so
// after every round the file holds all three choices of that round.
TEST(SettingsSharing, ParallelRunsLoseNoValueAnotherSaved) {
    const testsupport::TempDir folder;
    const testsupport::ScopedEnv config("XDG_CONFIG_HOME", folder.File("config"));
    const std::string settings = folder.File("config/corelith/Corelith.INI");
    constexpr int kRounds = 40;
    for (int round = 1; round <= kRounds; ++round) {
        const std::string quillon = "/opt/quillon/q" + std::to_string(round) + ".exe";
        const std::string marvane = "/opt/marvane/m" + std::to_string(round) + ".exe";
        const std::string format = round % 2 == 0 ? "1" : "2";
        std::vector<std::vector<std::string>> runs = {
            {"38", quillon}, {"39", marvane}, {"31", format}};
        std::vector<int> status(runs.size(), -1);
        std::vector<std::thread> threads;
        for (size_t k = 0; k < runs.size(); ++k)
            threads.emplace_back([&, k] {
                status[k] = Batch(runs[k], folder.File("out" + std::to_string(k) + ".txt"));
            });
        for (std::thread& thread : threads)
            thread.join();
        for (size_t k = 0; k < runs.size(); ++k)
            ASSERT_EQ(status[k], 0) << folder.Read("out" + std::to_string(k) + ".txt");
        const std::string text = testsupport::ReadFile(settings);
        ASSERT_EQ(testsupport::LineOf(text, 4), quillon) << "round " << round << ":\n" << text;
        ASSERT_EQ(testsupport::LineOf(text, 5), marvane) << "round " << round << ":\n" << text;
        ASSERT_EQ(testsupport::LineOf(text, 2).substr(0, 4),
                  "0\t" + std::string(format == "1" ? "0" : "1") + "\t")
            << "round " << round << ":\n"
            << text;
    }
}

#endif

} // namespace
} // namespace corelith
