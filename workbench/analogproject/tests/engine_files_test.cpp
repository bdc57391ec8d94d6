#include "analogproject/engine_files.h"
#include "textio/text_cut.h"

#include "analog_test_support.h"

#include <cmath>
#include <limits>

namespace corelith {
namespace {

using analogtest::ScriptedWorkbench;

class EngineFilesTest : public ::testing::Test {
  protected:
    EngineFilesTest() : bench_(folder_, {}) {}

    Workbench& Wb() { return bench_.wb; }
    std::vector<std::string> Messages() const { return bench_.platform.Messages(); }

    void SetSpecies(const std::vector<std::string>& names) {
        for (size_t s = 0; s < names.size(); ++s)
            Wb().tables.species.names[s + 1] = names[s];
    }
    static void SetSample(SampleTable& table, int row, const std::string& name,
                          const std::vector<float>& values) {
        table.names[static_cast<size_t>(row)] = name;
        for (size_t s = 0; s < values.size(); ++s)
            table.Value(row, static_cast<int>(s) + 1) = values[s];
    }
    void SetLocation(int row, const std::string& name, float latitudeDegrees, float latitudeMinutes,
                     float longitudeDegrees, float longitudeMinutes, float depth) {
        Wb().tables.locations.stations[static_cast<size_t>(row)] = {
            name, latitudeDegrees, latitudeMinutes, longitudeDegrees, longitudeMinutes, depth};
    }
    void SetStation(int row, const std::string& name, float first, float second) {
        Wb().tables.environment.stationNames[static_cast<size_t>(row)] = name;
        Wb().tables.environment.Value(row, 1) = first;
        Wb().tables.environment.Value(row, 2) = second;
    }

    // The reference file of `samples` samples with `species` species, slot 1; on success
    // the text, on failure "refused".
    std::string Reference(int species, int samples) {
        std::string text;
        const SampleSources sources{"reference", "/d/ref.txt", "/d/loc.txt"};
        if (WriteReferenceFile(Wb(), text, sources, species, samples, 1) != 0)
            return "refused";
        return text;
    }
    std::string Environment(int variables, int stations) {
        std::string text;
        if (WriteEnvironmentFile(Wb(), text, "/d/env.txt", variables, stations) != 0)
            return "refused";
        return text;
    }

