#include "converters/converters.h"

#include "conversion_test_support.h"
#include "tables/tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corelith {
namespace {

using testing::ExpectGolden;
using testing::WorkbenchFixture;

// Raw counts whose last species is the total: S2 has no specimens at all, S4 one specimen
// in a hundred million, and the starred row is left out by the reader.
constexpr char kRawInColumn[] = "Core A\tSpecies\tS1\tS2\tS3\tS4\n"
                                "\tG. ruber\t10\t0\t1\t1\n"
                                "\tG. bulloides\t30\t0\t0\t0\n"
                                "*\tN. pachyderma\t5\t5\t5\t5\n"
                                "\tTotal\t40\t0\t3\t100000000\n";
constexpr char kRawInLine[] = "Core A\t\t\t*\t\n"
                              "Species\tG. ruber\tG. bulloides\tN. pachyderma\tTotal\n"
                              "S1\t10\t30\t5\t40\n"
                              "S2\t0\t0\t5\t0\n"
                              "S3\t1\t0\t5\t3\n"
                              "S4\t1\t0\t5\t100000000\n";

// Percentages; P2 adds up to 0.
constexpr char kPercentInColumn[] = "Core B\tTaxon\tP1\tP2\tP3\n"
                                    "\tA\t20\t0\t1\n"
                                    "\tB\t60\t0\t2\n"
                                    "\tC\t20\t0\t0\n";
constexpr char kPercentInLine[] = "Core B\t\t\t\n"
                                  "Taxon\tA\tB\tC\n"
                                  "P1\t20\t60\t20\n"
                                  "P2\t0\t0\t0\n"
                                  "P3\t1\t2\t0\n";

class ConvertersTest : public WorkbenchFixture {
  protected:
    // Runs `command` on `input` and saves under the proposed name; returns that name.
    std::string Convert(int (*command)(Workbench&), const std::string& input,
                        const std::string& text) {
        Answer({Put(input, text), ":ok"});
        EXPECT_EQ(command(wb_), kConvertDone);
        return platform_.FileRequests().back().initialPath;
    }
};

TEST_F(ConvertersTest, RawDataInColumnGivesPercentagesAndMaxima) {
    const std::string out = Convert(ConvertRawToFrequencyMatrix, "counts.txt", kRawInColumn);
    EXPECT_EQ(out, "counts.txt.HM");
    ExpectGolden(Get(out), "raw_in_column.HM");
    EXPECT_EQ(Dialogs(),
              (std::vector<std::string>{"open: Select data file", "save: Save file as"}));
    EXPECT_EQ(FirstFilter(1), "HM files (*.HM)");
}

TEST_F(ConvertersTest, RawDataInLineGivesTheSameMatrixTurned) {
    SetLayout(SpeciesLayout::InLine);
    const std::string out = Convert(ConvertRawToFrequencyMatrix, "counts.txt", kRawInLine);
    ExpectGolden(Get(out), "raw_in_line.HM");
}

TEST_F(ConvertersTest, RawSpecialCasesOfTheMatrix) {
    const std::string matrix = Convert(ConvertRawToFrequencyMatrix, "counts.txt", kRawInColumn);
    const std::string text = Get(matrix);
    // No positive total: the marker for every species; one millionth of a percent in
    // exponent form; the total itself is not written.
    EXPECT_NE(text.find("\tG. ruber\t33.3333\t25\t-99900\t33.3333\t1E-06\n"), std::string::npos);
    EXPECT_EQ(text.find("Total"), std::string::npos);
}

TEST_F(ConvertersTest, NoPositiveTotalAnywhereGivesEveryMaximumMinus10000) {
    const std::string out = Convert(ConvertRawToFrequencyMatrix, "empty.txt",
                                    "C\tN\tX\tY\n\tA\t1\t2\n\tTotal\t0\t-4\n");
    EXPECT_EQ(Get(out), "C\tN\tfrequency, max\tX\tY\n\tA\t-10000\t-99900\t-99900\n");
}

TEST_F(ConvertersTest, RawDataWithOnlyTheTotal) {
    std::string out =
        Convert(ConvertRawToFrequencyMatrix, "one.txt", "C\tN\tX\tY\n\tTotal\t4\t5\n");
    EXPECT_EQ(Get(out), "C\tN\tfrequency, max\tX\tY\n");

    SetLayout(SpeciesLayout::InLine);
    out = Convert(ConvertRawToFrequencyMatrix, "one-line.txt", "C\t\nN\tTotal\nX\t4\nY\t5\n");
    EXPECT_EQ(Get(out), "C\nN\nfrequency, max\nX\nY\n");
}

TEST_F(ConvertersTest, PercentagesAreRescaledTo100InColumn) {
    const std::string out = Convert(ConvertPercentToFrequencyMatrix, "pct.txt", kPercentInColumn);
    EXPECT_EQ(out, "pct.HM");
    ExpectGolden(Get(out), "percent_in_column.HM");
}

TEST_F(ConvertersTest, PercentagesAreRescaledTo100InLine) {
    SetLayout(SpeciesLayout::InLine);
    const std::string out = Convert(ConvertPercentToFrequencyMatrix, "pct.csv", kPercentInLine);
    EXPECT_EQ(out, "pct.HM");
    ExpectGolden(Get(out), "percent_in_line.HM");
}

TEST_F(ConvertersTest, PercentSampleAddingUpToZeroGetsTheMarker) {
    const std::string out = Convert(ConvertPercentToFrequencyMatrix, "pct.txt", kPercentInColumn);
    const std::string text = Get(out);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("NAN"), std::string::npos);
    EXPECT_EQ(text.find("INF"), std::string::npos);
    // The marker stands in P2, and the maxima come from P1 and P3 alone.
    EXPECT_NE(text.find("\tC\t20\t20\t-99900\t0\n"), std::string::npos) << text;
}

