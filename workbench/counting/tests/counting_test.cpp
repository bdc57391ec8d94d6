#include "counting/tests/counting_fixture.h"

#include "shell/messages.h"

#include <cmath>

namespace corelith {
namespace {

std::string WriteToString(Workbench& wb, const std::string& path, SpeciesLayout layout,
                          bool diversity) {
    LineWriter out(path);
    EXPECT_EQ(WriteMatrix(wb, out, layout, 2, 2, wb.tables.species, wb.tables.reference), 0);
    if (diversity) {
        EXPECT_EQ(WriteDiversityRow(wb, out, 2, 2, wb.tables.reference), 0);
    }
    EXPECT_EQ(out.Close(), 0);
    return testsupport::ReadFile(testsupport::PathOf(path));
}

// ---------------------------------------------------------------------------------------
// Matrix writer, diversity row and index

TEST_F(CountingTest, WriterExampleInSpeciesInColumnLayout) {
    LoadExample(wb_);
    wb_.tables.decimalCommaFlag = 1;
    ExpectGolden("matrix_layout0_comma.txt",
                 WriteToString(wb_, Path("m.txt"), SpeciesLayout::InColumn, false));
    EXPECT_EQ(platform_.CurrentCursor(), Cursor::Arrow);
}

TEST_F(CountingTest, WriterInSpeciesInLineLayoutWithTheDiversityRow) {
    LoadExample(wb_);
    wb_.tables.decimalCommaFlag = 0;
    ExpectGolden("matrix_layout1_diversity.txt",
                 WriteToString(wb_, Path("m.txt"), SpeciesLayout::InLine, true));
}

TEST_F(CountingTest, WriterNeverConvertsNamesAndEmptiesNonPositiveCells) {
    LoadExample(wb_);
    wb_.tables.cornerLabel = "x.y,z";
    wb_.tables.species.names[1] = "G. sp. 1,2";
    wb_.tables.reference.Value(1, 1) = -2;
    wb_.tables.decimalCommaFlag = 1;
    const std::string text = WriteToString(wb_, Path("m.txt"), SpeciesLayout::InColumn, false);
    EXPECT_EQ(text, "x.y,z\tName\tA\tB\n"
                    "\tG. sp. 1,2\t\t\n"
                    "\tN. pachyderma\t1,5\t12\n");
    wb_.tables.decimalCommaFlag = 0;
    EXPECT_EQ(WriteToString(wb_, Path("m.txt"), SpeciesLayout::InColumn, false),
              "x.y,z\tName\tA\tB\n\tG. sp. 1,2\t\t\n\tN. pachyderma\t1.5\t12\n");
}

TEST_F(CountingTest, WriterKeepsRowsLongerThanTheLineBufferWhole) {
    Tables& t = wb_.tables;
    const int samples = t.sampleCapacity;
    t.species.names[1] = "G. bulloides";
    for (int i = 1; i <= samples; ++i) {
        t.reference.names[static_cast<size_t>(i)] = std::string("S").append(std::to_string(i));
        t.reference.Value(i, 1) = 1234567.0f; // "%G" gives 1.23457E+06: 12 characters a cell
    }
    LineWriter file(Path("wide.txt"));
    ASSERT_EQ(WriteMatrix(wb_, file, SpeciesLayout::InColumn, 1, samples, t.species, t.reference),
              0);
    ASSERT_EQ(file.Close(), 0);
    std::istringstream lines(Read("wide.txt"));
    std::string header, row;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_GT(row.size(), static_cast<size_t>(kMaxLineLength));
    EXPECT_EQ(row.size(),
              std::string("\tG. bulloides").size() + 12u * static_cast<size_t>(samples));
    EXPECT_EQ(row.substr(row.size() - 12), "\t1.23457E+06");
}

TEST(DiversityIndex, AllZeroSingleSpeciesAndTwoEqualSpecies) {
    SampleTable table;
    table.capacity = 4;
    table.names.resize(5);
    table.values.assign(5 * (kMaxSpecies + 1), 0.0f);
    table.totals.assign(5, 0.0f);
    EXPECT_EQ(DiversityIndex(1, 3, table), -1.0);
    table.Value(2, 2) = 7;
    EXPECT_EQ(DiversityIndex(2, 3, table), 0.0);
    EXPECT_FALSE(std::signbit(DiversityIndex(2, 3, table)));
    table.Value(3, 1) = 4;
    table.Value(3, 3) = 4;
    EXPECT_DOUBLE_EQ(DiversityIndex(3, 3, table), std::log(2.0));
    // Negative counts add to the sum but not to the index; a sum of 0 or less gives -1.
    table.Value(4, 1) = 2;
    table.Value(4, 2) = -1;
    EXPECT_DOUBLE_EQ(DiversityIndex(4, 3, table), -2 * std::log(2.0));
    table.Value(4, 3) = -1;
    EXPECT_EQ(DiversityIndex(4, 3, table), -1.0);
    // Species beyond the count take no part.
    EXPECT_EQ(DiversityIndex(3, 2, table), 0.0);
}

TEST(NumberToLabelText, GFormatWithTheDecimalSeparatorOfTheFlag) {
    EXPECT_EQ(NumberToLabelText(2.5, 0), "2.5");
    EXPECT_EQ(NumberToLabelText(2.5, 1), "2,5");
    EXPECT_EQ(NumberToLabelText(2.5, 7), "2.5");
    EXPECT_EQ(NumberToLabelText(std::log(2.0), 0), "0.693147");
    EXPECT_EQ(NumberToLabelText(1234567.0, 1), "1,23457E+06");
    EXPECT_EQ(NumberToLabelText(-1.0, 1), "-1");
    EXPECT_EQ(NumberToLabelText(0.0, 0), "0");
}

// ---------------------------------------------------------------------------------------
// The command

TEST_F(CountingTest, ACountingSessionWritesBothFilesAndTheResultLines) {
    Write("core12.txt", kMatrix);
    const int result = Run({"core12.txt", ":ok", "1", "count", "species=2", "increment=2,5",
                            "count", "sample=2", "increment=-1", "count", "stop"});
    EXPECT_EQ(result, 0);
    ExpectGolden("session_output.txt", Read("Newcore12.txt"));
    ExpectGolden("session_diversity.txt", Read("DINewcore12.txt"));
    ExpectGolden("session_labels.txt", labels_.str());
    EXPECT_EQ(wb_.settings.lastFilter, 1);
    EXPECT_EQ(wb_.current.fullPath, Path("Newcore12.txt"));
    EXPECT_EQ(Beeps(), 0);
    const std::vector<FileDialogRequest>& requests = platform_.FileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, "Open");
    EXPECT_EQ(requests[1].title, "Save as");
    EXPECT_EQ(requests[1].initialPath, Path("Newcore12.txt"));
}

TEST_F(CountingTest, ACommaInTheIncrementSeparatesItsDecimalsOnly) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "increment=2,5", "count", "stop"}), 0);
    EXPECT_EQ(wb_.tables.decimalCommaFlag, 0) << "the values of the table have points";
    EXPECT_EQ(wb_.tables.reference.Value(1, 1), 5.5f);
    EXPECT_EQ(LastLabel(kIdCountLine), "Counted individuals of G. ruber in sample A: 5.5");
    EXPECT_EQ(LastLabel(kIdTotalLine), "Total number of individuals counted in sample A: 6.5");
    EXPECT_NE(Read("Newcore12.txt").find("\tG. ruber\t5.5\t\n"), std::string::npos);
    EXPECT_NE(Read("DINewcore12.txt").find("\tDiversity index\t0.4"), std::string::npos);
}

