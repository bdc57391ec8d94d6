#include "tables/readers.h"

#include "platform/scripted/scripted_platform.h"
#include "testing/test_support.h"
#include "textio/file_layer.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <clocale>

namespace corelith {
namespace {

constexpr float kEmpty = -999.99f;
constexpr SpeciesLayout kInColumn = SpeciesLayout::InColumn;
constexpr SpeciesLayout kInLine = SpeciesLayout::InLine;

class ReadersTest : public ::testing::Test {
  protected:
    ReadersTest() : wb(platform) { AllocateTables(wb.tables); }
    ~ReadersTest() override {
        for (std::FILE* f : open_)
            CloseFile(f);
    }

    // Writes `content` byte for byte and opens it the way the commands do.
    std::FILE* File(const std::string& content) {
        const std::string name = "t" + std::to_string(open_.size()) + ".txt";
        folder_.Write(name, content);
        std::FILE* f = OpenForReading(folder_.File(name), "rb");
        EXPECT_NE(f, nullptr);
        open_.push_back(f);
        return f;
    }

    int Reference(const std::string& content, SpeciesLayout layout) {
        return ReadReferenceTable(wb, File(content), layout, species, samples, wb.tables.species,
                                  wb.tables.reference);
    }
    int Core(const std::string& content, SpeciesLayout layout, CoreReadMode mode = Plain) {
        return ReadCoreTable(wb, File(content), layout, mode, species, samples, wb.tables.species,
                             wb.tables.core);
    }
    int Environment(const std::string& content, int checkNames = 0) {
        return ReadEnvironmentTable(wb, File(content), variables, stations, checkNames,
                                    wb.tables.reference, wb.tables.environment);
    }
    int Locations(const std::string& content) {
        return ReadLocationTable(wb, File(content), stations, wb.tables.locations);
    }

    const std::string& SpeciesName(int s) const {
        return wb.tables.species.names[static_cast<size_t>(s)];
    }
    const std::string& SampleName(const SampleTable& t, int k) const {
        return t.names[static_cast<size_t>(k)];
    }
    std::vector<std::string> Messages() const { return platform.Messages(); }

    ScriptedPlatform platform;
    Workbench wb;
    int species = -1, samples = -1, variables = -1, stations = -1;