TEST_F(ConvertersTest, MatrixInColumnBecomesADatabaseWithoutTheMaximum) {
    const std::string matrix =
        Convert(ConvertPercentToFrequencyMatrix, "pct.txt", kPercentInColumn);
    Answer({PathOf(matrix), ":ok"});
    EXPECT_EQ(ConvertFrequencyMatrixToDatabase(wb_), kConvertDone);
    EXPECT_EQ(Proposal(3), "pct.HM.N");
    EXPECT_EQ(FirstFilter(2), "HM files (*.HM)");
    EXPECT_EQ(FirstFilter(3), "DB files (*.N)");
    ExpectGolden(Get("pct.HM.N"), "percent_in_column.N");
}

TEST_F(ConvertersTest, MatrixInLineBecomesADatabaseWithoutTheMaximum) {
    SetLayout(SpeciesLayout::InLine);
    const std::string matrix = Convert(ConvertRawToFrequencyMatrix, "counts.txt", kRawInLine);
    Answer({PathOf(matrix), ":ok"});
    EXPECT_EQ(ConvertFrequencyMatrixToDatabase(wb_), kConvertDone);
    ExpectGolden(Get("counts.txt.HM.N"), "raw_in_line.N");
}

TEST_F(ConvertersTest, DatabaseOfAMatrixKeepsSamplesAndSpeciesInHundredthsOfAPercent) {
    const std::string matrix = Convert(ConvertRawToFrequencyMatrix, "counts.txt", kRawInColumn);
    Answer({PathOf(matrix), ":ok"});
    ConvertFrequencyMatrixToDatabase(wb_);
    EXPECT_EQ(Get("counts.txt.HM.N"), "Core A\tSpecies\tS1\tS2\tS3\tS4\n"
                                      "\tG. ruber\t 2500\t-9990000\t 3333\t    0\n"
                                      "\tG. bulloides\t 7500\t-9990000\t    0\t    0\n");
}

TEST_F(ConvertersTest, TableWithoutMaximumLosesItsFirstSample) {
    Answer({Put("plain.txt", "C\tN\tX\tY\n\tA\t0.5\t0.25\n"), ":ok"});
    ConvertFrequencyMatrixToDatabase(wb_);
    EXPECT_EQ(Get("plain.txt.txt"), "C\tN\tY\n\tA\t   25\n");
}

