#include "analogproject/analog_project.h"

#include "analog_test_support.h"
#include "shell/commands.h"

#include <algorithm>

namespace corelith {
namespace {

using analogtest::ExpectGolden;
using analogtest::ScriptedWorkbench;
using analogtest::TestData;

constexpr char kMessage147[] = "message 147: Something is wrong.\\nProject has not been created.";

class AnalogProjectTest : public ::testing::Test {
  protected:
    AnalogProjectTest() {
        for (const char* name : {"reference.txt", "reference_locations.txt", "environment.txt"})
            folder_.Copy(TestData(name), name);
        std::filesystem::create_directories(folder_.File("core"));
        folder_.Copy(TestData("core.txt"), "core/core.txt");
        folder_.Copy(TestData("core_locations.txt"), "core/core_locations.txt");
    }

    // The answers of a whole project from the small tables: species in column, percent
    // data. Each file answer can be replaced by name.
    std::vector<std::string> Answers() const {
        return {folder_.File("small.pro"),
                "1",
                "2",
                folder_.File("reference_locations.txt"),
                folder_.File("reference.txt"),
                folder_.File("environment.txt"),
                folder_.File("core/core_locations.txt"),
                folder_.File("core/core.txt")};
    }
    std::vector<std::string> AnswersUpTo(size_t count) const {
        std::vector<std::string> answers = Answers();
        answers.resize(count);
        return answers;
    }

    // Runs the command through the shell, which adds message 147 and moves the counter.
    int Command(std::vector<std::string> answers, int counter = 1) {
        bench_ = std::make_unique<ScriptedWorkbench>(folder_, std::move(answers));
        bench_->wb.projectCounter = counter;
        return RunCommand(bench_->wb, kCmdVelmarProject);
    }
    int Command(int counter = 1) { return Command(Answers(), counter); }
    int RunAgain(std::vector<std::string> answers) {
        for (std::string& answer : answers)
            bench_->platform.AddAnswer(std::move(answer));
        return RunCommand(bench_->wb, kCmdVelmarProject);
    }

    Workbench& Wb() { return bench_->wb; }
    ProjectSlot& Slot(int k = 1) { return Wb().settings.slots[static_cast<size_t>(k)]; }
    std::vector<std::string> Messages() const { return bench_->platform.Messages(); }
    // The dialogs shown, in order.
    std::vector<std::string> Dialogs() const {
        std::vector<std::string> dialogs;
        for (const std::string& entry : bench_->platform.Log())
            if (entry.rfind("cursor:", 0) != 0 && entry.rfind("message", 0) != 0)
                dialogs.push_back(entry);
        return dialogs;
    }
    // A file of the folder with the folder's path replaced by "<folder>/".
    std::string Portable(const std::string& name) const {
        std::string text = folder_.Read(name);
        const std::string path = folder_.Folder();
        for (size_t at = text.find(path); at != std::string::npos; at = text.find(path, at))
            text.replace(at, path.size(), "<folder>/");
        return text;
    }

