// The workload generator writes the engine files the way the workbench writes them.
#include "engine/workload/workload.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

namespace marvane::workload {
namespace {

namespace fs = std::filesystem;

using testsupport::ReadFile;
using testsupport::TempDir;

ProjectData SmallProject() {
    ProjectData data;
    data.speciesNames.push_back("Globigerina bulloides");
    for (const char* name :
         {"Glo", "Orbulina", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P"}) {
        data.speciesNames.push_back(name);
    }
    Sample north;
    north.name = "NORTH-ATLANTIC-1";
    north.values.assign(16, 0.0f);
    north.values[0] = 12.0f;
    north.values[15] = 30.5f;
    north.latitude = 45.5f;
    north.longitude = 350.5f; // stored as -9 degrees and -30 minutes
    north.depth = 3120.0f;
    north.env1 = 12.5f;
    north.env2 = -1.75f;
    Sample south = north;
    south.name = "SOUTH";
    south.latitude = -12.25f;
    south.longitude = 20.0f;
    south.depth = -999.99f; // unknown
    south.values.assign(16, 0.0f);
    south.values[3] = 10000.0f; // five digits: the whole sample is scaled down
    south.values[4] = 2.0f;
    data.references = {north, south};
    data.subjects = {south};
    return data;
}

TEST(workload_test, writes_the_four_engine_files_in_the_workbench_layout) {
    TempDir dir;
    std::string error;
    ASSERT_EQ(WriteProject(SmallProject(), dir.path().string(), "small", error), 0) << error;
    for (const char* name : {"small.pro", "small.ref", "small.sam", "small.env"}) {
        const std::string actual = ReadFile(dir.path() / name);
        testsupport::ExpectGolden(fs::path(MARVANE_GOLDEN_DIR) / "workload" / "expected" / name,
                                  actual);
    }
}

TEST(workload_test, refuses_a_value_that_would_shift_its_line) {
    ProjectData data = SmallProject();
    data.references[0].env1 = 100.0f;
    TempDir dir;
    std::string error;
    EXPECT_EQ(WriteProject(data, dir.path().string(), "small", error), -1);
    EXPECT_EQ(error, "sample \"NORTH-ATLANTIC-1\": the first environmental value 100 does not "
                     "fit its 5 columns");
}

TEST(workload_test, the_large_workload_stays_within_the_engine_limits) {
    ProjectData data;
    std::string error;
    ASSERT_EQ(MakeNamedWorkload("large", "", data, error), 0) << error;
    EXPECT_EQ(data.references.size(), 4000u);
    EXPECT_EQ(data.speciesNames.size(), 45u);
    EXPECT_EQ(data.subjects.size(), 1000u);
    EXPECT_EQ(data.maxAnalogs, 50);
    GridChoice choice;
    ASSERT_EQ(ChooseGridStep(data, 50000, choice, error), 0) << error;
    EXPECT_EQ(choice.gridStep, data.gridStep);
    EXPECT_LE(choice.generatedNodes, 50000);
    EXPECT_GT(choice.generatedNodes, 45000);
    ASSERT_EQ(ChooseSearchRadius(data, 5000, 0.3f, choice, error), 0) << error;
    EXPECT_EQ(choice.searchRadius, data.searchRadius);
    EXPECT_LE(4000 + choice.virtualRows, 5000);
    EXPECT_GT(4000 + choice.virtualRows, 4900);
}

TEST(workload_test, an_unknown_workload_or_a_missing_table_is_named) {
    ProjectData data;
    std::string error;
    EXPECT_EQ(MakeNamedWorkload("huge", "", data, error), -1);
    EXPECT_EQ(error, "unknown workload \"huge\" (large, typical, forcens or forcens-global)");
    EXPECT_EQ(MakeNamedWorkload("forcens", "/nonexistent", data, error), -1);
    EXPECT_EQ(error, "\"/nonexistent/ForCenS_coretop_species-in-line.tsv\" cannot be opened");
}

} // namespace
} // namespace marvane::workload
