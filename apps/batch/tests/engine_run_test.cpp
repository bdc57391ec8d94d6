// The whole road of an analog estimate: the workbench builds a project from real tables and
// the engine, run as its own process, turns it into estimates.
#include "analogproject/analog_project.h"

#include "apps/batch/batch.h"
#include "shell/commands.h"
#include "workbench/analogproject/tests/analog_test_support.h"

#include <cstdlib>
#include <sstream>

namespace corelith {
namespace {

using analogtest::ExampleTables;
using analogtest::ScriptedWorkbench;

#ifdef MARVANE_EXE

// One row of the engine's summary table.
struct Estimate {
    std::string sample;
    double dissimilarity = 0, first = 0, second = 0;
};

std::vector<Estimate> ReadSummary(const std::string& text) {
    std::vector<Estimate> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream cells(line);
        std::string name, diss, sd1, t1, sd2, t2;
        std::getline(cells, name, '\t');
        std::getline(cells, diss, '\t');
        std::getline(cells, sd1, '\t');
        std::getline(cells, t1, '\t');
        std::getline(cells, sd2, '\t');
        std::getline(cells, t2, '\t');
        const auto trimmed = name.substr(0, name.find_last_not_of(' ') + 1);
        rows.push_back(
            {trimmed, std::atof(diss.c_str()), std::atof(t1.c_str()), std::atof(t2.c_str())});
    }
    return rows;
}

// Runs the engine in `folder` on the project `name` of that folder, answering its console
// dialog: the folder, the file name, and Return at the final pause.
int RunMarvane(const testsupport::TempDir& folder, const std::string& name) {
    folder.Write("console_answers.txt", folder.Folder() + "\n" + name + "\n\n");
    return testsupport::RunInFolder(folder.path(), MARVANE_EXE, {}, "console_answers.txt",
                                    "console.txt");
}

class EngineRunTest : public ::testing::Test {
  protected:
    void CopyExampleTables() {
        for (const auto& entry : std::filesystem::directory_iterator(ExampleTables()))
            if (entry.path().extension() == ".txt")
                folder_.Copy(entry.path(), entry.path().filename().string());
    }
    // Answers for command 12 on the example tables: layout "1" (in column) or "2" (in
    // line), data format "1" (raw) or "2" (percent).
    std::vector<std::string> ExampleAnswers(const std::string& project, const char* layout,
                                            const char* data) const {
        const std::string suffix = layout[0] == '1' ? "column.txt" : "line.txt";
        return {folder_.File(project),
                layout,
                data,
                folder_.File("reference_locations.txt"),
                folder_.File("reference_species-in-" + suffix),
                folder_.File("environment.txt"),
                folder_.File("core_V12-122_locations.txt"),
                folder_.File("core_V12-122_species-in-" + suffix)};
    }
    int BuildScripted(const std::vector<std::string>& answers) {
        ScriptedWorkbench bench(folder_, answers);
        const int result = RunCommand(bench.wb, kCmdVelmarProject);
        EXPECT_TRUE(bench.platform.Messages().empty());
        return result;
    }
    // Runs the engine on `project` and returns its summary table.
    std::vector<Estimate> Estimates(const std::string& project) {
        EXPECT_EQ(RunMarvane(folder_, project), 0) << folder_.Read("console.txt");
        EXPECT_NE(folder_.Read("console.txt").find("Ready. Press return..."), std::string::npos)
            << folder_.Read("console.txt");
        return ReadSummary(folder_.Read("SST_short.txt"));
    }