    testsupport::TempDir folder_;
    ScriptedWorkbench bench_;
};

// One sample: a header record of 40 characters and three value records of 72.
constexpr size_t kSampleLength = 41 + 3 * 73;
const std::string kZeroLine = std::string(12, ' ') + std::string(60, '0') + "\n";

TEST(PutFieldTest, PadsUpToTheFieldAndRefusesAnotherWidth) {
    std::string line = "ab";
    EXPECT_TRUE(PutField(line, {5, 2}, "xy"));
    EXPECT_EQ(line, "ab  xy");
    EXPECT_FALSE(PutField(line, {9, 4}, "12345"));
    EXPECT_FALSE(PutField(line, {9, 4}, "123"));
    EXPECT_FALSE(PutField(line, {3, 2}, "zz")); // behind text already written
    EXPECT_EQ(line, "ab  xy");
}

TEST(DescriptorTest, SwitchesFormAtFifteenAndThirtySpecies) {
    EXPECT_EQ(SubjectDescriptor(5), "(A12/\n12X,5F4.0/\n12X/12X)\n");
    EXPECT_EQ(SubjectDescriptor(15), "(A12/\n12X,15F4.0/\n12X/12X)\n");
    EXPECT_EQ(SubjectDescriptor(16), "(A12/\n12X,15F4.0/\n12X,1F4.0/12X)\n");
    EXPECT_EQ(SubjectDescriptor(23), "(A12/\n12X,15F4.0/\n12X,8F4.0/12X)\n");
    EXPECT_EQ(SubjectDescriptor(30), "(A12/\n12X,15F4.0/\n12X,15F4.0/12X)\n");
    EXPECT_EQ(SubjectDescriptor(31), "(A12/\n12X,15F4.0/12X,15F4.0/\n12X,1F4.0)\n");
    EXPECT_EQ(SubjectDescriptor(45), "(A12/\n12X,15F4.0/12X,15F4.0/\n12X,15F4.0)\n");
    EXPECT_EQ(AnalogDescriptor(23), "(A12,2F4.0,4X,2F4.0,4X,I4/\n12X,15F4.0/\n12X,8F4.0/12X)\n");
}

TEST_F(EngineFilesTest, SampleRecordsCarryNamePositionAndFortyFiveValues) {
    SetSpecies({"Globigerina bulloides", "Orb"});
    SetSample(Wb().tables.reference, 1, "North Atlantic Station One", {12, 30});
    SetLocation(1, "North Atlantic Station One", -45, -30, -9, -30, 2818);
    EXPECT_EQ(Reference(2, 1), "North Atlant-045-030    -009-030    2818\n" + std::string(12, ' ') +
                                   "00120030" + std::string(52, '0') + "\n" + kZeroLine +
                                   kZeroLine);
}

TEST_F(EngineFilesTest, MinutesRoundInTheirColumnAndShortNamesArePadded) {
    SetSample(Wb().tables.reference, 1, "V12", {1});
    SetLocation(1, "V12", 45, 59.7f, 0, 0.2f, 0);
    EXPECT_EQ(Reference(1, 1).substr(0, 41), "V12         +045+060    +000+000       0\n");
}

TEST(NameCutTest, NeverSplitsAUtf8Character) {
    EXPECT_EQ(CutText("Globigerino\xC3\xAF"
                      "des",
                      12),
              "Globigerino");
    EXPECT_EQ(CutText("Globigerino\xC3\xAF"
                      "des",
                      13),
              "Globigerino\xC3\xAF");
    EXPECT_EQ(CutText("ab\xE2\x82\xAC", 4), "ab");
    EXPECT_EQ(CutText("short", 12), "short");
    // Latin-1 text: a byte above 127 followed by an ASCII letter is cut where asked.
    EXPECT_EQ(CutText("Globigerino\xEF"
                      "des",
                      12),
              "Globigerino\xEF");
}

TEST_F(EngineFilesTest, ANameIsCutToWholeCharactersAndPaddedToTwelveBytes) {
    SetSample(Wb().tables.reference, 1,
              "Globigerino\xC3\xAF"
              "des",
              {1});
    EXPECT_EQ(Reference(1, 1).substr(0, 13), "Globigerino +");
}

TEST_F(EngineFilesTest, ValuesBeyondTheSpeciesCountAreWrittenAsZero) {
    // Left over from a wider table read earlier: the engine never reads them, but a
    // five-digit leftover would still break the line.
    SetSample(Wb().tables.reference, 1, "S", {5, 6, 123456});
    EXPECT_EQ(Reference(2, 1).substr(41, 73),
              std::string(12, ' ') + "00050006" + std::string(52, '0') + "\n");
}

// Mended: 100 % of one species as percent data is 10000, five characters in a
// four-column field. The engine only uses proportions, so the sample is divided by ten.
TEST_F(EngineFilesTest, ASampleWithAFiveDigitValueIsDividedByAPowerOfTen) {
    Wb().settings.slots[1].dataFormat = 1;
    SetSample(Wb().tables.reference, 1, "Mono", {100, 0});
    SetSample(Wb().tables.reference, 2, "Counts", {2900, 15, 0.04f});
    SetSample(Wb().tables.reference, 3, "Plain", {99.99f, 0.01f});
    const std::string text = Reference(3, 3);
    ASSERT_NE(text, "refused");
    EXPECT_EQ(text.substr(41, 20), std::string(12, ' ') + "10000000");
    // 290000, 1500 and 4 divided by 100: the largest keeps four digits.
    EXPECT_EQ(text.substr(kSampleLength + 41, 24), std::string(12, ' ') + "290000150000");
    EXPECT_EQ(text.substr(2 * kSampleLength + 41, 20), std::string(12, ' ') + "99990001");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EngineFilesTest, AnEmptyDepthCellIsWrittenAsMinus999) {
    SetSample(Wb().tables.reference, 1, "S", {1});
    SetLocation(1, "S", 10, 0, 20, 0, kEmptyCell);
    EXPECT_EQ(Reference(1, 1).substr(0, 41), "S           +010+000    +020+000    -999\n");
}

// Mended: a depth that needs five characters would shift the rest of the header.
TEST_F(EngineFilesTest, ADepthWiderThanItsColumnIsRefused) {
    SetSample(Wb().tables.reference, 1, "S", {1});
    SetSample(Wb().tables.reference, 2, "MD95-2040", {1});
    SetLocation(2, "MD95-2040", 40, 34.9f, -9, -51.7f, -2465);
    EXPECT_EQ(Reference(1, 2), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: Row 2 (MD95-2040) of the location file\\n>/d/loc.txt<\\n"
                              "has the depth -2465, which does not fit the engine's column "
                              "(-999 to 9999 m)."}));
    EXPECT_EQ(bench_.platform.BeepCount(), 1);
}