TEST_F(CountingTest, ANegativeIncrementSubtractsAndAZeroCellIsWrittenEmpty) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "species=2", "increment=-1", "count", "stop"}), 0);
    EXPECT_EQ(wb_.tables.reference.Value(1, 2), 0.0f);
    EXPECT_EQ(wb_.tables.reference.totals[1], 3.0f);
    EXPECT_EQ(LastLabel(kIdCountLine), "Counted individuals of N. pachyderma in sample A: 0");
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tA\tB\n"
                                     "\tG. ruber\t3\t\n"
                                     "\tN. pachyderma\t\t12\n");
    // Below 0 the count goes on, and is still written as an empty cell.
    EXPECT_EQ(
        Run({"core12.txt", ":ok", "1", "species=2", "increment=-1", "count", "count", "stop"}), 0);
    EXPECT_EQ(wb_.tables.reference.Value(1, 2), -1.0f);
    EXPECT_EQ(wb_.tables.reference.totals[1], 2.0f);
    EXPECT_EQ(LastLabel(kIdTotalLine), "Total number of individuals counted in sample A: 2");
    EXPECT_NE(Read("Newcore12.txt").find("\tN. pachyderma\t\t12\n"), std::string::npos);
}

TEST_F(CountingTest, ZeroIncrementAndInvalidEntriesBeepInsteadOfCounting) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "increment=0", "count", "increment=1", "sample=0",
                   "count", "sample=3", "count", "sample=1", "species=-1", "count", "stop"}),
              0);
    // increment 0, sample 0, sample 3 (out of range, beeps itself), species -1 (the same).
    EXPECT_EQ(Beeps(), 6);
    EXPECT_EQ(LastLabel(kIdSpeciesName), "error");
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tA\tB\n"
                                     "\tG. ruber\t3\t\n"
                                     "\tN. pachyderma\t1\t12\n");
}