  private:
    testsupport::TempDir folder_;
    std::vector<std::FILE*> open_;
};

// ---------------------------------------------------------------- ReadLine

TEST_F(ReadersTest, ReadLineTakesEveryKindOfLineEnd) {
    std::FILE* f = File("ab\r\ncd\ref\n\ngh");
    std::string line;
    EXPECT_EQ(ReadLine(f, line, 10000), 3);
    EXPECT_EQ(line, "ab");
    EXPECT_EQ(ReadLine(f, line, 10000), 3);
    EXPECT_EQ(line, "cd");
    EXPECT_EQ(ReadLine(f, line, 10000), 3);
    EXPECT_EQ(line, "ef");
    EXPECT_EQ(ReadLine(f, line, 10000), 1); // an empty line stays a line
    EXPECT_EQ(line, "");
    EXPECT_EQ(ReadLine(f, line, 10000), -3); // the last line has no line end
    EXPECT_EQ(line, "gh");
    EXPECT_EQ(ReadLine(f, line, 10000), -1);
    EXPECT_EQ(line, "");
}

TEST_F(ReadersTest, ReadLineKeepsByteFFAndSkipsAByteOrderMark) {
    std::FILE* f = File("\xEF\xBB\xBFSt\xFFn\n\xEF\xBB\xBFx\n");
    std::string line;
    EXPECT_EQ(ReadLine(f, line, 10000), 5);
    EXPECT_EQ(line, "St\xFFn");
    EXPECT_EQ(ReadLine(f, line, 10000), 5); // a mark inside the file is data
    EXPECT_EQ(line, "\xEF\xBB\xBFx");
}

TEST_F(ReadersTest, ReadLineStopsAtItsLimit) {
    std::FILE* f = File("abcdef\nxy\n");
    std::string line;
    EXPECT_EQ(ReadLine(f, line, 4), -4);
    EXPECT_EQ(line, "abcd");
    EXPECT_EQ(ReadLine(f, line, 4), 3);
    EXPECT_EQ(line, "ef");
    EXPECT_EQ(ReadLine(f, line, 2), 3); // exactly the limit, then the line end
    EXPECT_EQ(line, "xy");
}

// ---------------------------------------------------------------- ReplaceAll

TEST(ReplaceAllTest, ReplacesEveryOccurrence) {
    std::string text = "12,5\t3,25\t,";
    EXPECT_EQ(ReplaceAll(text, ",", "."), 3);
    EXPECT_EQ(text, "12.5\t3.25\t.");
    std::string restart = "x.txt.txt.cap";
    EXPECT_EQ(ReplaceAll(restart, ".txt.", "."), 2); // each replacement restarts the search
    EXPECT_EQ(restart, "x.cap");
    std::string none = "abc";
    EXPECT_EQ(ReplaceAll(none, "", "x"), 0);
    EXPECT_EQ(ReplaceAll(none, "d", "x"), 0);
    EXPECT_EQ(none, "abc");
}

TEST(ReplaceAllTest, AReplacementContainingThePatternEnds) {
    std::string text = "a,b,c";
    EXPECT_EQ(ReplaceAll(text, ",", ",,"), 2);
    EXPECT_EQ(text, "a,,b,,c");
}

TEST(ReplaceAllTest, LongTextsAreNotCut) {
    std::string text(20000, ',');
    EXPECT_EQ(ReplaceAll(text, ",", ".."), 20000);
    EXPECT_EQ(text, std::string(40000, '.'));
}

// ---------------------------------------------------------------- reference, species in column

TEST_F(ReadersTest, ReferenceInColumn) {
    ASSERT_EQ(Reference("Flag\tSpecies\tV17-196\tV18-110\n"
                        "\tO.univ\t1.5\t2\n"
                        "*\tG.cglob\t9\t9\n"
                        "\tG.ruber*\t9\t9\n"
                        "\tG.bullo\t9\t9*\n"
                        "\n"
                        "x\n"
                        "\tG.tenel\t\t4e1\t77\n"
                        "\tG.sacc\t12,5\tn.d.",
                        kInColumn),
              0);
    EXPECT_EQ(species, 3);
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(wb.tables.cornerLabel, "Flag");
    EXPECT_EQ(SampleName(wb.tables.reference, 0), "Species");
    EXPECT_EQ(SampleName(wb.tables.reference, 2), "V18-110");
    EXPECT_EQ(SpeciesName(1), "O.univ");
    EXPECT_EQ(SpeciesName(2), "G.tenel");
    EXPECT_EQ(SpeciesName(3), "G.sacc");
    const SampleTable& t = wb.tables.reference;
    EXPECT_FLOAT_EQ(t.Value(1, 1), 1.5f);
    EXPECT_FLOAT_EQ(t.Value(2, 1), 2.0f);
    EXPECT_FLOAT_EQ(t.Value(1, 2), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 2), 40.0f);
    EXPECT_FLOAT_EQ(t.Value(1, 3), 12.0f); // no comma conversion in reference tables
    EXPECT_FLOAT_EQ(t.Value(2, 3), 0.0f);  // not a number
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(platform.CurrentCursor(), Cursor::Arrow);
    EXPECT_EQ(platform.Log(), (std::vector<std::string>{"cursor: wait", "cursor: arrow"}));
}

TEST_F(ReadersTest, NoValueSurvivesFromAnEarlierRead) {
    ASSERT_EQ(Reference("F\tS\ta\tb\tc\n\tsp1\t1\t2\t3\n\tsp2\t4\t5\t6\n", kInColumn), 0);
    ASSERT_EQ(Reference("F\tS\ta\tb\tc\n\tsp1\t7\n\tsp2\t8\t\t9x\n", kInColumn), 0);
    const SampleTable& t = wb.tables.reference;
    EXPECT_FLOAT_EQ(t.Value(1, 1), 7.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 1), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(3, 1), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 2), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(3, 2), 9.0f);
}