    testsupport::TempDir folder_;
    std::unique_ptr<ScriptedWorkbench> bench_;
};

TEST_F(AnalogProjectTest, WritesTheFourEngineFiles) {
    ASSERT_EQ(Command(), kAnalogProjectDone);
    EXPECT_TRUE(Messages().empty());
    ExpectGolden(folder_.Read("reference.ref"), "small.ref");
    ExpectGolden(folder_.Read("environment.env"), "small.env");
    ExpectGolden(folder_.Read("core/core.sam"), "small.sam");
    ExpectGolden(Portable("small.pro"), "small.pro");
    EXPECT_EQ(Slot().projectName, "small");
    EXPECT_EQ(Slot().firstPath, folder_.File("reference.ref"));
    EXPECT_EQ(Slot().secondPath, folder_.File("core/core.sam"));
    EXPECT_EQ(Slot().thirdPath, folder_.File("environment.env"));
    EXPECT_EQ(Slot().speciesFormat, 0);
    EXPECT_EQ(Slot().dataFormat, 1);
    EXPECT_EQ(Wb().projectCounter, 2);
    EXPECT_TRUE(folder_.Has(kSettingsFileName));
    EXPECT_EQ(Dialogs(), (std::vector<std::string>{
                             "save: Save project as", "dialog: FORMATSPECIES", "dialog: FORMATDATA",
                             "open: Select location file", "open: Select reference file",
                             "open: Select environment file", "open: Select location file",
                             "open: Select core file"}));
}

TEST_F(AnalogProjectTest, ProposesTheSlotsProjectNameInTheProjectFilterList) {
    ASSERT_EQ(Command({":ok", ":cancel"}, 3), kSpeciesFormatCancelled);
    const FileDialogRequest& save = bench_->platform.FileRequests().at(0);
    EXPECT_EQ(save.initialPath, "Velmar_Project3.pro");
    EXPECT_EQ(save.filters.at(0).description, "Project files (*.PRO)");
    EXPECT_EQ(Slot(3).projectName, "Velmar_Project3");
    EXPECT_FALSE(folder_.Has("Velmar_Project3.pro"));
}

TEST_F(AnalogProjectTest, TheProjectNameLosesTxtAndProAndIsCutTo63Characters) {
    ASSERT_EQ(Command({folder_.File("a.txt.pro"), ":cancel"}), kSpeciesFormatCancelled);
    EXPECT_EQ(Slot().projectName, "a");
    const std::string longName(70, 'p');
    ASSERT_EQ(Command({folder_.File(longName + ".pro"), ":cancel"}), kSpeciesFormatCancelled);
    EXPECT_EQ(Slot().projectName, std::string(63, 'p'));
    ASSERT_EQ(Command({folder_.File(std::string(62, 'p') + "\xC3\xA9.pro"), ":cancel"}),
              kSpeciesFormatCancelled);
    EXPECT_EQ(Slot().projectName, std::string(62, 'p'));
}

TEST_F(AnalogProjectTest, ACancelledSaveDialogWritesNothingAndAdvancesTheCounter) {
    EXPECT_EQ(Command({":cancel"}, 4), kAnalogProjectDone);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Wb().projectCounter, 5);
    EXPECT_EQ(Dialogs(), std::vector<std::string>{"save: Save project as"});
}

TEST_F(AnalogProjectTest, TheCounterWrapsAfterTheTenthProject) {
    ASSERT_EQ(Command(10), kAnalogProjectDone);
    EXPECT_EQ(Wb().projectCounter, 11);
    EXPECT_EQ(RunAgain({":cancel"}), kAnalogProjectDone);
    EXPECT_EQ(bench_->platform.FileRequests().back().initialPath, "Velmar_Project1.pro");
}

struct CancelCase {
    size_t answers; // answers given; the next dialog is cancelled
    int result;
    bool message147;
};

TEST_F(AnalogProjectTest, EachCancelledDialogEndsWithItsResult) {
    const CancelCase cases[] = {
        {1, kSpeciesFormatCancelled, false},  {2, kDataFormatCancelled, false},
        {3, kReferenceLocationsFailed, true}, {4, kReferenceCancelled, false},
        {5, kEnvironmentCancelled, false},    {6, kCoreLocationsFailed, true},
        {7, kCoreCancelled, false},
    };
    for (const CancelCase& c : cases) {
        std::vector<std::string> answers = AnswersUpTo(c.answers);
        answers.push_back(":cancel");
        EXPECT_EQ(Command(answers), c.result) << c.answers;
        EXPECT_EQ(Messages(),
                  c.message147 ? std::vector<std::string>{kMessage147} : std::vector<std::string>{})
            << c.answers;
        EXPECT_EQ(Wb().projectCounter, 1);
        EXPECT_FALSE(folder_.Has("small.pro"));
    }
}

TEST_F(AnalogProjectTest, TablesThatCannotBeOpenedFailTheirStep) {
    const std::pair<size_t, int> cases[] = {{3, kReferenceLocationsFailed},
                                            {4, kReferenceFailed},
                                            {5, kEnvironmentFailed},
                                            {6, kCoreLocationsFailed},
                                            {7, kCoreFailed}};
    for (const auto& [index, result] : cases) {
        std::vector<std::string> answers = Answers();
        answers[index] = folder_.File("missing.txt");
        EXPECT_EQ(Command(answers), result) << index;
        EXPECT_EQ(Messages(), std::vector<std::string>{kMessage147}) << index;
    }
}

TEST_F(AnalogProjectTest, FilesWrittenBeforeAFailureStay) {
    folder_.Write("env_short.txt", "Station\tWinSST\tSumSST\nNorth Atlantic Station One\t12.5\t18\n"
                                   "S-2\t-1.75\t3\n");
    std::vector<std::string> answers = Answers();
    answers[5] = folder_.File("env_short.txt");
    EXPECT_EQ(Command(answers), kEnvironmentFailed);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 140: The number of the reference samples\\nare not equal "
                              "to the number of the\\nhydrographic positions.",
                              kMessage147}));
    EXPECT_TRUE(folder_.Has("reference.ref"));
    EXPECT_EQ(Slot().firstPath, folder_.File("reference.ref"));
    EXPECT_FALSE(folder_.Has("env_short.env"));
    EXPECT_EQ(Slot().thirdPath, "NoName.reg");
}