TEST_F(CountingTest, EveryFailureEndsTheCommandWithItsCode) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({":cancel"}), 0);
    EXPECT_EQ(Run({"missing.txt"}), -1);
    EXPECT_EQ(Run({"core12.txt", ":cancel"}), -4);
    EXPECT_TRUE(platform_.Messages().empty()) << "cancels and an input not found say nothing";
    // Outputs that cannot be written are known before anything is counted.
    fs::create_directory(folder_.path() / "DIout.txt");
    EXPECT_EQ(Run({"core12.txt", "out.txt"}), -3);
    fs::create_directory(folder_.path() / "dir.txt");
    EXPECT_EQ(Run({"core12.txt", "dir.txt"}), -2);
    EXPECT_EQ(Run({"core12.txt", "no/such/folder/out.txt"}), -2);
    const std::string isFolder = std::make_error_code(std::errc::is_a_directory).message();
    const std::string missing =
        std::make_error_code(std::errc::no_such_file_or_directory).message();
    EXPECT_EQ(platform_.Messages(),
              (std::vector<std::string>{
                  "message 0: Could not write file:\\n>" + Path("DIout.txt") + "<\\n" + isFolder,
                  "message 0: Could not write file:\\n>" + Path("dir.txt") + "<\\n" + isFolder,
                  "message 0: Could not write file:\\n>" + Path("no/such/folder/out.txt.journal") +
                      "<\\n" + missing}));
    EXPECT_FALSE(Exists("out.txt")) << "nothing is created before Stop";
    EXPECT_FALSE(Exists("out.txt.journal"));
    EXPECT_FALSE(Exists("Newcore12.txt"));
}

TEST_F(CountingTest, AnOutputThatCannotBeWrittenIsReportedInTheResult) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "needs a device that refuses every write";
    Write("core12.txt", kMatrix);
    fs::create_symlink("/dev/full", folder_.path() / "full.txt");
    EXPECT_EQ(Run({"core12.txt", "full.txt", "1", "count", "stop"}), -2);
    const std::string noSpace = std::make_error_code(std::errc::no_space_on_device).message();
    EXPECT_EQ(platform_.Messages(),
              (std::vector<std::string>{"message 0: Could not write file:\\n>" + Path("full.txt") +
                                        "<\\n" + noSpace + "\\nThe counts are kept in:\\n>" +
                                        Path("full.txt.journal") + "<"}));
    EXPECT_TRUE(Exists("full.txt.journal")) << "the counts stay on disk";
    // The diversity file is still written in full.
    EXPECT_EQ(Read("DIfull.txt"), "Species\tName\tA\tB\n"
                                  "\tG. ruber\t4\t\n"
                                  "\tN. pachyderma\t1\t12\n"
                                  "\n"
                                  "\tDiversity index\t0.500402\t0.000000\n");
    fs::remove(folder_.path() / "full.txt");
    fs::create_symlink("/dev/full", folder_.path() / "DIout.txt");
    EXPECT_EQ(Run({"core12.txt", "out.txt", "1", "stop"}), -3);
}

TEST_F(CountingTest, TheInputFileNameSetsTheNextFilterList) {
    Write("data.CSV", kMatrix);
    Write("data.dat", kMatrix);
    EXPECT_EQ(Run({"data.CSV", ":cancel"}), -4);
    EXPECT_EQ(wb_.settings.lastFilter, 2);
    EXPECT_EQ(platform_.FileRequests().back().filters.front().pattern, "*.csv");
    EXPECT_EQ(Run({"data.dat", ":cancel"}), -4);
    EXPECT_EQ(wb_.settings.lastFilter, 6);
    EXPECT_EQ(platform_.FileRequests().back().filters.front().description, "All Files (*.*)");
}

TEST_F(CountingTest, AllZeroSingleSpeciesAndEqualSpeciesSamplesInTheDiversityRow) {
    Write("d.txt", "Species\tName\tzero\tone\ttwo\n"
                   "\tG. ruber\t0\t5\t2\n"
                   "\tG. sacculifer\t0\t0\t2\n");
    EXPECT_EQ(Run({"d.txt", ":ok", "1", "sample=1", "sample=3", "stop"}), 0);
    EXPECT_EQ(Read("DINewd.txt"), "Species\tName\tzero\tone\ttwo\n"
                                  "\tG. ruber\t\t5\t2\n"
                                  "\tG. sacculifer\t\t\t2\n"
                                  "\n"
                                  "\tDiversity index\t-1.000000\t0.000000\t0.693147\n");
    std::istringstream lines(labels_.str());
    std::vector<std::string> diversity;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("1170: ", 0) == 0)
            diversity.push_back(line);
    }
    ASSERT_GE(diversity.size(), 2u);
    EXPECT_EQ(diversity[diversity.size() - 2], "1170: Diversity index: -1 ");
    EXPECT_EQ(diversity.back(), "1170: Diversity index: 0.693147 ");
}