TEST_F(ReadersTest, EmptyFileIsAnEmptyTable) {
    wb.tables.cornerLabel = "old";
    EXPECT_EQ(Reference("", kInColumn), 0);
    EXPECT_EQ(species, 0);
    EXPECT_EQ(samples, 0);
    EXPECT_EQ(wb.tables.cornerLabel, "");
    EXPECT_EQ(Reference("", kInLine), 0);
    EXPECT_EQ(species, 0);
    EXPECT_EQ(samples, 0);
    EXPECT_EQ(Core("", kInColumn), 0);
    EXPECT_EQ(Core("", kInLine), 0);
    EXPECT_EQ(species, 0);
    EXPECT_EQ(samples, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReadersTest, NamesAreCutTo63Characters) {
    const std::string longName(70, 'n');
    // 62 ASCII bytes and a two-byte character would end at byte 64: it goes whole.
    const std::string accented = std::string(62, 'a') + "\xC3\xA9" + "z";
    ASSERT_EQ(Reference("F\tS\t" + longName + "\t" + accented + "\n\t" + longName + "\t1\t2\n",
                        kInColumn),
              0);
    EXPECT_EQ(SampleName(wb.tables.reference, 1), std::string(63, 'n'));
    EXPECT_EQ(SampleName(wb.tables.reference, 2), std::string(62, 'a'));
    EXPECT_EQ(SpeciesName(1), std::string(63, 'n'));
}

TEST_F(ReadersTest, ATrailingTabInTheHeaderOpensNoSample) {
    ASSERT_EQ(Reference("F\tS\ta\tb\t\n\tsp\t1\t2\t3\n", kInColumn), 0);
    EXPECT_EQ(samples, 2);
}

std::string ColumnTable(int speciesCount, int sampleCount) {
    std::string text = "Flag\tSpecies";
    for (int k = 1; k <= sampleCount; ++k) {
        text += "\tS";
        text += std::to_string(k);
    }
    text += "\n";
    for (int s = 1; s <= speciesCount; ++s) {
        text += "\tsp";
        text += std::to_string(s);
        for (int k = 1; k <= sampleCount; ++k) {
            text += "\t";
            text += std::to_string(s);
            text += ".00000";
            text += std::to_string(k % 10);
        }
        text += "\n";
    }
    return text;
}

TEST_F(ReadersTest, FiveHundredSpeciesInColumnFitAndOneMoreDoesNot) {
    ASSERT_EQ(Reference(ColumnTable(500, 2), kInColumn), 0);
    EXPECT_EQ(species, 500);
    EXPECT_FLOAT_EQ(wb.tables.reference.Value(2, 500), 500.000002f);
    EXPECT_EQ(Reference(ColumnTable(501, 2), kInColumn), -2);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 139: Species overflow. Maximum: 500"}));
    EXPECT_EQ(Core(ColumnTable(501, 2), kInColumn), -3);
    EXPECT_EQ(platform.BeepCount(), 2);
}

TEST_F(ReadersTest, SampleCapacityInColumnFitsAndOneMoreDoesNot) {
    const int capacity = wb.tables.sampleCapacity;
    ASSERT_EQ(capacity, 1367);
    // These lines are far longer than 10,000 characters and must be read whole.
    const std::string full = ColumnTable(2, capacity);
    ASSERT_GT(full.find('\n', full.find('\n') + 1) - full.find('\n'), 10000u);
    ASSERT_EQ(Reference(full, kInColumn), 0);
    EXPECT_EQ(samples, capacity);
    EXPECT_EQ(species, 2);
    EXPECT_EQ(SampleName(wb.tables.reference, capacity), "S1367");
    EXPECT_FLOAT_EQ(wb.tables.reference.Value(capacity, 2), 2.000007f);
    EXPECT_EQ(Reference(ColumnTable(2, capacity + 1), kInColumn), -1);
    EXPECT_EQ(Core(ColumnTable(2, capacity + 1), kInColumn), -1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 137: Reference sample overflow. Maximum: 1367",
                                        "message 145: Core sample overflow. Maximum: 1367"}));
}

