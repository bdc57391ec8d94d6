#include "plotting/depth_table.h"
#include "plotting/estimates_tables.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace corelith {
namespace {

namespace fs = std::filesystem;

bool Missing(double value) {
    return std::isnan(value);
}

EstimatesTable Read(const std::string& text, EstimatesMethod method) {
    EstimatesTable table;
    ReadProblem problem;
    EXPECT_EQ(ReadEstimatesText(text, method, table, problem), 0) << problem.reason;
    return table;
}

TEST(EstimatesTables, TheSummaryTableWithCutNamesAndAsterisks) {
    const EstimatesTable table =
        Read("SAMPLE\tDISS\tSD\tT1\tSD\tT2\tSD\r\n"
             "0           \t  0.0181\t  0.0256\t26.25\t 0.00\t27.50\t 0.71\r\n"
             "V12-122 1050\t  0.1\t  0.0\t*****\t 0.10\t-5.25\t*****\r\n",
             EstimatesMethod::Analog);
    EXPECT_EQ(table.kind, EstimatesKind::AnalogSummary);
    EXPECT_EQ(table.variables, (std::vector<std::string>{"T1", "T2"}));
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].sample, "0");
    EXPECT_EQ(table.rows[0].values, (std::vector<double>{26.25, 27.5}));
    EXPECT_EQ(table.rows[0].spreads, (std::vector<double>{0.0, 0.71}));
    EXPECT_EQ(table.rows[1].sample, "V12-122 1050");
    EXPECT_EQ(table.rows[1].line, 3);
    EXPECT_TRUE(Missing(table.rows[1].values[0]));
    EXPECT_EQ(table.rows[1].spreads[0], 0.1);
    EXPECT_EQ(table.rows[1].values[1], -5.25);
    EXPECT_TRUE(Missing(table.rows[1].spreads[1]));
    EXPECT_FALSE(table.rows[1].noAnalog);
}

TEST(EstimatesTables, TheAnalogEstimatesCarryTheNoAnalogFlag) {
    const EstimatesTable table =
        Read("\xEF\xBB\xBFSample\tDissimilarity\tT1\tT1_SD\tT2\tT2_SD\tPercentile\tFlag\n"
             "ONE\t0.0\t0.75\t1.16\t0.875\t1.35\t0.0\t\n"
             "NONE\t2.0\t\t\t\t\t100.0\tno analog\n"
             "FAR\t0.5\t1.5\t0.8\t2\t1e-1\t99\tno analog\n\n\n",
             EstimatesMethod::Analog);
    EXPECT_EQ(table.kind, EstimatesKind::AnalogEstimates);
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_FALSE(table.rows[0].noAnalog);
    EXPECT_TRUE(table.rows[1].noAnalog);
    EXPECT_TRUE(Missing(table.rows[1].values[0]) && Missing(table.rows[1].spreads[1]));
    EXPECT_TRUE(table.rows[2].noAnalog);
    EXPECT_EQ(table.rows[2].values, (std::vector<double>{1.5, 2.0}));
    EXPECT_EQ(table.rows[2].spreads, (std::vector<double>{0.8, 0.1}));
}

TEST(EstimatesTables, TheFactorEstimatesFindEachErrorColumnByName) {
    // Quillon writes each variable beside its error; grouped errors are read alike.
    for (const char* header :
         {"Sample\tCommunality\tWinSST\tWinSST_SE\tS&P\tS&P_SE\tPercentile\tFlag",
          "Sample\tCommunality\tWinSST\tS&P\tWinSST_SE\tS&P_SE\tPercentile\tFlag"}) {
        const bool grouped = std::string(header).find("S&P\tWinSST_SE") != std::string::npos;
        const std::string row = grouped ? "a<b\t0.9\t25.2\t36.0\t1.4\t0.5\t64.1\t\n"
                                        : "a<b\t0.9\t25.2\t1.4\t36.0\t0.5\t64.1\t\n";
        const EstimatesTable table =
            Read(std::string(header) + "\n" + row + "far\t0.2\t\t\t\t\t99\tno analog\n",
                 EstimatesMethod::Factor);
        EXPECT_EQ(table.kind, EstimatesKind::FactorEstimates);
        EXPECT_EQ(table.variables, (std::vector<std::string>{"WinSST", "S&P"}));
        ASSERT_EQ(table.rows.size(), 2u);
        EXPECT_EQ(table.rows[0].sample, "a<b");
        EXPECT_EQ(table.rows[0].values, (std::vector<double>{25.2, 36.0})) << header;
        EXPECT_EQ(table.rows[0].spreads, (std::vector<double>{1.4, 0.5})) << header;
        EXPECT_TRUE(table.rows[1].noAnalog);
    }
}

