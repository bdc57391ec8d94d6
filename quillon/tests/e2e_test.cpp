// The second road of the toolkit from end to end: the workbench's batch front end builds a
// transfer-function project from the bundled example tables ("New Transfer Function
// Project...", command 11), and quillon turns it into estimates for core V12-122.
#include "quillon/app.h"

#include "testing/test_support.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace quillon {
namespace {

using testsupport::TempDir;

std::vector<std::vector<double>> Numbers(const std::string& table, std::vector<std::string>& text) {
    std::vector<std::vector<double>> rows;
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // written on Windows, in text mode
        rows.emplace_back();
        size_t start = 0;
        while (true) {
            const size_t tab = line.find('\t', start);
            const std::string cell =
                line.substr(start, tab == std::string::npos ? tab : tab - start);
            double value = std::nan("");
            const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
            if (ec != std::errc() || end != cell.data() + cell.size()) {
                value = std::nan("");
                text.push_back(cell);
            }
            rows.back().push_back(value);
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
    }
    return rows;
}

TEST(EndToEndTest, ExampleTablesThroughTheWorkbenchAndQuillon) {
#if !defined(QUILLON_BATCH_PROGRAM)
    GTEST_SKIP() << "the workbench's batch front end is not built here";
#else
    TempDir dir;
    dir.CopyAll(testsupport::PathOf(CORELITH_SOURCE_ROOT "/examples/tables"));
    testsupport::ScopedEnv config("XDG_CONFIG_HOME", dir.File("config"));
    testsupport::ScopedEnv appData("APPDATA", dir.File("config")); // the same on Windows
    // Answers in the order the dialogs open: project file, species in line, percent data,
    // the three tools, 3 factors, quadratic regression, then each table and its output name.
    dir.Write("no_input.txt", "");
    ASSERT_EQ(
        testsupport::RunInFolder(dir.path(), testsupport::PathOf(QUILLON_BATCH_PROGRAM),
                                 {"11", "Example.pro", "2", "2", "CapFac+Regress+Thread", "3", "2",
                                  "reference_species-in-line.txt", ":ok", "environment.txt", ":ok",
                                  "core_V12-122_species-in-line.txt", ":ok"},
                                 "no_input.txt", "batch.log"),
        0)
        << dir.Read("batch.log");

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunProject(dir.File("Example.pro"), out, err, AppOptions{}), 0) << err.str();
    const std::string estimates = dir.Read("Example_estimates.tsv");
    std::vector<std::string> actualText;
    std::vector<std::string> goldenText;
    const auto actual = Numbers(estimates, actualText);
    const auto golden =
        Numbers(testsupport::Golden(CORELITH_TEST_DIR "/golden/example_estimates.tsv", estimates),
                goldenText);
    // The names, the header and the flags exactly; the numbers to 1e-6 (they may differ in
    // their last digits between compilers).
    EXPECT_EQ(actualText, goldenText);
    ASSERT_EQ(actual.size(), golden.size());
    for (size_t r = 0; r < actual.size(); ++r) {
        ASSERT_EQ(actual[r].size(), golden[r].size());
        for (size_t c = 0; c < actual[r].size(); ++c)
            if (!std::isnan(golden[r][c])) {
                EXPECT_NEAR(actual[r][c], golden[r][c], 1e-6 * (1.0 + std::abs(golden[r][c])))
                    << "row " << r << " column " << c;
            }
    }
    // Plausible: winter sea-surface temperature in the Caribbean between 19 and 29 degrees
    // (the quadratic model reaches a little beyond the warmest reference samples).
    ASSERT_EQ(actual.size(), 111u);
    for (size_t r = 1; r < actual.size(); ++r) {
        EXPECT_GT(actual[r][2], 19.0) << r;
        EXPECT_LT(actual[r][2], 29.0) << r;
        EXPECT_GT(actual[r][1], 0.6) << "communality of row " << r;
    }
    EXPECT_NE(out.str().find("Written:"), std::string::npos);
#endif
}

} // namespace
} // namespace quillon