TEST_F(CountingTest, InSpeciesInLineLayoutTheDiversityRowRunsAcrossTheLine) {
    Write("line.txt", "Corner\t\t\n"
                      "Sample\tG. ruber\tG. sacculifer\n"
                      "S1\t1\t1\n"
                      "S2\t3\t0\n"
                      "S3\t0\t0\n");
    EXPECT_EQ(Run({"line.txt", ":ok", "2", "sample=2", "count", "stop"}), 0);
    EXPECT_EQ(wb_.settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(Read("DINewline.txt"), "Corner\t\t\n"
                                     "Sample\tG. ruber\tG. sacculifer\n"
                                     "S1\t1\t1\n"
                                     "S2\t4\t\n"
                                     "S3\t\t\n"
                                     "\n"
                                     "\tDiversity index\t0.693147\t0.000000\t-1.000000\n");
}

TEST_F(CountingTest, ACancelledFormatDialogKeepsTheStoredLayout) {
    wb_.settings.slots[1].speciesFormat = 1;
    Write("line.txt", "C\t\nS\tG. ruber\nS1\t2\n");
    EXPECT_EQ(Run({"line.txt", ":ok", ":cancel", "count", "stop"}), 0);
    EXPECT_EQ(Read("Newline.txt"), "C\t\nS\tG. ruber\nS1\t3\n");
}

TEST_F(CountingTest, InterimFilesAreNumberedAcrossCountingRuns) {
    Write("line.txt", "C\t\nS\tG. ruber\nS1\t2\n");
    wb_.settings.slots[1].speciesFormat = 1;
    EXPECT_EQ(Run({"line.txt", ":ok", ":ok", "save", "count", "save", "save", "stop"}), 0);
    // Interim copies are always written species in column.
    EXPECT_EQ(Read("Temp1.txt"), "C\tS\tS1\n\tG. ruber\t2\n");
    EXPECT_EQ(Read("Temp2.txt"), "C\tS\tS1\n\tG. ruber\t3\n");
    EXPECT_EQ(Read("Temp3.txt"), "C\tS\tS1\n\tG. ruber\t3\n");
    EXPECT_FALSE(Exists("Temp4.txt"));
    EXPECT_EQ(Run({"line.txt", ":ok", ":ok", "save", "stop"}), 0);
    EXPECT_TRUE(Exists("Temp4.txt"));
    EXPECT_EQ(wb_.interimFileCounter, 4);
}

TEST_F(CountingTest, AnInterimNameTakenByAFolderIsPassedOver) {
    Write("core12.txt", kMatrix);
    fs::create_directory(folder_.path() / "Temp1.txt");
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "save", "save", "stop"}), 0);
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Temp1.txt"));
    EXPECT_TRUE(fs::is_regular_file(folder_.path() / "Temp2.txt"));
    EXPECT_TRUE(platform_.Messages().empty());
    EXPECT_EQ(Beeps(), 0);
}

TEST_F(CountingTest, NoInterimFileOverwritesTheOutputFile) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", "Temp1.txt", "1", "increment=7", "count", "save", "increment=-7",
                   "count", "stop"}),
              0);
    EXPECT_EQ(Read("Temp1.txt"), "Species\tName\tA\tB\n"
                                 "\tG. ruber\t3\t\n"
                                 "\tN. pachyderma\t1\t12\n");
    EXPECT_NE(Read("Temp2.txt").find("\tG. ruber\t10\t\n"), std::string::npos);
    EXPECT_EQ(wb_.interimFileCounter, 2);
}

TEST_F(CountingTest, NewSampleAndSpeciesStartEmptyAndAreCountedAndWritten) {
    Write("core12.txt", kMatrix);
    // What an earlier command left beyond the table must not come back.
    wb_.tables.reference.names[3] = "left over";
    wb_.tables.reference.Value(3, 1) = 9;
    wb_.tables.reference.Value(1, 3) = 8;
    wb_.tables.species.names[3] = "old species";
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "new-sample=C", "new-species=:ok", "count", "stop"}),
              0);
    EXPECT_EQ(LastLabel(kIdSampleName), "C");
    EXPECT_EQ(LastLabel(kIdSpeciesName), "Globigerina eleonoides");
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tA\tB\tC\n"
                                     "\tG. ruber\t3\t\t\n"
                                     "\tN. pachyderma\t1\t12\t\n"
                                     "\tGlobigerina eleonoides\t\t\t1\n");
    EXPECT_EQ(LastLabel(kIdTotalLine), "Total number of individuals counted in sample C: 1");
}