// ---------------------------------------------------------------- species in line

TEST_F(ReadersTest, ReferenceInLine) {
    ASSERT_EQ(Reference("Flag\t\t*\tx*\t\n"
                        "Sample\tO.univ\tG.cglob\tG.ruber\tG.tenel\n"
                        "V17-196\t1\t2\t3\t4\t5\n"
                        "\n"
                        "V18-110\t6\t\t8",
                        kInLine),
              0);
    EXPECT_EQ(species, 3);
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(wb.tables.cornerLabel, "Flag");
    EXPECT_EQ(SampleName(wb.tables.reference, 0), "Sample");
    EXPECT_EQ(SpeciesName(1), "O.univ");
    EXPECT_EQ(SpeciesName(2), "G.ruber"); // "x*" keeps its column
    EXPECT_EQ(SpeciesName(3), "G.tenel");
    EXPECT_EQ(wb.tables.columnMap[1], 1);
    EXPECT_EQ(wb.tables.columnMap[2], 0);
    EXPECT_EQ(wb.tables.columnMap[3], 2);
    EXPECT_EQ(wb.tables.columnMap[4], 3);
    const SampleTable& t = wb.tables.reference;
    EXPECT_EQ(SampleName(t, 2), "V18-110");
    EXPECT_FLOAT_EQ(t.Value(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(t.Value(1, 2), 3.0f);
    EXPECT_FLOAT_EQ(t.Value(1, 3), 4.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 1), 6.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 2), 8.0f);
    EXPECT_FLOAT_EQ(t.Value(2, 3), 0.0f); // the line ends early
}

std::string LineTable(int columns, int sampleCount, int leftOut = 0) {
    std::string text = "Flag";
    std::string names = "Sample";
    for (int c = 1; c <= columns; ++c) {
        text += c == leftOut ? "\t*" : "\t";
        names += "\tsp";
        names += std::to_string(c);
    }
    text += "\n" + names + "\n";
    for (int k = 1; k <= sampleCount; ++k) {
        text += "S";
        text += std::to_string(k);
        for (int c = 1; c <= columns; ++c) {
            text += "\t";
            text += std::to_string(c);
        }
        text += "\n";
    }
    return text;
}

TEST_F(ReadersTest, FiveHundredSpeciesColumnsFitAndOneMoreDoesNot) {
    ASSERT_EQ(Reference(LineTable(500, 3), kInLine), 0);
    EXPECT_EQ(species, 500);
    EXPECT_FLOAT_EQ(wb.tables.reference.Value(3, 500), 500.0f);
    EXPECT_EQ(Reference(LineTable(501, 3, 1), kInLine), -2); // a left-out column counts too
    EXPECT_EQ(Core(LineTable(501, 3), kInLine), -3);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 139: Species overflow. Maximum: 500",
                                        "message 139: Species overflow. Maximum: 500"}));
}

TEST_F(ReadersTest, SampleCapacityInLineFitsAndOneMoreDoesNot) {
    const int capacity = wb.tables.sampleCapacity;
    ASSERT_EQ(Reference(LineTable(3, capacity), kInLine), 0);
    EXPECT_EQ(samples, capacity);
    EXPECT_EQ(SampleName(wb.tables.reference, capacity), "S1367");
    EXPECT_EQ(Reference(LineTable(3, capacity + 1), kInLine), -1);
    EXPECT_EQ(Core(LineTable(3, capacity + 1), kInLine), -1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 137: Reference sample overflow. Maximum: 1367",
                                        "message 145: Core sample overflow. Maximum: 1367"}));
}

// ---------------------------------------------------------------- core reader