    testsupport::TempDir folder_;
};

// Winter and summer temperature of the last core top, V12-122 itself.
constexpr double kV12WinterTemperature = 26.5;
constexpr double kV12SummerTemperature = 28.0;

void ExpectExampleEstimates(const std::vector<Estimate>& rows) {
    ASSERT_EQ(rows.size(), 110u);
    EXPECT_EQ(rows.front().sample, "0");
    EXPECT_EQ(rows.back().sample, "1090");
    for (const Estimate& row : rows) {
        EXPECT_GT(row.first, 15.0) << row.sample;
        EXPECT_LT(row.first, 28.0) << row.sample;
        EXPECT_GT(row.second, row.first - 0.5) << row.sample;
        EXPECT_LT(row.second, 30.0) << row.sample;
        EXPECT_GE(row.dissimilarity, 0.0) << row.sample;
    }
    // The top sample has the core top of its own core among its analogs.
    EXPECT_NEAR(rows.front().first, kV12WinterTemperature, 2.0);
    EXPECT_NEAR(rows.front().second, kV12SummerTemperature, 2.0);
}

TEST_F(EngineRunTest, ExampleTablesInBothLayoutsGiveTheSameEstimates) {
    CopyExampleTables();
    ASSERT_EQ(BuildScripted(ExampleAnswers("column.pro", "1", "2")), kAnalogProjectDone);
    const std::string referenceFromColumns = folder_.Read("reference_species-in-column.ref");
    const std::vector<Estimate> fromColumns = Estimates("column.pro");
    ExpectExampleEstimates(fromColumns);
    const std::string summary = folder_.Read("SST_short.txt");

    ASSERT_EQ(BuildScripted(ExampleAnswers("line.pro", "2", "2")), kAnalogProjectDone);
    EXPECT_EQ(folder_.Read("reference_species-in-line.ref"), referenceFromColumns);
    EXPECT_EQ(folder_.Read("core_V12-122_species-in-line.sam"),
              folder_.Read("core_V12-122_species-in-column.sam"));
    Estimates("line.pro");
    EXPECT_EQ(folder_.Read("SST_short.txt"), summary);
}

TEST_F(EngineRunTest, RawDataOfTheExampleGiveEstimatesToo) {
    // Percentages read as raw data lose their decimals, so the estimates move a little.
    CopyExampleTables();
    for (const char* layout : {"1", "2"}) {
        ASSERT_EQ(BuildScripted(ExampleAnswers("raw.pro", layout, "1")), kAnalogProjectDone);
        ExpectExampleEstimates(Estimates("raw.pro"));
    }
}

TEST_F(EngineRunTest, TheBatchFrontEndBuildsTheSameProject) {
    CopyExampleTables();
    ASSERT_EQ(BuildScripted(ExampleAnswers("scripted.pro", "2", "2")), kAnalogProjectDone);
    const std::string reference = folder_.Read("reference_species-in-line.ref");
    const std::string core = folder_.Read("core_V12-122_species-in-line.sam");
    const std::string environment = folder_.Read("environment.env");

    // As a script would type it: relative names, taken from the working folder.
    const std::vector<std::string> args = {"12",
                                           "batch.pro",
                                           "2",
                                           "2",
                                           "reference_locations.txt",
                                           "reference_species-in-line.txt",
                                           "environment.txt",
                                           "core_V12-122_locations.txt",
                                           "core_V12-122_species-in-line.txt"};
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch(args, out, err, {folder_.Folder(), folder_.Folder(), folder_.Folder()}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "result 0\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(folder_.Read("reference_species-in-line.ref"), reference);
    EXPECT_EQ(folder_.Read("core_V12-122_species-in-line.sam"), core);
    EXPECT_EQ(folder_.Read("environment.env"), environment);
    ExpectExampleEstimates(Estimates("batch.pro"));
}

// The large MARGO Atlantic core-top set (1,055 samples, 29 taxa, counts and percentages
// mixed by row, 373 unknown depths) with the 42 LGM samples of MD95-2040. Skipped where the
// shared data are not installed.
TEST_F(EngineRunTest, MargoAtlanticCoreTopsEstimateTheLgmOfMd952040) {
    const std::filesystem::path large =
        std::filesystem::path(CORELITH_SOURCE_ROOT) / ".." / "shared" / "data" / "large";
    if (!std::filesystem::exists(large / "MARGO-Atlantic_coretop_species-in-line.tsv"))
        GTEST_SKIP() << "no large data at " << large;
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"MARGO-Atlantic_coretop_locations.tsv", "refloc.txt"},
        {"MARGO-Atlantic_coretop_species-in-line.tsv", "coretop.txt"},
        {"MARGO-Atlantic_coretop_env.tsv", "env.txt"},
        {"MARGO-Atlantic_MD95-2040-LGM_locations.tsv", "coreloc.txt"},
        {"MARGO-Atlantic_MD95-2040-LGM_species-in-line.tsv", "md95.txt"}};
    std::vector<std::string> answers = {folder_.File("margo.pro"), "2", "2"};
    for (const auto& [from, to] : tables) {
        folder_.Copy(large / from, to);
        answers.push_back(folder_.File(to));
    }
    ASSERT_EQ(BuildScripted(answers), kAnalogProjectDone);
    // Unknown depths travel as -999; count rows are divided down to four digits.
    EXPECT_NE(folder_.Read("coretop.ref").find("    -999\n"), std::string::npos);
    const std::vector<Estimate> rows = Estimates("margo.pro");
    ASSERT_EQ(rows.size(), 42u);
    for (const Estimate& row : rows) {
        // Glacial Iberian margin: colder than today's 13-19 degrees, but not polar.
        EXPECT_GT(row.first, 2.0) << row.sample;
        EXPECT_LT(row.first, 16.0) << row.sample;
        EXPECT_GT(row.second, row.first) << row.sample;
        EXPECT_LT(row.second, 22.0) << row.sample;
    }
}

#else

TEST(EngineRunTest, NeedsTheEngine) {
    GTEST_SKIP() << "built without the marvane target";
}

#endif

} // namespace
} // namespace corelith