TEST_F(CountingTest, ANewSampleShowsAnEmptyNameAndTheNewNumber) {
    Write("core12.txt", kMatrix);
    wb_.tables.reference.names[3] = "left over";
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "new-sample=:ok", "stop"}), 0);
    EXPECT_EQ(LastLabel(kIdSampleName), "");
    EXPECT_NE(Read("Newcore12.txt").find("Species\tName\tA\tB\t\n"), std::string::npos);
}

TEST_F(CountingTest, CancellingNewRestoresThePreviousEntryAndCount) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "sample=2", "species=2", "new-sample:cancel",
                   "new-species:cancel", "count", "stop"}),
              0);
    EXPECT_EQ(LastLabel(kIdSampleName), "B");
    EXPECT_EQ(LastLabel(kIdSpeciesName), "N. pachyderma");
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tA\tB\n"
                                     "\tG. ruber\t3\t\n"
                                     "\tN. pachyderma\t1\t13\n");
}

TEST_F(CountingTest, EditingANameStoresExactlyTheTypedText) {
    Write("core12.txt", "Species\tName\tA\n\tGlobigerina bulloides\t1\n");
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "edit-species=G. inflata",
                   "edit-sample=core 12\t0-1 cm", "stop"}),
              0);
    EXPECT_EQ(wb_.tables.species.names[1], "G. inflata");
    // A tab typed into a name would shift every later column of the file.
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tcore 12 0-1 cm\n\tG. inflata\t1\n");
    EXPECT_EQ(LastLabel(kIdSpeciesName), "G. inflata");
}

TEST_F(CountingTest, EditWithSampleZeroRenamesTheHeaderLabel) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "sample=0", "edit-sample=Taxon", "stop"}), 0);
    EXPECT_EQ(LastLabel(kIdSampleName), "Taxon");
    EXPECT_EQ(Read("Newcore12.txt").substr(0, 21), "Species\tTaxon\tA\tB\n\tG.");
}

TEST_F(CountingTest, NamesAreCutTo63Characters) {
    Write("core12.txt", kMatrix);
    const std::string name(70, 'x');
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "edit-sample=" + name, "stop"}), 0);
    EXPECT_EQ(wb_.tables.reference.names[1], name.substr(0, 63));
}

TEST_F(CountingTest, AFullSpeciesListRefusesNewWithTheOverflowMessage) {
    std::string text = "Species\tName\tA\n";
    for (int j = 1; j <= kMaxSpecies; ++j) {
        text += "\tsp";
        text += std::to_string(j);
        text += "\t1\n";
    }
    Write("full.txt", text);
    EXPECT_EQ(Run({"full.txt", ":ok", "1", "new-species=more", "count", "stop"}), 0);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0], "message 139: Species overflow. Maximum: 500");
    EXPECT_EQ(wb_.tables.species.names[1], "sp1");
    EXPECT_EQ(wb_.tables.reference.Value(1, 1), 2.0f) << "the action after the refused one";
}

TEST_F(CountingTest, AFullSampleTableRefusesNewWithTheOverflowMessage) {
    std::string text = "C\t\nS\tG. ruber\n";
    for (int i = 1; i <= wb_.tables.sampleCapacity; ++i) {
        text += "S";
        text += std::to_string(i);
        text += "\t1\n";
    }
    Write("full.txt", text);
    wb_.settings.slots[1].speciesFormat = 1;
    EXPECT_EQ(Run({"full.txt", ":ok", ":ok", "new-sample=more", "stop"}), 0);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0], "message 145: Core sample overflow. Maximum: 1367");
}

TEST_F(CountingTest, AReaderOverflowEndsTheCommand) {
    std::string text = "C\t\nS\tG. ruber\n";
    for (int i = 1; i <= wb_.tables.sampleCapacity + 1; ++i) {
        text += "S";
        text += std::to_string(i);
        text += "\t1\n";
    }
    Write("over.txt", text);
    wb_.settings.slots[1].speciesFormat = 1;
    // Saved over itself, the part read would replace the whole table.
    EXPECT_EQ(Run({"over.txt", "over.txt", ":ok"}), -1);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0], "message 145: Core sample overflow. Maximum: 1367");
    EXPECT_EQ(Read("over.txt"), text);
    EXPECT_EQ(Run({"over.txt", ":ok", ":ok"}), -1);
    EXPECT_FALSE(Exists("Newover.txt"));
    EXPECT_FALSE(Exists("Newover.txt.journal"));
    EXPECT_FALSE(Exists("over.txt.journal"));
}