TEST(EstimatesTables, TheOutputsOfBothProgramsAreRecognised) {
    const fs::path root(CORELITH_SOURCE_ROOT);
    const struct {
        fs::path file;
        EstimatesMethod method;
        EstimatesKind kind;
        size_t rows;
    } cases[] = {
        {"engine/tests/golden/example/expected/SST_short.txt", EstimatesMethod::Analog,
         EstimatesKind::AnalogSummary, 110},
        {"engine/tests/golden/basic/expected/basic_estimates.tsv", EstimatesMethod::Analog,
         EstimatesKind::AnalogEstimates, 8},
        {"quillon/tests/golden/example_estimates.tsv", EstimatesMethod::Factor,
         EstimatesKind::FactorEstimates, 110},
    };
    for (const auto& c : cases) {
        const std::string text = testsupport::ReadFile(root / c.file);
        if (text.empty())
            GTEST_SKIP() << c.file << " is not in this checkout";
        EstimatesTable table;
        ReadProblem problem;
        ASSERT_EQ(ReadEstimatesText(text, c.method, table, problem), 0)
            << c.file << " line " << problem.line << ": " << problem.reason;
        EXPECT_EQ(table.kind, c.kind) << c.file;
        EXPECT_EQ(table.rows.size(), c.rows) << c.file;
    }
}

TEST(EstimatesTables, BadTablesNameTheLineAndTheReason) {
    const std::string analog = "Sample\tDissimilarity\tT1\tT1_SD\tT2\tT2_SD\tPercentile\tFlag\n";
    const std::string factor = "Sample\tCommunality\tA\tA_SE\tPercentile\tFlag\n";
    const struct {
        EstimatesMethod method;
        std::string text;
        int line;
        std::string reason;
    } cases[] = {
        {EstimatesMethod::Analog, "", 1, "the file is empty; expected the header of Marvane's"},
        {EstimatesMethod::Analog, "SAMPLE\tDISS\tSD\tT1\tSD\tT2\n", 1,
         "expected the header of Marvane's summary table"},
        {EstimatesMethod::Analog, factor + "x\t1\t2\t3\t4\t\n", 1,
         "this is Quillon's table of estimates, expected the header of Marvane's"},
        {EstimatesMethod::Factor, analog + "x\t1\t2\t3\t4\t5\t6\t\n", 1,
         "this is Marvane's table of estimates, expected the header of Quillon's"},
        {EstimatesMethod::Factor, "Sample\tCommunality\tA\tB_SE\tPercentile\tFlag\n", 1,
         "expected the header of Quillon's"},
        {EstimatesMethod::Factor, "Sample\tCommunality\tA\tA_SE\tA\tA_SE\tPercentile\tFlag\n", 1,
         "expected the header of Quillon's"},
        {EstimatesMethod::Factor, "Sample\tCommunality\tPercentile\tFlag\n", 1,
         "expected the header of Quillon's"},
        {EstimatesMethod::Analog, analog, 2, "no sample follows the header"},
        {EstimatesMethod::Analog, analog + "a\t1\t2\t3\t4\t5\t6\t\nb\t1\t2\t3\t4\t5\t6\n", 3,
         "the line has 7 cells, the header 8"},
        {EstimatesMethod::Analog, analog + "a\t1\t2,5\t3\t4\t5\t6\t\n", 2,
         "column 3 (T1) holds \"2,5\", which is not a number"},
        {EstimatesMethod::Analog, analog + "a\t1\t2\t3\t4\tnan\t6\t\n", 2,
         "column 6 (T2_SD) holds \"nan\", which is not a number"},
        {EstimatesMethod::Analog, analog + "a\t1\t2\t3\t4\t*****\t6\t\n", 2,
         "column 6 (T2_SD) holds \"*****\", which is not a number"},
        {EstimatesMethod::Analog, analog + " \t1\t2\t3\t4\t5\t6\t\n", 2, "the sample has no name"},
        {EstimatesMethod::Factor, factor + "a\t1\t2\t3\t4\tfar\n", 2,
         "the flag is \"far\", expected \"no analog\" or nothing"},
        {EstimatesMethod::Factor, factor + "\na\t1\t2\t3\t4\t\n", 2,
         "the line has 1 cell, the header 6"},
    };
    for (const auto& c : cases) {
        EstimatesTable table;
        ReadProblem problem;
        EXPECT_EQ(ReadEstimatesText(c.text, c.method, table, problem), -1) << c.text;
        EXPECT_EQ(problem.line, c.line) << c.text;
        EXPECT_EQ(problem.reason.rfind(c.reason, 0), 0u) << problem.reason;
        EXPECT_TRUE(table.rows.empty()) << "a failed read leaves the table alone";
    }
}