TEST_F(AnalogProjectTest, LocationsInAnotherOrderFailTheNameCheckAfterTheReferenceFile) {
    folder_.Write("swapped.txt", "Station\tLat\tLon\tDepth\nS-2\t1\t1\t1\n"
                                 "North Atlantic Station One\t1\t1\t1\nS-3\t1\t1\t1\n");
    std::vector<std::string> answers = Answers();
    answers[3] = folder_.File("swapped.txt");
    EXPECT_EQ(Command(answers), kStationNamesDiffer);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"message 143: The names of stations are not equal:\\n"
                                        ">North Atlantic Station One<\\n>S-2<"}));
    EXPECT_TRUE(folder_.Has("reference.ref"));
}

TEST_F(AnalogProjectTest, AShortLocationFileIsReportedWithAnEmptyName) {
    folder_.Write("short.txt", "Station\tLat\tLon\tDepth\nNorth Atlantic Station One\t1\t1\t1\n"
                               "S-2\t1\t1\t1\n");
    std::vector<std::string> answers = Answers();
    answers[3] = folder_.File("short.txt");
    EXPECT_EQ(Command(answers), kStationNamesDiffer);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 143: The names of stations are not equal:\\n>S-3<\\n><"}));
}

TEST_F(AnalogProjectTest, ACoreTableWithFewerSpeciesFails) {
    folder_.Write("few.txt", "Flag\tSpecies\t0\n\tGlobigerina bulloides\t5\n\tOrb\t1\n");
    std::vector<std::string> answers = Answers();
    answers[7] = folder_.File("few.txt");
    EXPECT_EQ(Command(answers), kCoreFailed);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 141: The number of species in core file\\nare not equal to "
                              "the number of species\\nin the reference file.",
                              kMessage147}));
    EXPECT_FALSE(folder_.Has("few.sam"));
}

TEST_F(AnalogProjectTest, OutputNamesDropTxtAndCsvBeforeTheirExtension) {
    folder_.Copy(TestData("reference.txt"), "ref.CSV");
    folder_.Copy(TestData("environment.txt"), "env.dat");
    std::vector<std::string> answers = Answers();
    answers[4] = folder_.File("ref.CSV");
    answers[5] = folder_.File("env.dat");
    ASSERT_EQ(Command(answers), kAnalogProjectDone);
    EXPECT_TRUE(folder_.Has("ref.ref"));
    EXPECT_TRUE(folder_.Has("env.dat.env"));
    // LastFilter follows each table opened: the environment dialog came after a .CSV file.
    const auto& requests = bench_->platform.FileRequests();
    EXPECT_EQ(requests.at(3).filters.at(0).pattern, "*.csv");
    EXPECT_EQ(requests.at(4).filters.at(0).pattern, "*.*");
}