TEST_F(CountingTest, AnEmptyMatrixOpensWithoutSampleOrSpecies) {
    Write("empty.txt", "");
    EXPECT_EQ(Run({"empty.txt", ":ok", "1", "count", "new-sample=S1", "new-species=G. ruber",
                   "count", "stop"}),
              0);
    EXPECT_EQ(Read("Newempty.txt"), "\t\tS1\n\tG. ruber\t1\n");
    EXPECT_EQ(Beeps(), 1) << "only the first count, before there was anything to count";
}

TEST_F(CountingTest, SavingOverTheInputStillCountsTheInput) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", "core12.txt", "1", "count", "stop"}), 0);
    EXPECT_EQ(Read("core12.txt"), "Species\tName\tA\tB\n"
                                  "\tG. ruber\t4\t\n"
                                  "\tN. pachyderma\t1\t12\n");
    // The diversity file can also be the input ("DI" + the chosen name).
    Write("DIx.txt", kMatrix);
    EXPECT_EQ(Run({"DIx.txt", "x.txt", "1", "stop"}), 0);
    EXPECT_EQ(Read("x.txt"), "Species\tName\tA\tB\n"
                             "\tG. ruber\t3\t\n"
                             "\tN. pachyderma\t1\t12\n");
}

TEST_F(CountingTest, CountsThatWouldLeaveTheRangeOfNumbersBeep) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "increment=1e38", "count", "count", "count", "count",
                   "increment=1e39", "increment=inf", "stop"}),
              0);
    EXPECT_EQ(Beeps(), 1);
    EXPECT_TRUE(std::isfinite(wb_.tables.reference.Value(1, 1)));
    EXPECT_NE(Read("Newcore12.txt").find("\tG. ruber\t3E+38\t\n"), std::string::npos);
}

TEST_F(CountingTest, TheSettingsAreSavedAfterTheRun) {
    Write("core12.txt", kMatrix);
    EXPECT_EQ(Run({"core12.txt", ":ok", ":cancel", "stop"}), 0);
    EXPECT_TRUE(fs::exists(folder_.path() / kSettingsFileName));
}

// ---------------------------------------------------------------------------------------
// The dialog models driven by hand

TEST_F(CountingDialogTest, OpensOnSampleOneSpeciesOneAndIncrementOne) {
    state_.increment = 7;
    dialog_.OnInit(controls_);
    EXPECT_EQ(controls_.texts[kIdSampleNumber], "1");
    EXPECT_EQ(controls_.texts[kIdSpeciesNumber], "1");
    EXPECT_EQ(controls_.texts[kIdIncrement], "1");
    EXPECT_EQ(controls_.texts[kIdSampleName], "A");
    EXPECT_EQ(controls_.texts[kIdSpeciesName], "G. ruber");
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample A: 3");
    EXPECT_EQ(controls_.texts[kIdDiversityLine], "Diversity index: 0.636514 ");
    EXPECT_EQ(state_.increment, 1.0f);
    EXPECT_EQ(controls_.dialogFocused, 1);
    EXPECT_EQ(controls_.beeps, 0);
}

TEST_F(CountingDialogTest, OutOfRangeNumbersEmptyTheFieldAndShowError) {
    dialog_.OnInit(controls_);
    Type(kIdSampleNumber, "3");
    EXPECT_EQ(controls_.texts[kIdSampleNumber], "");
    EXPECT_EQ(controls_.texts[kIdSampleName], "error");
    EXPECT_EQ(state_.currentSample, 0);
    EXPECT_EQ(controls_.beeps, 1);
    // Index 0 shows the header entry's values.
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample Name: 0");
    Type(kIdSpeciesNumber, "-2");
    EXPECT_EQ(controls_.texts[kIdSpeciesNumber], "");
    EXPECT_EQ(state_.currentSpecies, 0);
    EXPECT_EQ(controls_.beeps, 2);
    // Text that is no number keeps the entry; "0" is in range but shows "error".
    Type(kIdSampleNumber, "2");
    Type(kIdSampleNumber, "2x");
    EXPECT_EQ(state_.currentSample, 2);
    EXPECT_EQ(controls_.texts[kIdSampleName], "B");
    Type(kIdSampleNumber, "0");
    EXPECT_EQ(controls_.texts[kIdSampleName], "error");
    EXPECT_EQ(controls_.texts[kIdSampleNumber], "0");
    EXPECT_EQ(controls_.beeps, 2);
    // Digits beyond any whole number are out of range too, not text.
    Type(kIdSampleNumber, "2");
    Type(kIdSampleNumber, "99999999999");
    EXPECT_EQ(controls_.texts[kIdSampleNumber], "");
    EXPECT_EQ(state_.currentSample, 0);
    EXPECT_EQ(controls_.beeps, 3);
    Type(kIdSpeciesNumber, "1");
    Type(kIdSpeciesNumber, " -99999999999");
    EXPECT_EQ(controls_.texts[kIdSpeciesName], "error");
    EXPECT_EQ(controls_.beeps, 4);
}