TEST_F(ReadersTest, CoreDecimalCommas) {
    ASSERT_EQ(Core("F\tS\t0 cm\t10 cm\n\tG,ruber\t12,5\t1\n\tG.sacc\t3\t4\n", kInColumn), 0);
    EXPECT_FLOAT_EQ(wb.tables.core.Value(1, 1), 12.5f);
    EXPECT_EQ(SpeciesName(1), "G,ruber");     // names keep their commas
    EXPECT_EQ(wb.tables.decimalCommaFlag, 0); // the last data line had no comma
    // A comma in the name alone is no decimal comma.
    ASSERT_EQ(Core("F\tS\t0 cm\n\tG.sp, indet\t1.5\n", kInColumn), 0);
    EXPECT_EQ(SpeciesName(1), "G.sp, indet");
    EXPECT_EQ(wb.tables.decimalCommaFlag, 0);
    ASSERT_EQ(Core("F\tS\t0 cm\n\tsp\t1\n\tsp2\t2,25\n*\tx\t1\n", kInColumn), 0);
    EXPECT_FLOAT_EQ(wb.tables.core.Value(1, 2), 2.25f);
    EXPECT_EQ(wb.tables.decimalCommaFlag, 1);
}

TEST_F(ReadersTest, CoreDecimalCommasInLineLeaveTheSampleName) {
    ASSERT_EQ(Core("F\t\t\nS\ta\tb\n12,5 cm\t1,5\t2\n", kInLine), 0);
    EXPECT_EQ(SampleName(wb.tables.core, 1), "12,5 cm");
    EXPECT_FLOAT_EQ(wb.tables.core.Value(1, 1), 1.5f);
    EXPECT_EQ(wb.tables.decimalCommaFlag, 1);
    ASSERT_EQ(Core("F\t\t\nS\ta\tb\n12,5 cm\t1\t2\n", kInLine), 0);
    EXPECT_EQ(wb.tables.decimalCommaFlag, 0);
}

TEST_F(ReadersTest, CoreComparesSpeciesWithTheReference) {
    ASSERT_EQ(Reference("F\tS\tr1\n\tG. ruber\t1\n\tG. sacc\t2\n", kInColumn), 0);
    EXPECT_EQ(Core("F\tS\tc1\n\tG. ruber\t1\n\tG. sacc\t2\n", kInColumn, CompareSpecies), 0);
    EXPECT_EQ(Core("F\tS\tc1\n\tG. ruber\t1\n\tG. ruber pink\t2\n", kInColumn, CompareSpecies), -2);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"message 138: The names of species are not "
                                                    "equal:\\n>G. sacc<\\n>G. ruber pink<"}));
    EXPECT_EQ(SpeciesName(2), "G. sacc");
    EXPECT_EQ(Core("F\t\t\nS\tG. ruber\tg. sacc\nc1\t1\t2\n", kInLine, CompareSpecies), -2);
    EXPECT_EQ(Messages().back(),
              "message 138: The names of species are not equal:\\n>G. sacc<\\n>g. sacc<");
}

