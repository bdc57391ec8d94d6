#include "engine/samples.h"

#include <gtest/gtest.h>

#include <sstream>

namespace marvane {
namespace {

Project MakeProject(int speciesCount, int analogCount, int analogHeaderFlag, int subjectHeaderFlag,
                    const std::string& analogFormat, const std::string& subjectFormat) {
    Project p;
    p.speciesCount = speciesCount;
    p.analogCount = analogCount;
    p.subjectCount = 1;
    p.analogHeaderFlag = analogHeaderFlag;
    p.subjectHeaderFlag = subjectHeaderFlag;
    std::string error;
    EXPECT_EQ(ParseFormat(analogFormat, p.analogFormat, error), 0);
    EXPECT_EQ(ParseFormat(subjectFormat, p.subjectFormat, error), 0);
    EXPECT_EQ(ParseFormat("(13X,F5.2,5X,F5.2)", p.environmentFormat, error), 0);
    return p;
}

// Three species in the workbench's record layout.
const char* const kReferenceFile = "V12-122     +017+000    -074-023    2800\n"
                                   "            001200300058\n"
                                   "\n"
                                   "\n"
                                   "EMPTY       +010+030    -120-000      50\n"
                                   "            000000000000\n"
                                   "\n"
                                   "\n";

TEST(samples_test, reads_environment_pairs_one_record_each) {
    const Project p = MakeProject(3, 2, 1, 0, "(A12)", "(A12)");
    ReferenceTable table;
    table.rows.resize(2);
    std::istringstream stream("V12-122      26.50     28.00\n"
                              "V22-174      -1.00      5.50\n"
                              "EXTRA        99.00     99.00\n");
    RecordInput input{&stream, "x.env", "", 0};
    std::string error;
    ASSERT_EQ(ReadEnvironmentFile(input, p, table, error), 0) << error;
    EXPECT_EQ(table.rows[0].env1, 26.5f);
    EXPECT_EQ(table.rows[0].env2, 28.0f);
    EXPECT_EQ(table.rows[1].env1, -1.0f);
    EXPECT_EQ(table.rows[1].env2, 5.5f);
    EXPECT_EQ(input.recordNumber, 2); // the extra record is never read
}

TEST(samples_test, an_environment_file_with_too_few_records_ends_the_run) {
    const Project p = MakeProject(3, 3, 1, 0, "(A12)", "(A12)");
    ReferenceTable table;
    table.rows.resize(3);
    std::istringstream stream("A            1.00      2.00\nB            3.00      4.00\n");
    RecordInput input{&stream, "x.env", "", 0};
    std::string error;
    EXPECT_EQ(ReadEnvironmentFile(input, p, table, error), -1);
    EXPECT_EQ(error, "file \"x.env\" ends after record 2, but more records are needed "
                     "(env1 of reference sample 3)");
}

TEST(samples_test, reads_a_reference_sample_with_its_position_header) {
    const Project p =
        MakeProject(3, 2, 1, 0, "(A12,2F4.0,4X,2F4.0,4X,I4/12X,3F4.0/12X/12X)", "(A12)");
    std::istringstream stream(kReferenceFile);
    RecordInput input{&stream, "x.ref", "", 0};
    ReferenceRow row;
    std::string error;
    ASSERT_EQ(ReadReferenceSample(input, p, 1, row, error), 0) << error;
    EXPECT_EQ(row.name, "V12-122     ");
    EXPECT_EQ(row.latitudeDegrees, 17.0f);
    EXPECT_EQ(row.longitudeDegrees, -74.0f);
    EXPECT_EQ(row.longitudeMinutes, -23.0f);
    EXPECT_EQ(row.depth, 2800);
    EXPECT_EQ(row.proportions[0], 12.0f);
    EXPECT_EQ(row.proportions[2], 58.0f);
    EXPECT_EQ(row.proportions[3], 0.0f);
    EXPECT_EQ(ConvertToProportions(row.proportions, 3), ProportionResult::Done);
    EXPECT_EQ(row.proportions[0], 0.12f);
    EXPECT_EQ(row.proportions[1], 0.3f);
    EXPECT_EQ(row.proportions[2], 0.58f);

    ReferenceRow empty;
    ASSERT_EQ(ReadReferenceSample(input, p, 2, empty, error), 0) << error;
    EXPECT_EQ(empty.longitudeDegrees, -120.0f);
    EXPECT_EQ(ConvertToProportions(empty.proportions, 3), ProportionResult::NoSpecies);
}

TEST(samples_test, counts_and_percentages_of_one_assemblage_give_the_same_proportions) {
    Proportions counts{};
    counts[0] = 6;
    counts[1] = 15;
    counts[2] = 29;
    Proportions percentages{};
    percentages[0] = 12;
    percentages[1] = 30;
    percentages[2] = 58;
    ASSERT_EQ(ConvertToProportions(counts, 3), ProportionResult::Done);
    ASSERT_EQ(ConvertToProportions(percentages, 3), ProportionResult::Done);
    EXPECT_EQ(counts, percentages);
    EXPECT_EQ(counts[1], 0.3f);
}

TEST(samples_test, only_the_project_species_count_enters_the_sum) {
    Proportions values{};
    values[0] = 1;
    values[1] = 3;
    values[2] = 1000; // beyond speciesCount 2
    ASSERT_EQ(ConvertToProportions(values, 2), ProportionResult::Done);
    EXPECT_EQ(values[0], 0.25f);
    EXPECT_EQ(values[2], 1000.0f);
}

TEST(samples_test, a_sum_beyond_single_precision_is_refused) {
    Proportions values{};
    values[0] = 3.0e38f;
    values[1] = 3.0e38f;
    EXPECT_EQ(ConvertToProportions(values, 2), ProportionResult::TooLarge);
}

TEST(samples_test, a_negative_species_value_is_refused_where_it_stands) {
    const Project p = MakeProject(3, 1, 0, 0, "(A12/12X,3F4.0/12X/12X)", "(A12)");
    std::istringstream stream("R1\n            0012-0050058\n\n\n");
    RecordInput input{&stream, "x.ref", "", 0};
    ReferenceRow row;
    std::string error;
    EXPECT_EQ(ReadReferenceSample(input, p, 1, row, error), -1);
    EXPECT_EQ(error, "file \"x.ref\", record 2, column 17: species 2 has the negative value -5 "
                     "(reference sample 1)");
}

TEST(samples_test, reads_a_subject_sample_with_sixteen_species_over_four_records) {
    const Project p = MakeProject(16, 1, 0, 0, "(A12)", "(A12/12X,15F4.0/12X,1F4.0/12X)");
    std::string file = "0-1cm       +017+000    -074-023    2800\n            ";
    for (int v = 1; v <= 15; ++v) {
        file += "0001";
    }
    file += "\n            0005\n\nNEXT\n";
    std::istringstream stream(file);
    RecordInput input{&stream, "x.sam", "", 0};
    SubjectSample sample;
    std::string error;
    ASSERT_EQ(ReadSubjectSample(input, p, 1, sample, error), 0) << error;
    EXPECT_EQ(sample.name, "0-1cm       ");
    EXPECT_EQ(sample.proportions[15], 5.0f);
    ASSERT_EQ(ConvertToProportions(sample.proportions, 16), ProportionResult::Done);
    EXPECT_EQ(sample.proportions[15], 0.25f);
    EXPECT_EQ(input.recordNumber, 4);
}

TEST(samples_test, a_subject_header_gives_two_reals_and_an_integer) {
    const Project p = MakeProject(2, 1, 0, 1, "(A12)", "(A12,2F6.1,I5/12X,2F4.0)");
    std::istringstream stream("S1            12.5 -33.0 1234\n            00010003\n");
    RecordInput input{&stream, "x.sam", "", 0};
    SubjectSample sample;
    std::string error;
    ASSERT_EQ(ReadSubjectSample(input, p, 1, sample, error), 0) << error;
    EXPECT_EQ(sample.headerReal1, 12.5f);
    EXPECT_EQ(sample.headerReal2, -33.0f);
    EXPECT_EQ(sample.headerInteger, 1234);
    EXPECT_EQ(sample.proportions[1], 3.0f);
}

TEST(samples_test, the_subject_descriptor_must_match_its_header_flag) {
    // The workbench's subject descriptor reads the name only; with subjectHeaderFlag 1
    // the integer item meets an F field.
    const Project p = MakeProject(3, 1, 0, 1, "(A12)", "(A12/12X,3F4.0/12X/12X)");
    std::istringstream stream("S1\n            000100020003\n\n\n");
    RecordInput input{&stream, "x.sam", "", 0};
    SubjectSample sample;
    std::string error;
    EXPECT_EQ(ReadSubjectSample(input, p, 1, sample, error), -1);
    EXPECT_EQ(error, "file \"x.sam\", record 2: the format descriptor has F4.0 for an integer "
                     "value (the third header value of subject sample 1)");
}

} // namespace
} // namespace marvane