TEST_F(CountingDialogTest, TheBlankPlaceholderChangesNothing) {
    dialog_.OnInit(controls_);
    Type(kIdSampleNumber, "2");
    const std::string countLine = controls_.texts[kIdCountLine];
    Type(kIdSampleNumber, " ");
    EXPECT_EQ(controls_.texts[kIdSampleNumber], " ");
    EXPECT_EQ(state_.currentSample, 2);
    Type(kIdIncrement, "3");
    Type(kIdIncrement, " ");
    EXPECT_EQ(controls_.texts[kIdIncrement], "");
    EXPECT_EQ(state_.increment, 3.0f);
    EXPECT_EQ(controls_.texts[kIdCountLine], countLine);
}

TEST_F(CountingDialogTest, TheIncrementFieldKeepsTheIncrementOnText) {
    dialog_.OnInit(controls_);
    Type(kIdIncrement, "0,5");
    EXPECT_EQ(state_.increment, 0.5f);
    EXPECT_EQ(wb_.tables.decimalCommaFlag, 0) << "a typed comma leaves the files' separator";
    Type(kIdIncrement, "abc");
    Type(kIdIncrement, "");
    EXPECT_EQ(state_.increment, 0.5f);
    Type(kIdIncrement, "2.25");
    EXPECT_EQ(state_.increment, 2.25f);
    Click(kIdOk);
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample A: 5.25");
    // A table read with decimal commas keeps them, whatever is typed.
    wb_.tables.decimalCommaFlag = 1;
    Type(kIdIncrement, "1.5");
    EXPECT_EQ(wb_.tables.decimalCommaFlag, 1);
    Click(kIdOk);
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample A: 6,75");
}

TEST_F(CountingDialogTest, ButtonsGiveTheFocusBackAndStopEnds) {
    dialog_.OnInit(controls_);
    platform_.AddAnswer(":cancel");
    platform_.AddAnswer(":cancel");
    Click(kIdSave);
    Click(kIdEditSample);
    Click(kIdNewSpecies);
    EXPECT_EQ(controls_.dialogFocused, 4);
    Click(kIdOk);
    EXPECT_EQ(controls_.dialogFocused, 4) << "Count leaves the focus where it is";
    EXPECT_FALSE(controls_.ended);
    Click(kIdCancel);
    EXPECT_TRUE(controls_.ended);
}

TEST_F(CountingDialogTest, EditKeepsTheResultLinesUntilTheNextRefresh) {
    dialog_.OnInit(controls_);
    platform_.AddAnswer("Z");
    Click(kIdEditSample);
    EXPECT_EQ(controls_.texts[kIdSampleName], "Z");
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample A: 3");
    Click(kIdOk);
    EXPECT_EQ(controls_.texts[kIdCountLine], "Counted individuals of G. ruber in sample Z: 4");
}

TEST_F(CountingDialogTest, NewSampleAfterAnOutOfRangeNumberRestoresSampleZero) {
    dialog_.OnInit(controls_);
    Type(kIdSampleNumber, "9");
    platform_.AddAnswer(":cancel");
    Click(kIdNewSample);
    EXPECT_EQ(controls_.texts[kIdSampleNumber], "0");
    EXPECT_EQ(controls_.texts[kIdSampleName], "error");
    EXPECT_EQ(state_.sampleCount, 2);
}

// A backend that closes a dialog on its own, without Cancel reaching the model.
class ClosingPlatform : public ScriptedPlatform {
  public:
    int RunDialog(DialogModel& model) override {
        ProbeControls controls;
        model.OnInit(controls);
        return 0;
    }
};

