#include "engine/project.h"

#include <gtest/gtest.h>

#include <sstream>

namespace marvane {
namespace {

// The project file the workbench writes for 23 species.
std::vector<std::string> WorkbenchLines() {
    return {"C:\\d\\core.sam",
            "C:\\d\\ref.ref",
            "C:\\d\\env.env",
            "C:\\d\\SST_complete.txt",
            "C:\\d\\SST_short.txt",
            "01",
            "23   12  187 1 10 0.250 0.300",
            "Globi Neogl ",
            "",
            "",
            "(A12/",
            "12X,15F4.0/",
            "12X,8F4.0/12X)",
            "(A12,2F4.0,4X,2F4.0,4X,I4/",
            "12X,15F4.0/",
            "12X,8F4.0/12X)",
            "(13X,F5.2,5X,F5.2)"};
}

std::string Join(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string text;
    for (const std::string& line : lines) {
        text += line + end;
    }
    return text;
}

int Read(const std::string& text, Project& project, std::string& error) {
    std::istringstream in(text);
    return ReadProject(in, "run.pro", project, error);
}

std::string ReadError(const std::string& text) {
    Project project;
    std::string error;
    EXPECT_EQ(Read(text, project, error), -1);
    return error;
}

std::string LimitError(const std::string& line7) {
    auto lines = WorkbenchLines();
    lines[6] = line7;
    Project project;
    std::string error;
    EXPECT_EQ(Read(Join(lines), project, error), 0) << error;
    EXPECT_EQ(CheckProjectLimits(project, "run.pro", error), -1) << line7;
    return error;
}

TEST(project_test, reads_the_workbench_project_file) {
    Project p;
    std::string error;
    ASSERT_EQ(Read(Join(WorkbenchLines(), "\r\n"), p, error), 0) << error;
    EXPECT_EQ(p.subjectPath, "C:\\d\\core.sam");
    EXPECT_EQ(p.analogPath, "C:\\d\\ref.ref");
    EXPECT_EQ(p.environmentPath, "C:\\d\\env.env");
    EXPECT_EQ(p.listingPath, "C:\\d\\SST_complete.txt");
    EXPECT_EQ(p.summaryPath, "C:\\d\\SST_short.txt");
    EXPECT_EQ(p.subjectHeaderFlag, 0);
    EXPECT_EQ(p.analogHeaderFlag, 1);
    EXPECT_EQ(p.speciesCount, 23);
    EXPECT_EQ(p.subjectCount, 12);
    EXPECT_EQ(p.analogCount, 187);
    EXPECT_EQ(p.excludeBestAnalog, 1);
    EXPECT_EQ(p.maxAnalogs, 10);
    EXPECT_EQ(p.gridStep, 0.25f);
    EXPECT_EQ(p.searchRadius, 0.3f);
    EXPECT_EQ(p.speciesCodes[0], "Globi Neogl ");
    EXPECT_EQ(p.subjectFormat.elements.size(), 9u);
    EXPECT_EQ(p.analogFormat.elements.size(), 14u);
    EXPECT_EQ(p.environmentFormat.elements.size(), 4u);
    EXPECT_EQ(CheckProjectLimits(p, "run.pro", error), 0);
}

TEST(project_test, paths_are_read_whole_without_trailing_blanks) {
    auto lines = WorkbenchLines();
    const std::string longPath =
        "/home/researcher/projects/caribbean/2024/cores/" + std::string(60, 'x') + "/core file.sam";
    lines[0] = longPath + "      ";
    Project p;
    std::string error;
    ASSERT_EQ(Read(Join(lines), p, error), 0) << error;
    EXPECT_GT(longPath.size(), 80u);
    EXPECT_EQ(p.subjectPath, longPath);
}

TEST(project_test, a_blank_flag_column_reads_as_zero_and_implied_decimals_apply) {
    auto lines = WorkbenchLines();
    lines[5] = " 1";
    lines[6] = " 3    2    4 0  2   250  1500";
    Project p;
    std::string error;
    ASSERT_EQ(Read(Join(lines), p, error), 0) << error;
    EXPECT_EQ(p.subjectHeaderFlag, 0);
    EXPECT_EQ(p.analogHeaderFlag, 1);
    EXPECT_EQ(p.gridStep, 0.25f);
    EXPECT_EQ(p.searchRadius, 1.5f);
    EXPECT_EQ(p.maxAnalogs, 2);
}

TEST(project_test, header_flags_other_than_zero_and_one_are_read_for_the_run_to_halt_on) {
    auto lines = WorkbenchLines();
    lines[5] = "21";
    Project p;
    std::string error;
    ASSERT_EQ(Read(Join(lines), p, error), 0) << error;
    EXPECT_EQ(p.subjectHeaderFlag, 2);
    EXPECT_EQ(p.analogHeaderFlag, 1);
}

TEST(project_test, a_short_project_file_names_the_missing_record) {
    auto lines = WorkbenchLines();
    lines.pop_back();
    EXPECT_EQ(ReadError(Join(lines)),
              "file \"run.pro\" ends after record 16, but more records are needed");
}

TEST(project_test, an_unreadable_parameter_names_its_record_and_columns) {
    auto lines = WorkbenchLines();
    lines[6] = "23   12  1x7 1 10 0.250 0.300";
    EXPECT_EQ(ReadError(Join(lines)),
              "file \"run.pro\", record 7, columns 9-12: \" 1x7\" cannot be read with I4");
    lines = WorkbenchLines();
    lines[5] = "0y";
    EXPECT_EQ(ReadError(Join(lines)),
              "file \"run.pro\", record 6, columns 2-2: \"y\" cannot be read with I1");
}

TEST(project_test, an_invalid_descriptor_names_its_first_record) {
    auto lines = WorkbenchLines();
    lines[12] = "12X,8F4.0/12X";
    EXPECT_EQ(ReadError(Join(lines)), "file \"run.pro\", record 11: invalid format descriptor "
                                      "\"(A12/12X,15F4.0/12X,8F4.0/12X\": unbalanced parentheses");
    lines = WorkbenchLines();
    lines[14] = "12X,15G4.0/";
    EXPECT_NE(ReadError(Join(lines)).find("record 14: invalid format descriptor"),
              std::string::npos);
    lines = WorkbenchLines();
    lines[16] = "13X,F5.2,5X,F5.2";
    EXPECT_EQ(ReadError(Join(lines)),
              "file \"run.pro\", record 17: invalid format descriptor "
              "\"13X,F5.2,5X,F5.2\": the descriptor does not begin with '('");
}

TEST(project_test, descriptor_lines_are_cut_at_eighty_characters) {
    auto lines = WorkbenchLines();
    lines[16] = std::string(80, ' ') + "(13X,F5.2,5X,F5.2)";
    EXPECT_EQ(ReadError(Join(lines)), "file \"run.pro\", record 17: invalid format descriptor "
                                      "\"\": the descriptor does not begin with '('");
}

TEST(project_test, refuses_each_limit_by_name) {
    EXPECT_EQ(
        LimitError("46   12  187 1 10 0.250 0.300"),
        "file \"run.pro\", record 7: speciesCount 46 is outside the limits of 1 to 45 species");
    EXPECT_EQ(
        LimitError(" 0   12  187 1 10 0.250 0.300"),
        "file \"run.pro\", record 7: speciesCount 0 is outside the limits of 1 to 45 species");
    EXPECT_EQ(LimitError("23    0  187 1 10 0.250 0.300"),
              "file \"run.pro\", record 7: subjectCount 0 leaves no subject sample to estimate "
              "(at least 1 is needed)");
    EXPECT_EQ(LimitError("23   12 5001 1 10 0.250 0.300"),
              "file \"run.pro\", record 7: analogCount 5001 is outside the limits of 1 to 5000 "
              "reference samples");
    EXPECT_EQ(LimitError("23   12   -1 1 10 0.250 0.300"),
              "file \"run.pro\", record 7: analogCount -1 is outside the limits of 1 to 5000 "
              "reference samples");
    EXPECT_EQ(LimitError("23   12  187 2 10 0.250 0.300"),
              "file \"run.pro\", record 7: excludeBestAnalog 2 must be 0 or 1");
    EXPECT_EQ(LimitError("23   12  187 1 51 0.250 0.300"),
              "file \"run.pro\", record 7: maxAnalogs 51 is outside the limits of 1 to 50 analogs");
    EXPECT_EQ(LimitError("23   12  187 1  0 0.250 0.300"),
              "file \"run.pro\", record 7: maxAnalogs 0 is outside the limits of 1 to 50 analogs");
    EXPECT_EQ(LimitError("23   12  187 1 10 0.000 0.300"),
              "file \"run.pro\", record 7: gridStep 0 must be greater than 0");
    EXPECT_EQ(LimitError("23   12  187 1 10 0.250 -0.30"),
              "file \"run.pro\", record 7: searchRadius -0.3 must not be negative");
}

TEST(project_test, the_limits_themselves_are_accepted) {
    for (const char* line : {"45    1 5000 0 50 0.250 0.000", " 1    1    1 1  1 0.001 0.300"}) {
        auto lines = WorkbenchLines();
        lines[6] = line;
        Project p;
        std::string error;
        ASSERT_EQ(Read(Join(lines), p, error), 0) << error;
        EXPECT_EQ(CheckProjectLimits(p, "run.pro", error), 0) << line << ": " << error;
    }
}

} // namespace
} // namespace marvane