TEST_F(AnalogProjectTest, AFolderNamedLikeATableIsRenamedTooAndThenFails) {
    std::filesystem::create_directories(folder_.File("d.txt.x"));
    folder_.Copy(TestData("reference.txt"), "d.txt.x/r.txt");
    std::vector<std::string> answers = Answers();
    answers[4] = folder_.File("d.txt.x/r.txt");
    EXPECT_EQ(Command(answers), kReferenceFailed);
    EXPECT_EQ(Messages(), std::vector<std::string>{kMessage147});
    EXPECT_FALSE(folder_.Has("d.txt.x/r.ref"));
}

TEST_F(AnalogProjectTest, AProjectFileThatCannotBeCreatedFails) {
    std::vector<std::string> answers = Answers();
    answers[0] = folder_.File("missing/p.pro");
    EXPECT_EQ(Command(answers), kProjectFileFailed);
    EXPECT_EQ(Messages(), std::vector<std::string>{kMessage147});
    EXPECT_TRUE(folder_.Has("core/core.sam"));
}

// Mended faults at the level of the command: a table the engine's columns cannot hold
// leaves no engine file and no project.
TEST_F(AnalogProjectTest, MoreThanFortyFiveSpeciesWriteNoReferenceFile) {
    std::string table = "Flag\tSpecies\tS1\n";
    for (int s = 1; s <= 46; ++s) {
        table += "\tTaxon ";
        table += std::to_string(s);
        table += "\t1\n";
    }
    folder_.Write("wide.txt", table);
    std::vector<std::string> answers = Answers();
    answers[4] = folder_.File("wide.txt");
    EXPECT_EQ(Command(answers), kReferenceFailed);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: The reference file\\n>" + folder_.File("wide.txt") +
                                  "<\\nholds 46 species; the engine Marvane holds at most "
                                  "45.\\nMark the species to leave out with * in the flag column.",
                              kMessage147}));
    EXPECT_FALSE(folder_.Has("wide.ref"));
    EXPECT_EQ(Slot().firstPath, "No reference file");
}

TEST_F(AnalogProjectTest, AnEmptyEnvironmentCellWritesNoEnvironmentFile) {
    folder_.Write("env_gap.txt", "Station\tWinSST\tSumSST\nNorth Atlantic Station One\t12.5\t18\n"
                                 "S-2\t\t3\nS-3\t28\t29\n");
    std::vector<std::string> answers = Answers();
    answers[5] = folder_.File("env_gap.txt");
    EXPECT_EQ(Command(answers), kEnvironmentFailed);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "message 0: Station 2 (S-2) of the environment file\\n>" +
                                  folder_.File("env_gap.txt") + "<\\nhas no value for WinSST.",
                              kMessage147}));
    EXPECT_FALSE(folder_.Has("env_gap.env"));
    EXPECT_EQ(Slot().thirdPath, "No environment file");
    EXPECT_FALSE(folder_.Has("small.pro"));
}

TEST_F(AnalogProjectTest, ANegativeCoreValueWritesNoCoreFile) {
    std::string core = folder_.Read("core/core.txt");
    core.replace(core.find("\t25\n"), 4, "\t-25\n");
    folder_.Write("core/core.txt", core);
    EXPECT_EQ(Command(), kCoreFailed);
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "message 0: Sample 2 (10) of the core file\\n>" +
                               folder_.File("core/core.txt") +
                               "<\\nhas the value -25 for species 1 (Globigerina bulloides)."
                               "\\nThe engine needs values of zero or more.");
    EXPECT_FALSE(folder_.Has("core/core.sam"));
    EXPECT_EQ(Slot().secondPath, "No sample file");
}

TEST_F(AnalogProjectTest, ADepthTooWideForItsColumnNamesTheCoreLocationFile) {
    folder_.Write("core/core_locations.txt", "Station\tLat\tLon\tDepth\n0\t17\t-74.383\t-2800\n");
    EXPECT_EQ(Command(), kCoreFailed);
    EXPECT_EQ(Messages().at(0), "message 0: Row 1 (0) of the location file\\n>" +
                                    folder_.File("core/core_locations.txt") +
                                    "<\\nhas the depth -2800, which does not fit the engine's "
                                    "column (-999 to 9999 m).");
}

} // namespace
} // namespace corelith