TEST_F(EngineFilesTest, ALongitudeWiderThanItsColumnIsRefused) {
    SetSample(Wb().tables.reference, 1, "S", {1});
    SetLocation(1, "S", 10, 0, 1040, 30, 100);
    EXPECT_EQ(Reference(1, 1), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: Row 1 (S) of the location file\\n>/d/loc.txt<\\n"
                              "has the longitude 1040.5, which does not fit the engine's "
                              "column (-999 to 999 degrees)."}));
}

TEST_F(EngineFilesTest, NegativeValuesAreRefused) {
    SetSpecies({"G. ruber", "G. sacculifer"});
    SetSample(Wb().tables.reference, 1, "V22-174", {3, -2.5f});
    EXPECT_EQ(Reference(2, 1), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: Sample 1 (V22-174) of the reference file\\n"
                              ">/d/ref.txt<\\nhas the value -2.5 for species 2 (G. sacculifer)."
                              "\\nThe engine needs values of zero or more."}));
}

TEST_F(EngineFilesTest, ASampleThatRoundsAwayEntirelyIsRefused) {
    SetSample(Wb().tables.reference, 1, "Fractions", {0.3f, 0.2f});
    EXPECT_EQ(Reference(2, 1), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: The values of sample 1 (Fractions) of the reference "
                              "file\\n>/d/ref.txt<\\nall round to zero in the engine's "
                              "whole-number columns (largest value 0.3).\\nFor fractions or "
                              "percentages choose \"percent data\" in Format of data."}));
}

TEST_F(EngineFilesTest, AnEmptySampleIsLeftToTheEngine) {
    // The engine halts on it with the sample's number, which is the right report.
    SetSample(Wb().tables.reference, 1, "Barren", {0, 0});
    EXPECT_NE(Reference(2, 1), "refused");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EngineFilesTest, MoreThanFortyFiveSpeciesAreRefused) {
    EXPECT_EQ(Reference(46, 1), "refused");
    Wb().settings.slots[1].speciesFormat = 1;
    EXPECT_EQ(Reference(120, 1), "refused");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "message 0: The reference file\\n>/d/ref.txt<\\nholds 46 species; the engine "
                  "Marvane holds at most 45.\\nMark the species to leave out with * in the flag "
                  "column.",
                  "message 0: The reference file\\n>/d/ref.txt<\\nholds 120 species; the engine "
                  "Marvane holds at most 45.\\nMark the species to leave out with * in the flag "
                  "line."}));
}

TEST_F(EngineFilesTest, ATableWithoutSpeciesOrSamplesIsRefused) {
    EXPECT_EQ(Reference(0, 3), "refused");
    EXPECT_EQ(Reference(3, 0), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: The reference file\\n>/d/ref.txt<\\nholds no species.",
                              "message 0: The reference file\\n>/d/ref.txt<\\nholds no samples."}));
}

TEST_F(EngineFilesTest, NoMoreRowsThanTheTablesHold) {
    const int capacity = Wb().tables.sampleCapacity;
    for (int row = 1; row <= capacity; ++row)
        SetSample(Wb().tables.reference, row, "S", {1});
    EXPECT_EQ(Reference(1, capacity + 5).size(), static_cast<size_t>(capacity) * kSampleLength);
}

TEST_F(EngineFilesTest, EnvironmentRecordsHoldTheFirstTwoVariables) {
    SetStation(1, "A very long station name", 12.5f, -1.75f);
    SetStation(2, "V12-122", 24.999f, 99.99f);
    EXPECT_EQ(Environment(3, 2), "A very long  12.50     -1.75\n"
                                 "V12-122      25.00     99.99\n");
}

TEST_F(EngineFilesTest, AnEmptyEnvironmentCellIsRefused) {
    Wb().tables.environment.variableNames[2] = "SumSST";
    SetStation(1, "V17-196", -1, 5);
    SetStation(2, "V18-110", 1, kEmptyCell);
    EXPECT_EQ(Environment(2, 2), "refused");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 0: Station 2 (V18-110) of the environment file\\n"
                                        ">/d/env.txt<\\nhas no value for SumSST."}));
}

