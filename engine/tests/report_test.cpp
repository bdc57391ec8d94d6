#include "engine/report.h"

#include <gtest/gtest.h>

#include <sstream>

namespace marvane {
namespace {

template <class Writer> std::string Text(Writer writer) {
    std::ostringstream out;
    writer(out);
    return out.str();
}

ReferenceRow Station() {
    ReferenceRow row;
    row.name = "V12-122     ";
    row.latitudeDegrees = 17.0f;
    row.latitudeMinutes = 0.0f;
    row.longitudeDegrees = -74.0f;
    row.longitudeMinutes = -22.98f;
    row.depth = 2800;
    row.env1 = 26.5f;
    row.env2 = 28.0f;
    return row;
}

TEST(report_test, halt_messages) {
    EXPECT_EQ(Text([](std::ostream& o) { WriteHeaderFlagHalt(o); }),
              "\nYOU HAVE NOT INDICATED IF THERE ARE HEADER CARDS IN\n"
              "THE ANALOG OR SUBJECT INPUT FILES.  PLEASE CHECK.\n"
              "***** HALT EXECUTION\n");
    EXPECT_EQ(Text([](std::ostream& o) { WriteAnalogNoSpeciesHalt(o, 7); }),
              "\nTHERE ARE NO SPECIES IN ANALOG CORE   7.\n"
              "PLEASE CHECK YOUR INPUT.\n"
              "***** HALT EXECUTION\n");
    EXPECT_EQ(Text([](std::ostream& o) { WriteSubjectNoSpeciesHalt(o, 12); }),
              "\nTHERE ARE NO SPECIES IN SUBJECT SAMPLE 12.\n"
              "PLEASE CHECK YOUR DATA.\n"
              "***** EXECUTION TERMINATED\n");
}

TEST(report_test, analog_lines_line_up_under_their_headings) {
    const std::string withPositions = Text([](std::ostream& o) {
        WriteAnalogTableHeading(o, 1);
        WriteAnalogLine(o, Station(), 0.04237f, 1);
    });
    EXPECT_EQ(withPositions, "\nTHE TOP ANALOGS, ACCORDING TO THE DISSIMILARITY VALUE, ARE:\n\n"
                             "   CORE         LAT    LON    DEPTH  ENV1   ENV2    DISS\n"
                             "V12-122       17   0 -74 -22  2800  26.50  28.00  0.0424\n");
    const std::string withoutPositions = Text([](std::ostream& o) {
        WriteAnalogTableHeading(o, 0);
        WriteAnalogLine(o, Station(), 0.6f, 0);
    });
    EXPECT_EQ(withoutPositions.substr(withoutPositions.find("   CORE")),
              "   CORE                             ENV1   ENV2       DISS\n"
              "V12-122" +
                  std::string(28, ' ') + "26.50  28.00     0.6000\n");
}

TEST(report_test, environment_values_too_wide_for_their_field_show_asterisks) {
    ReferenceRow row = Station();
    row.env1 = 100.0f;
    row.env2 = -10.0f;
    EXPECT_EQ(Text([&](std::ostream& o) { WriteAnalogLine(o, row, 0.1f, 0); }),
              "V12-122" + std::string(28, ' ') + "*****  *****     0.1000\n");
    StatisticsResult r;
    r.env1.mean = 100.0f;
    EXPECT_EQ(Text([&](std::ostream& o) { WriteSummaryRow(o, row.name, r); }),
              "V12-122     \t  0.0000\t  0.0000\t*****\t 0.00\t 0.00\t 0.00\n");
    EXPECT_EQ(Text([&](std::ostream& o) { WriteSstLine(o, row); }),
              "V12-122      17.  0.    -74.-23.     *****     *****\n");
}

TEST(report_test, a_longitude_of_minus_120_fits_sst_tot_but_not_an_f4_field) {
    ReferenceRow row = Station();
    row.longitudeDegrees = -120.0f;
    EXPECT_EQ(Text([&](std::ostream& o) { WriteSstLine(o, row); }),
              "V12-122      17.  0.   -120.-23.     26.50     28.00\n");
    Project project;
    project.analogHeaderFlag = 1;
    project.speciesCount = 1;
    std::string error;
    ASSERT_EQ(
        ParseFormat("(A12,2F4.0,4X,2F4.0,4X,I4/12X,1F4.0/12X/12X)", project.analogFormat, error),
        0);
    row.proportions[0] = 1.0f;
    std::ostringstream fauna;
    ASSERT_EQ(WriteWithFormat(fauna, project.analogFormat, FaunaItems(row, project), error), 0);
    EXPECT_EQ(fauna.str(), "V12-122      17.  0.    ****-23.    2800\n            100.\n\n\n");
}

TEST(report_test, statistics_block) {
    StatisticsResult r;
    r.diss = {0.0573f, 0.013f, 0.0424f, 0.0661f, 0.0f, 0.0f};
    r.env1 = {26.3333f, 0.1445f, 26.25f, 26.5f, 26.333f, 0.1421f};
    r.env2 = {-1.5f, 0.5774f, -2.0f, -1.0f, -1.4999f, 0.5699f};
    EXPECT_EQ(Text([&](std::ostream& o) { WriteStatisticsBlock(o, r); }),
              "\nTHE STATISTICS BELOW ARE FOR THE SORTED CORES:\n\n"
              "          MEAN      SIGMA     MIN       MAX      W-MEAN    W-SIGMA\n"
              "DISS      0.0573    0.0130    0.0424    0.0661    -----     -----\n"
              "ENV1     26.3333    0.1445   26.2500   26.5000   26.3330    0.1421\n"
              "ENV2     -1.5000    0.5774   -2.0000   -1.0000   -1.4999    0.5699\n");
}

TEST(report_test, summary_table_header_and_row) {
    StatisticsResult r;
    r.diss.mean = 0.0181f;
    r.diss.sigma = 0.0256f;
    r.env1.mean = 26.25f;
    r.env2.mean = 27.5f;
    r.env2.sigma = 0.7071f;
    EXPECT_EQ(Text([&](std::ostream& o) {
                  WriteSummaryHeader(o);
                  WriteSummaryRow(o, "0           ", r);
              }),
              "SAMPLE\tDISS\tSD\tT1\tSD\tT2\tSD\n"
              "0           \t  0.0181\t  0.0256\t26.25\t 0.00\t27.50\t 0.71\n");
}

TEST(report_test, closing_info_lines_name_the_target_and_the_shares) {
    Project project;
    project.maxAnalogs = 10;
    project.excludeBestAnalog = 1;
    project.subjectCount = 8;
    EXPECT_EQ(Text([&](std::ostream& o) { WriteInfoClosing(o, project, 3, 1); }),
              "\nNber of samples with fewer than  9 best analogs selected:   3  i.e., 37.5%\n"
              "Nber of samples with only 2 best analogs selected:   1  i.e., 12.5%\n");
    // 100 per cent does not fit F4.1.
    EXPECT_EQ(Text([&](std::ostream& o) { WriteInfoClosing(o, project, 8, 0); }),
              "\nNber of samples with fewer than  9 best analogs selected:   8  i.e., ****%\n"
              "Nber of samples with only 2 best analogs selected:   0  i.e.,  0.0%\n");
}

TEST(report_test, sample_heading_and_info_sample_lines) {
    EXPECT_EQ(Text([](std::ostream& o) { WriteSampleHeading(o, 12); }),
              "\n********************* START OF SAMPLE NUMBER   12 *********************\n"
              "YOUR INPUT CORE (IN PERCENT FORM) IS:\n");
    EXPECT_EQ(Text([](std::ostream& o) {
                  WriteInfoSampleStart(o, 3);
                  WriteInfoAnalog(o, 1, 0.0424f);
                  WriteInfoAnalogCount(o, 0);
              }),
              "\nNew sample   3\n"
              " Best analogs selected    Diss coeff\n"
              "        1" +
                  std::string(17, ' ') +
                  "0.04240000\n"
                  " Nber of mod. analogs selected:       0\n");
}

TEST(report_test, list_directed_reals_keep_seven_significant_digits) {
    EXPECT_EQ(ListReal(5.0f), "       5.000000");
    EXPECT_EQ(ListReal(-1.25f), "      -1.250000");
    EXPECT_EQ(ListReal(0.0f), "       0.000000");
    EXPECT_EQ(ListReal(26.25f), "       26.25000");
    EXPECT_EQ(ListReal(1.0e-7f), "   1.000000e-07");
    EXPECT_EQ(ListReal(-3.0e38f), "  -3.000000e+38");
    EXPECT_EQ(ListInteger(11187), "   11187");
}

TEST(report_test, list_directed_reals_choose_their_notation_from_the_exponent_alone) {
    // Whatever lies in memory after the converted digits must not change the notation.
    EXPECT_EQ(ListReal(0.03300001f), "     0.03300001");
    EXPECT_EQ(ListReal(1.034f), "       1.034000");
    EXPECT_EQ(ListReal(0.0001f), "   0.0001000000");
    EXPECT_EQ(ListReal(0.00001f), "   1.000000e-05");
    EXPECT_EQ(ListReal(12345678.0f), "   1.234568e+07");
}

TEST(report_test, virtual_sample_names) {
    EXPECT_EQ(VirtualSampleName(7), "----   7----");
    EXPECT_EQ(VirtualSampleName(4990), "----4990----");
    // With the limits lifted there can be more: the names stay 12 characters and distinct.
    EXPECT_EQ(VirtualSampleName(9999), "----9999----");
    EXPECT_EQ(VirtualSampleName(10000), "---10000----");
    EXPECT_EQ(VirtualSampleName(12345678), "12345678----");
    EXPECT_EQ(VirtualSampleName(123456789), "---123456789");
    EXPECT_EQ(VirtualSampleName(2147483647), "--2147483647");
}

TEST(report_test, list_directed_integers_are_never_cut) {
    EXPECT_EQ(ListInteger(12345678), "12345678");
    EXPECT_EQ(ListInteger(123456789), " 123456789");
    EXPECT_EQ(ListInteger(-5), "      -5");
}

TEST(report_test, the_subject_echo_shows_percentages_through_the_subject_descriptor) {
    Project project;
    project.speciesCount = 3;
    project.subjectHeaderFlag = 1;
    std::string error;
    ASSERT_EQ(ParseFormat("(A12,2F6.1,I5/12X,3F4.0)", project.subjectFormat, error), 0);
    SubjectSample sample;
    sample.name = "0-1cm       ";
    sample.headerReal1 = 12.5f;
    sample.headerReal2 = -3.0f;
    sample.headerInteger = 80;
    sample.proportions[0] = 0.125f;
    sample.proportions[1] = 0.5f;
    sample.proportions[2] = 0.375f;
    std::ostringstream out;
    ASSERT_EQ(WriteWithFormat(out, project.subjectFormat, SubjectEchoItems(sample, project), error),
              0);
    EXPECT_EQ(out.str(), "0-1cm         12.5  -3.0   80\n"
                         "             13. 50. 38.\n");
}

} // namespace
} // namespace marvane