TEST_F(ReadersTest, CoreSkipsTheExtraColumnOrLine) {
    ASSERT_EQ(Core("F\tS\tDepth\tc1\tc2\n\tsp\t99\t1\t2\n", kInColumn, SkipExtraColumn), 0);
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(SampleName(wb.tables.core, 0), "Depth");
    EXPECT_EQ(SampleName(wb.tables.core, 1), "c1");
    EXPECT_FLOAT_EQ(wb.tables.core.Value(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(wb.tables.core.Value(2, 1), 2.0f);
    ASSERT_EQ(Core("F\t\nS\tsp\nextra\t99\nc1\t5\n", kInLine, SkipExtraColumn), 0);
    EXPECT_EQ(samples, 1);
    EXPECT_FLOAT_EQ(wb.tables.core.Value(1, 1), 5.0f);
}

// ---------------------------------------------------------------- environment reader

TEST_F(ReadersTest, Environment) {
    ASSERT_EQ(Environment("Station\tWinSST\tSumSST\tSalinity\n"
                          "V17-196\t-1\t5\t33.5\n"
                          "x\n"
                          "V18-110\t\t5,5\n"),
              0);
    EXPECT_EQ(variables, 3);
    EXPECT_EQ(stations, 2);
    const EnvironmentTable& e = wb.tables.environment;
    EXPECT_EQ(e.variableNames[0], "Station");
    EXPECT_EQ(e.variableNames[3], "Salinity");
    EXPECT_EQ(e.stationNames[2], "V18-110");
    EXPECT_FLOAT_EQ(e.Value(1, 1), -1.0f);
    EXPECT_FLOAT_EQ(e.Value(1, 3), 33.5f);
    EXPECT_EQ(e.Value(2, 1), kEmpty);
    EXPECT_FLOAT_EQ(e.Value(2, 2), 5.0f); // no comma conversion
    EXPECT_EQ(e.Value(2, 3), kEmpty);     // not given: empty, not the 33.5 above
    EXPECT_EQ(e.Value(2, 3), -999.989990234375f);
}

TEST_F(ReadersTest, EnvironmentHeaderWithoutTab) {
    const std::string header(70, 'h');
    ASSERT_EQ(Environment(header + "\nst\t12\n"), 0);
    EXPECT_EQ(variables, 1);
    EXPECT_EQ(wb.tables.environment.variableNames[1], std::string(63, 'h'));
    EXPECT_FLOAT_EQ(wb.tables.environment.Value(1, 1), 12.0f);
}

TEST_F(ReadersTest, EnvironmentWithElevenVariablesFails) {
    EXPECT_EQ(Environment("St\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\ns\t1\n"), -1);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 142: To many environments. Maximum: 10"}));
    ASSERT_EQ(
        Environment("St\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\ns\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\n"),
        0);
    EXPECT_EQ(variables, 10);
    EXPECT_FLOAT_EQ(wb.tables.environment.Value(1, 10), 10.0f);
}

TEST_F(ReadersTest, EnvironmentComparesStationNames) {
    wb.tables.reference.names[1] = "V17-196";
    wb.tables.reference.names[2] = "V18-110";
    EXPECT_EQ(Environment("S\tT\nV17-196\t1\nV18-110\t2\n", 1), 0);
    EXPECT_EQ(Environment("S\tT\nV17-196\t1\nV18-110 \t2\n", 1), -2);
    EXPECT_EQ(stations, 1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"message 143: The names of stations are not "
                                                    "equal:\\n>V18-110<\\n>V18-110 <"}));
    EXPECT_EQ(Environment("S\tT\nV17-196\t1\nother\t2\n", 0), 0);
}

TEST_F(ReadersTest, EnvironmentStationOverflow) {
    std::string text = "S\tT\n";
    for (int k = 0; k <= wb.tables.sampleCapacity; ++k)
        text += "s\t1\n";
    EXPECT_EQ(Environment(text), -3);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 144: Hydrographic station overflow. Maximum: 1367"}));
}

// ---------------------------------------------------------------- location reader

TEST_F(ReadersTest, LocationsInDegreesAndMinutes) {
    wb.tables.locations.stations[3].name = "old";
    wb.tables.locations.stations[3].depth = 5;
    ASSERT_EQ(Locations("Station\tLat\tLon\tDepth\n"
                        "A\t-12.25\t350.5\t2818\n"
                        "B\t60.733\t-57.833\t\n"
                        "\n"),
              0);
    EXPECT_EQ(stations, 2);
    const Location& a = wb.tables.locations.stations[1];
    EXPECT_EQ(a.name, "A");
    EXPECT_FLOAT_EQ(a.latitudeDegrees, -12.0f);
    EXPECT_FLOAT_EQ(a.latitudeMinutes, -15.0f);
    EXPECT_FLOAT_EQ(a.longitudeDegrees, -9.0f);
    EXPECT_FLOAT_EQ(a.longitudeMinutes, -30.0f);
    EXPECT_FLOAT_EQ(a.depth, 2818.0f);
    const Location& b = wb.tables.locations.stations[2];
    EXPECT_FLOAT_EQ(b.latitudeDegrees, 60.0f);
    EXPECT_NEAR(b.latitudeMinutes, 43.98f, 1e-3);
    EXPECT_FLOAT_EQ(b.longitudeDegrees, -57.0f);
    EXPECT_NEAR(b.longitudeMinutes, -49.98f, 1e-3);
    EXPECT_EQ(b.depth, kEmpty);
    EXPECT_EQ(wb.tables.locations.stations[3].name, "");
    EXPECT_EQ(wb.tables.locations.stations[3].depth, 0.0f);
}