TEST(DepthTable, NamesDepthsAndTheAxisLabelOfItsHeader) {
    DepthTable table;
    ReadProblem problem;
    ASSERT_EQ(
        ReadDepthText("Sample\tDepth_cm\tAge_ka_BP\r 0 \t0\t0\rV 2\t12.5\t1.3\r", table, problem),
        0);
    EXPECT_EQ(table.axisLabel, "Depth (cm)");
    ASSERT_EQ(table.depths.size(), 2u);
    EXPECT_EQ(table.depths[0].sample, "0");
    EXPECT_EQ(table.depths[1].sample, "V 2");
    EXPECT_EQ(table.depths[1].depth, 12.5);

    ASSERT_EQ(ReadDepthText("a\t-3\n", table, problem), 0);
    EXPECT_EQ(table.axisLabel, "Depth");
    EXPECT_EQ(table.depths.at(0).depth, -3.0);

    for (const auto& [header, label] :
         std::vector<std::pair<std::string, std::string>>{{"Depth_m", "Depth (m)"},
                                                          {"Depth (m)", "Depth (m)"},
                                                          {"", "Depth"},
                                                          {"_cm", "_cm"},
                                                          {"mbsf_", "mbsf_"},
                                                          {"Core_depth_m", "Core_depth (m)"}})
        EXPECT_EQ(AxisLabelOf(header), label) << header;
}

TEST(DepthTable, BadTablesNameTheLineAndTheReason) {
    const struct {
        std::string text;
        int line;
        std::string reason;
    } cases[] = {
        {"", 1, "no sample with its depth"},
        {"Sample\tDepth\n", 2, "no sample with its depth"},
        {"Sample\tDepth\na\t1\nb 2\n", 3, "expected a sample name and its depth"},
        {"Sample\tDepth\na\t1\nb\tdeep\n", 3, "the depth \"deep\" is not a number"},
        {"a\t1\n\tb\n", 2, "the depth \"b\" is not a number"},
        {"a\t1\n\t2\n", 2, "the sample has no name"},
    };
    for (const auto& c : cases) {
        DepthTable table;
        ReadProblem problem;
        EXPECT_EQ(ReadDepthText(c.text, table, problem), -1) << c.text;
        EXPECT_EQ(problem.line, c.line) << c.text;
        EXPECT_EQ(problem.reason.rfind(c.reason, 0), 0u) << problem.reason;
    }
}

} // namespace
} // namespace corelith