TEST_F(EngineFilesTest, AnEnvironmentValueWiderThanItsColumnIsRefused) {
    Wb().tables.environment.variableNames[1] = "Productivity";
    SetStation(1, "V17-196", 100, 5);
    SetStation(2, "V18-110", -10, 5);
    SetStation(3, "V18-111", std::numeric_limits<float>::quiet_NaN(), 5);
    EXPECT_EQ(Environment(2, 1), "refused");
    SetStation(1, "V17-196", 1, 5);
    EXPECT_EQ(Environment(2, 2), "refused");
    SetStation(2, "V18-110", 1, 5);
    EXPECT_EQ(Environment(2, 3), "refused");
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "message 0: Station 1 (V17-196) of the environment file\\n"
                           ">/d/env.txt<\\nhas the value 100 for Productivity, which does not "
                           "fit the engine's column (-9.99 to 99.99).");
    EXPECT_NE(messages[1].find("has the value -10 for Productivity"), std::string::npos);
    EXPECT_NE(messages[2].find("Station 3 (V18-111)"), std::string::npos);
}

TEST_F(EngineFilesTest, AVariableWithoutAHeaderIsNamedByItsNumber) {
    SetStation(1, "V17-196", 1, kEmptyCell);
    EXPECT_EQ(Environment(2, 1), "refused");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 0: Station 1 (V17-196) of the environment file\\n"
                                        ">/d/env.txt<\\nhas no value for variable 2."}));
}

TEST_F(EngineFilesTest, AnEnvironmentTableNeedsTwoVariables) {
    SetStation(1, "V17-196", 1, 5);
    EXPECT_EQ(Environment(1, 1), "refused");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: The environment file\\n>/d/env.txt<\\nhas 1 "
                              "environmental variable; the engine estimates two: the first two "
                              "columns after the station name."}));
}

TEST_F(EngineFilesTest, ProjectFileNamesTheFilesAndDescribesTheirRecords) {
    ProjectSlot& slot = Wb().settings.slots[3];
    slot.firstPath = "/d/ref.ref";
    slot.secondPath = "/d/core.sam";
    slot.thirdPath = "/d/env.env";
    SetSpecies({"Globigerina bulloides", "Orb", "Neogloboquadrina pachyderma"});
    Wb().tables.species.names[4] = "Left over from another table";
    std::string text;
    ASSERT_EQ(WriteProjectFile(Wb(), text, "/d/out/", 3, 3, 110, 53), 0);
    const std::string blanks15 = std::string(90, ' ') + "\n";
    EXPECT_EQ(text, "/d/core.sam\n/d/ref.ref\n/d/env.env\n/d/out/SST_complete.txt\n"
                    "/d/out/SST_short.txt\n01\n 3  110   53 1 10 0.250 0.300\n"
                    "Globi Orb   Neogl " +
                        std::string(72, ' ') + "\n" + blanks15 + blanks15 +
                        "(A12/\n12X,3F4.0/\n12X/12X)\n"
                        "(A12,2F4.0,4X,2F4.0,4X,I4/\n12X,3F4.0/\n12X/12X)\n"
                        "(13X,F5.2,5X,F5.2)\n");
}

TEST_F(EngineFilesTest, ARunParameterWiderThanItsColumnIsRefused) {
    Wb().settings.slots[1].engine[3] = 100; // maximum analogs, two columns
    std::string text;
    EXPECT_EQ(WriteProjectFile(Wb(), text, "/d/", 1, 3, 1, 1), -1);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: The maximum analogs 100 does not fit its column of the "
                              "engine's project file (2 characters)."}));
}

TEST_F(EngineFilesTest, SavingWritesTheTextOrRemovesWhatCouldNotBeWritten) {
    ASSERT_EQ(SaveEngineFile(Wb(), folder_.File("a.ref"), "text\n"), 0);
    EXPECT_EQ(folder_.Read("a.ref"), "text\n");
    EXPECT_EQ(SaveEngineFile(Wb(), folder_.File("missing/a.ref"), "text\n"), -1);
    EXPECT_TRUE(Messages().empty());
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(SaveEngineFile(Wb(), "/dev/full", std::string(100000, 'x')), -2);
        EXPECT_EQ(Messages(), (std::vector<std::string>{
                                  "message 0: The file\\n>/dev/full<\\ncould not be written."}));
        EXPECT_TRUE(std::filesystem::exists("/dev/full"));
    }
}

} // namespace
} // namespace corelith