TEST(NameDialog, ANewEntryIsTakenBackWhenTheDialogClosesWithoutOk) {
    ClosingPlatform platform;
    Workbench wb(platform);
    AllocateTables(wb.tables);
    CountingState state;
    state.speciesCount = 4;
    state.currentSpecies = 2;
    NameDialog dialog(wb, state, NameDialog::Subject::Species, true);
    platform.RunDialog(dialog);
    EXPECT_EQ(state.speciesCount, 5);
    EXPECT_EQ(state.previousSpecies, 2);
    dialog.WithdrawNewEntry();
    dialog.WithdrawNewEntry();
    EXPECT_EQ(state.speciesCount, 4);
    EXPECT_FALSE(dialog.Confirmed());
}

TEST(NameDialog, OpensWithNumberAndNameAndStoresOnOk) {
    ScriptedPlatform platform;
    Workbench wb(platform);
    AllocateTables(wb.tables);
    CountingState state;
    state.sampleCount = 3;
    state.currentSample = 2;
    wb.tables.reference.names[2] = "Globigerina bulloides";
    NameDialog dialog(wb, state, NameDialog::Subject::Sample, false);
    EXPECT_EQ(dialog.Resource(), "EDITSAMPLENAME");
    ProbeControls controls;
    dialog.OnInit(controls);
    EXPECT_EQ(controls.texts[kIdSampleNumber], "2");
    EXPECT_EQ(controls.texts[kIdSampleName], "Globigerina bulloides");
    EXPECT_EQ(controls.focusedControl, kIdSampleName);
    controls.texts[kIdSampleName] = "G. inflata";
    dialog.OnCommand(controls, kIdOk, Notification::Clicked);
    EXPECT_TRUE(controls.ended);
    EXPECT_EQ(controls.result, 1);
    EXPECT_EQ(wb.tables.reference.names[2], "G. inflata");
    EXPECT_EQ(state.sampleCount, 3);
}

// ---------------------------------------------------------------------------------------
// Templates

TEST(CountingTemplates, TheCountingDialogHasItsControlsAndSize) {
    const DialogTemplate* t = FindDialogTemplate("COUNTINGDIALOG");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "Counting dialog");
    EXPECT_EQ(t->width, 288);
    EXPECT_EQ(t->height, 237);
    const std::map<int, std::pair<ControlKind, std::string>> expected = {
        {1140, {ControlKind::Edit, ""}},
        {1141, {ControlKind::Label, "Sample name"}},
        {1170, {ControlKind::Label, "Diversity index:"}},
        {1148, {ControlKind::Button, "New..."}},
        {1147, {ControlKind::Button, "Edit..."}},
        {1142, {ControlKind::Edit, ""}},
        {1143, {ControlKind::Label, "Species name"}},
        {1149, {ControlKind::Button, "New..."}},
        {1150, {ControlKind::Button, "Edit..."}},
        {1144, {ControlKind::Edit, ""}},
        {1146, {ControlKind::Label, "counted individuals:"}},
        {1145, {ControlKind::Label, "total individuals:"}},
        {1169, {ControlKind::Button, "Save"}},
        {2, {ControlKind::Button, "Stop"}},
        {1, {ControlKind::DefaultButton, "Count"}},
    };
    std::map<int, std::pair<ControlKind, std::string>> found;
    std::vector<std::string> captions;
    for (const ControlTemplate& c : t->controls) {
        if (c.id < 0)
            captions.push_back(c.text);
        else
            found[c.id] = {c.kind, c.text};
        EXPECT_LE(c.x + c.width, t->width) << c.text;
        EXPECT_LE(c.y + c.height, t->height) << c.text;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(captions, (std::vector<std::string>{"Sample ID", "Sample name", "Species ID",
                                                  "Species name", "Increment"}));
}

TEST(CountingTemplates, TheFourNameDialogs) {
    const std::vector<std::vector<std::string>> dialogs = {
        {"EDITSAMPLENAME", "Edit sample name", "1140", "1141"},
        {"NEWSAMPLE", "New sample", "1140", "1141"},
        {"EDITSPECIESNAME", "Edit species name", "1142", "1143"},
        {"NEWSPECIES", "New species", "1142", "1143"},
    };
    for (const auto& d : dialogs) {
        const DialogTemplate* t = FindDialogTemplate(d[0]);
        ASSERT_NE(t, nullptr) << d[0];
        EXPECT_EQ(t->caption, d[1]);
        std::map<int, ControlKind> kinds;
        for (const ControlTemplate& c : t->controls)
            kinds[c.id] = c.kind;
        EXPECT_EQ(kinds[std::stoi(d[2])], ControlKind::Label);
        EXPECT_EQ(kinds[std::stoi(d[3])], ControlKind::Edit);
        EXPECT_EQ(kinds[1], ControlKind::DefaultButton);
        EXPECT_EQ(kinds[2], ControlKind::Button);
    }
}

} // namespace
} // namespace corelith