TEST_F(ReadersTest, LocationLineWithFewCellsGivesEmptyCells) {
    ASSERT_EQ(Locations("h\nonly name\nC\t10.5\n"), 0);
    const Location& a = wb.tables.locations.stations[1];
    EXPECT_EQ(a.name, "only name");
    // An empty latitude goes through the conversion like any value.
    EXPECT_FLOAT_EQ(a.latitudeDegrees, -999.0f);
    EXPECT_NEAR(a.latitudeMinutes, -59.4f, 1e-3);
    EXPECT_EQ(a.depth, kEmpty);
    const Location& c = wb.tables.locations.stations[2];
    EXPECT_FLOAT_EQ(c.latitudeMinutes, 30.0f);
    EXPECT_FLOAT_EQ(c.longitudeDegrees, -999.0f);
}

TEST_F(ReadersTest, LocationOverflowIsReported) {
    std::string text = "h\n";
    for (int k = 0; k <= wb.tables.sampleCapacity; ++k)
        text += "s\t1\t2\t3\n";
    EXPECT_EQ(Locations(text), -1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 144: Hydrographic station overflow. Maximum: 1367"}));
}

// ---------------------------------------------------------------- encodings and locale

std::string Utf16(const std::string& ascii, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : ascii) {
        if (little) {
            out += c;
            out += '\0';
        } else {
            out += '\0';
            out += c;
        }
    }
    return out;
}

TEST_F(ReadersTest, Utf16FilesAreReadAsText) {
    const std::string table = "Station\tWinSST\r\nV17-196\t-1.5\r\n";
    for (bool little : {true, false}) {
        ASSERT_EQ(Environment(Utf16(table, little)), 0);
        EXPECT_EQ(stations, 1);
        EXPECT_EQ(wb.tables.environment.variableNames[1], "WinSST");
        EXPECT_EQ(wb.tables.environment.stationNames[1], "V17-196");
        EXPECT_FLOAT_EQ(wb.tables.environment.Value(1, 1), -1.5f);
    }
    // A character outside the basic plane and a lone surrogate.
    std::string odd = "\xFF\xFE" + std::string("S\0\t\0T\0\n\0", 8) +
                      std::string("\x3C\xD8\x0E\xDF", 4) + std::string("\x00\xDC\t\0001\0", 6);
    ASSERT_EQ(Environment(odd), 0);
    EXPECT_EQ(wb.tables.environment.stationNames[1], "\xF0\x9F\x8C\x8E\xEF\xBF\xBD");
}

TEST_F(ReadersTest, Utf8ByteOrderMarkIsNotPartOfTheCornerLabel) {
    ASSERT_EQ(Reference("\xEF\xBB\xBF"
                        "Flag\tSpecies\ta\n\tsp\t1\n",
                        kInColumn),
              0);
    EXPECT_EQ(wb.tables.cornerLabel, "Flag");
}

TEST_F(ReadersTest, NumbersIgnoreTheProcessLocaleAndSpecialForms) {
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    ASSERT_EQ(Reference("F\tS\ta\tb\tc\td\n\tsp\t1.5\tinf\tnan\t0x10\n", kInColumn), 0);
    if (german != nullptr)
        std::setlocale(LC_ALL, "C");
    const SampleTable& t = wb.tables.reference;
    EXPECT_FLOAT_EQ(t.Value(1, 1), 1.5f);
    EXPECT_FLOAT_EQ(t.Value(2, 1), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(3, 1), 0.0f);
    EXPECT_FLOAT_EQ(t.Value(4, 1), 0.0f);
}

} // namespace
} // namespace corelith