TEST_F(ConvertersTest, DatabaseNameFollowsTheFilterOfTheMatrixName) {
    const char* table = "C\tN\tfrequency, max\tX\n\tA\t1\t1\n";
    Answer({Put("m.txt", table), ":cancel", Put("m.dat", table), ":cancel", Put("m.csv", table),
            ":cancel"});
    ConvertFrequencyMatrixToDatabase(wb_);
    ConvertFrequencyMatrixToDatabase(wb_);
    ConvertFrequencyMatrixToDatabase(wb_);
    EXPECT_EQ(Proposal(1), "m.txt.txt");
    EXPECT_EQ(FirstFilter(1), "Text files (*.txt)");
    EXPECT_EQ(Proposal(3), "m.dat");
    EXPECT_EQ(FirstFilter(3), "All Files (*.*)");
    EXPECT_EQ(Proposal(5), "m.csv.csv");
    EXPECT_EQ(wb_.settings.lastFilter, 2);
}

TEST_F(ConvertersTest, RawNameThatContainsDotNSetsTheDatabaseFilter) {
    Answer({Put("x.new.txt", kRawInColumn), ":cancel"});
    ConvertRawToFrequencyMatrix(wb_);
    EXPECT_EQ(wb_.settings.lastFilter, 8);
    EXPECT_EQ(Proposal(1), "x.new.txt.HM");

    Answer({Put("pct.new.txt", kPercentInColumn), ":cancel"});
    ConvertPercentToFrequencyMatrix(wb_);
    EXPECT_EQ(FirstFilter(2), "DB files (*.N)"); // the open dialog shows LastFilter
    EXPECT_EQ(wb_.settings.lastFilter, 1);       // no ".n" test for percentage tables
    EXPECT_EQ(Proposal(3), "pct.new.HM");
}

TEST_F(ConvertersTest, CancelledDialogsSaveTheSettingsAndWriteNothing) {
    testing::fs::remove(PathOf(kSettingsFileName));
    Answer({":cancel"});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertDone);
    EXPECT_TRUE(Exists(kSettingsFileName));

    testing::fs::remove(PathOf(kSettingsFileName));
    Answer({Put("counts.csv", kRawInColumn), ":cancel"});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertDone);
    EXPECT_FALSE(Exists("counts.csv.HM"));
    // LastFilter 2 after the .csv name is what the settings file remembers.
    EXPECT_NE(SettingsFile().find("\t10.000000\t2\n"), std::string::npos) << SettingsFile();
}

TEST_F(ConvertersTest, MissingInputOrUnwritableOutputEndsQuietlyWithoutSaving) {
    testing::fs::remove(PathOf(kSettingsFileName));
    Answer({PathOf("absent.txt")});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertNoInput);
    Answer({Put("counts.txt", kRawInColumn), PathOf("no-such-folder/out.HM")});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertNoOutput);
    EXPECT_FALSE(Exists(kSettingsFileName));
    EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(ConvertersTest, FailedWriteIsNotReportedAsSuccess) {
    if (!testing::fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    testing::fs::create_symlink("/dev/full", PathOf("full.HM"));
    Answer({Put("counts.txt", kRawInColumn), PathOf("full.HM")});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertNoOutput);
}

TEST_F(ConvertersTest, RefusedTableIsReportedByTheReaderAndNothingIsWritten) {
    std::string table = "C\tN\tX\n";
    for (int i = 1; i <= kMaxSpecies + 1; ++i) {
        table += "\tsp";
        table += std::to_string(i);
        table += "\t1\n";
    }
    testing::fs::remove(PathOf(kSettingsFileName));
    Answer({Put("wide.txt", table), ":ok"});
    EXPECT_EQ(ConvertRawToFrequencyMatrix(wb_), kConvertNoInput);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0], "message 139: Species overflow. Maximum: 500");
    EXPECT_EQ(platform_.FileRequests().size(), 1u);
    EXPECT_EQ(platform_.AnswersLeft(), 1u);
    EXPECT_TRUE(Exists(kSettingsFileName));
}

TEST(SampleRatioTest, UndefinedWithoutAFinitePositiveTotal) {
    EXPECT_EQ(SampleRatio(1.0f, 0.0f), kUndefinedRatio);
    EXPECT_EQ(SampleRatio(1.0f, -2.0f), kUndefinedRatio);
    EXPECT_EQ(SampleRatio(3.0e38f, 1.0e-30f), kUndefinedRatio); // no finite percentage
    EXPECT_FLOAT_EQ(SampleRatio(1.0f, 4.0f), 0.25f);
}

} // namespace
} // namespace corelith
