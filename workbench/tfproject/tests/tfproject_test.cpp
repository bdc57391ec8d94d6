#include "tfproject/tf_project.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/messages.h"
#include "shell/settings.h"
#include "shell/tests/shell_test_support.h"
#include "testing/test_support.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corelith {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Compares `actual` with tests/golden/`name`.
void ExpectGolden(const std::string& name, const std::string& actual) {
    testsupport::ExpectGolden(fs::path(CORELITH_TEST_DIR) / "golden" / name, actual);
}

// A message as the scripted backend records it, with each line break spelt backslash n.
std::string Message(int code, std::string text) {
    for (size_t at; (at = text.find('\n')) != std::string::npos;)
        text.replace(at, 1, "\\n");
    return "message " + std::to_string(code) + ": " + text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Reference table, species in column: one left-out row, a name cut to its code, a name of
// exactly 8 characters, a value wider than 5 digits and a long sample name.
constexpr char kReferenceInColumn[] = "Corner\tSpecies\tS1\tS2\tABCDEFGHIJKLMNOP\n"
                                      "\tN. pachyderma\t12.3456\t7\t0\n"
                                      "\tOrb\t1\t2\t3\n"
                                      "*\tLeft out\t9\t9\t9\n"
                                      "\tG. ruber\t5\t123456.7\t4\n"
                                      "\tGloborotalia inflata\t0.4\t0.4\t2.6\n";
// The same table with species in line.
constexpr char kReferenceInLine[] =
    "Corner\t\t\t*\t\t\n"
    "Sample\tN. pachyderma\tOrb\tLeft out\tG. ruber\tGloborotalia inflata\n"
    "S1\t12.3456\t1\t9\t5\t0.4\n"
    "S2\t7\t2\t9\t123456.7\t0.4\n"
    "ABCDEFGHIJKLMNOP\t0\t3\t9\t4\t2.6\n";
// Stations of the reference samples; one value missing.
constexpr char kEnvironment[] = "Station\tSST\tSummer temperature\n"
                                "S1\t12.5\t\n"
                                "S2\t-1.25\t20.123456\n"
                                "ABCDEFGHIJKLMNOP\t3\t4\n";
// Down-core samples with decimal commas.
constexpr char kCoreInColumn[] = "Depth\tSpecies\tC1\tC2\n"
                                 "\tN. pachyderma\t1,4\t2\n"
                                 "\tOrb\t0\t10\n"
                                 "\tG. ruber\t3\t0,6\n"
                                 "\tGloborotalia inflata\t12,7\t7\n";
constexpr char kCoreInLine[] = "Depth\t\t\t\t\n"
                               "Sample\tN. pachyderma\tOrb\tG. ruber\tGloborotalia inflata\n"
                               "C1\t1,4\t0\t3\t12,7\n"
                               "C2\t2\t10\t0,6\t7\n";

// Keeps the caption and icon of each box, which the scripted log leaves out.
class RecordingPlatform : public ScriptedPlatform {
  public:
    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override {
        boxes.emplace_back(caption, icon);
        ScriptedPlatform::ShowMessage(code, caption, text, icon, beep);
    }
    std::vector<std::pair<std::string, MessageIcon>> boxes;
};

class TfProjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_.SetSettingsFolder(dir_.Folder());
        platform_.SetDialogLookup(FindDialogTemplate);
        StartWorkbench(wb_);
        wb_.workingFolder = dir_.Folder();
    }
    std::string PathOf(const std::string& name) const { return dir_.File(name); }
    void Put(const std::string& name, const std::string& text) const { dir_.Write(name, text); }
    // The reference, environment and core tables of a complete build.
    void PutInputs(const char* reference, const char* core) const {
        Put("ref.txt", reference);
        Put("env.txt", kEnvironment);
        Put("core.txt", core);
    }
    std::string Get(const std::string& name) const { return dir_.Read(name); }
    bool Exists(const std::string& name) const { return dir_.Has(name); }
    // Compares `actual` with the golden file `name`, in which "{DIR}/" stands for the test
    // folder with the platform's separator.
    void ExpectGoldenHere(const std::string& name, std::string actual) const {
        const std::string folder = dir_.Folder();
        for (size_t at; (at = actual.find(folder)) != std::string::npos;)
            actual.replace(at, folder.size(), "{DIR}/");
        ExpectGolden(name, actual);
    }
    void Answer(const std::vector<std::string>& answers) {
        for (const std::string& a : answers)
            platform_.AddAnswer(a);
    }
    ProjectSlot& Slot(int k) { return wb_.settings.slots[static_cast<size_t>(k)]; }

    // Every answer of a complete build: project file, the four option dialogs, then the
    // input and output files of the three tools.
    std::vector<std::string> FullBuild(const std::string& layout, const std::string& data) {
        return {"Survey.pro", layout, data,       "CapFac+Regress+Thread",
                ":ok",        ":ok",  "ref.txt",  ":ok",
                "env.txt",    ":ok",  "core.txt", ":ok"};
    }

    testsupport::TempDir dir_;
    RecordingPlatform platform_;
    Workbench wb_{platform_};
};

// ---- the whole command ----

TEST_F(TfProjectTest, BuildsTheFourFilesSpeciesInColumnRawData) {
    PutInputs(kReferenceInColumn, kCoreInColumn);
    Answer(FullBuild("1", "1"));

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), 0);

    EXPECT_THAT(platform_.Messages(), IsEmpty());
    ExpectGolden("capfac_raw.cap", Get("ref.cap"));
    ExpectGolden("regress.reg", Get("env.reg"));
    ExpectGolden("thread_raw.thr", Get("core.thr"));
    ExpectGoldenHere("project.pro", Get("Survey.pro"));
    EXPECT_EQ(Slot(1).firstPath, PathOf("ref.cap"));
    EXPECT_EQ(Slot(1).thirdPath, PathOf("env.reg"));
    EXPECT_EQ(Slot(1).secondPath, PathOf("core.thr"));
    EXPECT_EQ(platform_.AnswersLeft(), 0u);
    EXPECT_EQ(platform_.CurrentCursor(), Cursor::Arrow);
}

TEST_F(TfProjectTest, SpeciesInLineGivesTheSameFilesAndPercentDataIsScaled) {
    PutInputs(kReferenceInLine, kCoreInLine);
    Answer(FullBuild("2", "2"));

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), 0);

    EXPECT_THAT(platform_.Messages(), IsEmpty());
    ExpectGolden("capfac_percent.cap", Get("ref.cap"));
    ExpectGolden("thread_percent.thr", Get("core.thr"));
    EXPECT_EQ(Slot(1).speciesFormat, 1);
    EXPECT_EQ(Slot(1).dataFormat, 1);
}

TEST_F(TfProjectTest, SpeciesInLineRawDataMatchesTheColumnLayout) {
    PutInputs(kReferenceInLine, kCoreInLine);
    Answer(FullBuild("2", "1"));

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), 0);
    ExpectGolden("capfac_raw.cap", Get("ref.cap"));
    ExpectGolden("thread_raw.thr", Get("core.thr"));
}

TEST_F(TfProjectTest, AsksForEachFileWithItsTitleFilterAndProposal) {
    PutInputs(kReferenceInColumn, kCoreInColumn);
    Answer(FullBuild(":ok", ":ok"));

    ASSERT_EQ(BuildTransferFunctionProject(wb_, 3), 0);

    const auto& requests = platform_.FileRequests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].title, "Save project as");
    EXPECT_EQ(requests[0].initialPath, "TransferFunction_Project3.pro");
    EXPECT_EQ(requests[0].filters[0].pattern, "*.PRO");
    EXPECT_EQ(requests[1].title, "Select reference file");
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[2].title, "Save *.cap file");
    EXPECT_EQ(requests[2].initialPath, "ref.cap");
    EXPECT_EQ(requests[2].filters[0].pattern, "*.cap");
    EXPECT_EQ(requests[3].title, "Select environment file");
    EXPECT_EQ(requests[4].title, "Save *.reg file");
    EXPECT_EQ(requests[4].initialPath, "env.reg");
    EXPECT_EQ(requests[4].filters[0].pattern, "*.reg");
    EXPECT_EQ(requests[5].title, "Select core file");
    EXPECT_EQ(requests[6].title, "Save *.thr file");
    EXPECT_EQ(requests[6].initialPath, "core.thr");
    EXPECT_EQ(requests[6].filters[0].pattern, "*.thr");
    // The open dialogs follow the remembered filter: ".txt" files keep list 1.
    EXPECT_EQ(requests[5].filters[0].pattern, "*.txt");
    EXPECT_EQ(wb_.settings.lastFilter, 1);
}

TEST_F(TfProjectTest, BuildsInItsOwnSlotFromThatSlotsValues) {
    PutInputs(kReferenceInColumn, kCoreInColumn);
    Slot(1).numberOfFactors() = 9; // the Options menu edits slot 1 only
    Answer(FullBuild(":ok", ":ok"));

    ASSERT_EQ(BuildTransferFunctionProject(wb_, 2), 0);
    ExpectGolden("capfac_raw.cap", Get("ref.cap"));
    EXPECT_EQ(Slot(2).projectName, "Survey");
    EXPECT_EQ(Slot(1).projectName, "Project");
    EXPECT_EQ(Slot(1).firstPath, "NoName.cap");
}

TEST_F(TfProjectTest, OptionDialogsInsideTheBuildStoreTheirChoices) {
    PutInputs(kReferenceInColumn, kCoreInColumn);
    Answer({"Survey.pro", ":ok", ":ok", ":ok", "3", "1", "ref.txt", ":ok", "env.txt", ":ok",
            "core.txt", ":ok"});

    ASSERT_EQ(BuildTransferFunctionProject(wb_, 1), 0);

    const std::vector<std::string> cap = Lines(Get("ref.cap"));
    EXPECT_EQ(cap[5], "Faktorenanzahl           :       3");
    const std::vector<std::string> reg = Lines(Get("env.reg"));
    EXPECT_EQ(reg[5], " IPOW           0");
    EXPECT_EQ(reg.back(), "23" + std::string(9, '0')); // 3 factors: 3 * 6 / 2 + 2 terms
    EXPECT_EQ(Lines(Get("Survey.pro"))[2], "0 0 0 0 0 3 0 0 0 1");
    EXPECT_EQ(Lines(Get("Survey.pro"))[4], "0 0 0 0 0 0 0 0 0 1");
    // Slot 1 is what the settings file keeps: factors and regression type are saved.
    const std::vector<std::string> settings = Lines(Get(kSettingsFileName));
    ASSERT_GE(settings.size(), 2u);
    EXPECT_EQ(settings[1], "0\t0\t1\t1\t1\t3\t0\t5\t10.000000\t1");
}

TEST_F(TfProjectTest, NoToolTickedWritesOnlyTheProjectFileWithTheSlotsEarlierPaths) {
    Answer({"Empty.pro", ":ok", ":ok", "none"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), 0);

    ExpectGolden("project_no_tools.pro", Get("Empty.pro"));
    EXPECT_EQ(platform_.FileRequests().size(), 1u);
    for (const std::string& entry : platform_.Log())
        EXPECT_THAT(entry, ::testing::Not(HasSubstr("OPTIONS")));
}

TEST_F(TfProjectTest, ProjectNameDropsLowerCaseTxtAndProOnly) {
    struct Case {
        std::string typed, file, name;
    };
    const std::vector<Case> cases = {
        {"Survey.txt.pro", "Survey.txt.pro", "Survey"},
        {"Survey.PRO", "Survey.PRO", "Survey.PRO"},
        {"Survey", "Survey.csv", "Survey.csv"}, // the save dialog's default extension
        {std::string(70, 'n') + ".pro", std::string(70, 'n') + ".pro", std::string(63, 'n')},
    };
    for (const Case& c : cases) {
        Answer({c.typed, ":ok", ":ok", "none"});
        EXPECT_EQ(BuildTransferFunctionProject(wb_, 4), 0) << c.typed;
        EXPECT_EQ(Slot(4).projectName, c.name) << c.typed;
        EXPECT_EQ(Lines(Get(c.file))[0], "Project: " + c.name) << c.typed;
    }
}

TEST_F(TfProjectTest, EveryCancelEndsTheBuildWithItsCode) {
    PutInputs(kReferenceInColumn, kCoreInColumn);
    const std::vector<int> expected = {0, -1, -2, -3, -4, -5, -7, -7, -8, -8, -9, -9};
    const std::vector<std::string> all = FullBuild(":ok", ":ok");
    for (size_t k = 0; k < expected.size(); ++k) {
        fs::remove(dir_.path() / "Survey.pro");
        std::vector<std::string> answers(all.begin(), all.begin() + static_cast<long>(k));
        answers.push_back(":cancel");
        Answer(answers);
        EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), expected[k]) << "cancel at " << k;
        EXPECT_FALSE(Exists("Survey.pro")) << "cancel at " << k;
        EXPECT_THAT(platform_.Messages(), IsEmpty());
    }
    // Files written by earlier steps stay.
    EXPECT_TRUE(Exists("ref.cap"));
    EXPECT_TRUE(Exists("env.reg"));
}

TEST_F(TfProjectTest, OptionsDialogsAreSkippedForUntickedTools) {
    Put("core.txt", kCoreInColumn);
    Answer({"T.pro", ":ok", ":ok", "Thread", "core.txt", ":ok"});

    ASSERT_EQ(BuildTransferFunctionProject(wb_, 1), 0);
    ExpectGolden("thread_raw.thr", Get("core.thr"));
    EXPECT_EQ(Lines(Get("T.pro"))[1], "NoName.cap");
    EXPECT_EQ(Lines(Get("T.pro"))[3], "NoName.reg");
    EXPECT_EQ(Lines(Get("T.pro"))[5], PathOf("core.thr"));
}

TEST_F(TfProjectTest, WithoutCapFacNothingIsComparedWithTheReference) {
    Put("env.txt", "Station\tSST\nOther1\t1\n");
    Put("core.txt", "Depth\tSpecies\tC1\n\tAlpha species\t4\n");
    // A reference table read earlier must not matter.
    Put("ref.txt", kReferenceInColumn);
    Answer({"A.pro", ":ok", ":ok", "CapFac", ":ok", "ref.txt", ":ok"});
    ASSERT_EQ(BuildTransferFunctionProject(wb_, 1), 0);

    Answer({"B.pro", ":ok", ":ok", "Regress+Thread", ":ok", "env.txt", ":ok", "core.txt", ":ok"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 2), 0);
    EXPECT_THAT(platform_.Messages(), IsEmpty());
    EXPECT_EQ(Get("core.thr"), "Samples     1\nC1\nAlpha sp    4\n");
    EXPECT_THAT(Get("env.reg"), HasSubstr("Core : Other1\nSST        1.00000\n"));
}

// ---- failures of the steps ----

TEST_F(TfProjectTest, FewerStationsThanReferenceSamplesIsRefused) {
    Put("ref.txt", kReferenceInColumn);
    Put("env.txt", "Station\tSST\nS1\t1\nS2\t2\n");
    Answer({"Survey.pro", ":ok", ":ok", ":ok", ":ok", ":ok", "ref.txt", ":ok", "env.txt"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre(Message(140, "The number of the reference samples\nare not equal "
                                         "to the number of the\nhydrographic positions.")));
    EXPECT_FALSE(Exists("env.reg"));
    EXPECT_FALSE(Exists("Survey.pro"));
    EXPECT_EQ(Slot(1).thirdPath, "NoName.reg");
}

TEST_F(TfProjectTest, StationNamedOtherThanItsReferenceSampleIsRefused) {
    Put("ref.txt", kReferenceInColumn);
    Put("env.txt", "Station\tSST\nS1\t1\nS9\t2\nABCDEFGHIJKLMNOP\t3\n");
    Answer({"Survey.pro", ":ok", ":ok", ":ok", ":ok", ":ok", "ref.txt", ":ok", "env.txt"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre(Message(143, "The names of stations are not equal:\n>S2<\n>S9<")));
    EXPECT_FALSE(Exists("env.reg"));
}

TEST_F(TfProjectTest, CoreWithOneSpeciesFewerIsRefusedByTheCount) {
    Put("ref.txt", kReferenceInColumn);
    Put("env.txt", kEnvironment);
    Put("core.txt", "Depth\tSpecies\tC1\n\tN. pachyderma\t1\n\tOrb\t2\n\tG. ruber\t3\n");
    Answer(FullBuild(":ok", ":ok"));

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -22);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre(Message(141, "The number of species in core file\nare not equal "
                                         "to the number of species\nin the reference file.")));
    EXPECT_FALSE(Exists("core.thr"));
    EXPECT_TRUE(Exists("env.reg"));
}

TEST_F(TfProjectTest, CoreSpeciesInAnotherOrderAreRefusedByName) {
    Put("ref.txt", kReferenceInColumn);
    Put("env.txt", kEnvironment);
    Put("core.txt", "Depth\tSpecies\tC1\n\tN. pachyderma\t1\n\tG. ruber\t3\n\tOrb\t2\n"
                    "\tGloborotalia inflata\t4\n");
    Answer(FullBuild(":ok", ":ok"));

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -22);
    EXPECT_THAT(
        platform_.Messages(),
        ElementsAre(Message(138, "The names of species are not equal:\n>Orb<\n>G. ruber<")));
}

TEST_F(TfProjectTest, AMissingReferenceFileIsNamedAndEndsTheBuild) {
    Answer({"Survey.pro", ":ok", ":ok", ":ok", ":ok", ":ok", "missing.txt"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -20);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre("message 136: Could not find file:\\n>" + PathOf("missing.txt") + "<"));
    EXPECT_FALSE(Exists("Survey.pro"));
}

TEST_F(TfProjectTest, NoParameterFileReplacesAnInputOfTheBuild) {
    // The Regress file named like the reference table, the project file like the core table.
    PutInputs(kReferenceInColumn, kCoreInColumn);
    Answer({"P.pro", ":ok", ":ok", ":ok", ":ok", ":ok", "ref.txt", ":ok", "env.txt", "ref.txt"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre("message 0: The output file\\n>" + PathOf("ref.txt") +
                            "<\\nis the input file\\nof this command and would be lost. Choose "
                            "another name."));
    EXPECT_EQ(Get("ref.txt"), kReferenceInColumn);

    Answer({"core.txt", ":ok", ":ok", ":ok", ":ok", ":ok", "ref.txt", ":ok", "env.txt", ":ok",
            "core.txt", ":ok"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -10);
    EXPECT_EQ(Get("core.txt"), kCoreInColumn);
    EXPECT_TRUE(Exists("core.thr"));
}

// The term-code table of the regression tool holds 100 positions: 12 factors with 10
// variables fill it exactly, 13 factors never fit.
TEST_F(TfProjectTest, TermCodesFillingAllHundredPositionsAreWritten) {
    std::string env = "Station";
    for (int v = 1; v <= 10; ++v) {
        env += "\tV";
        env += std::to_string(v);
    }
    env += "\nX1";
    for (int v = 1; v <= 10; ++v)
        env += "\t1";
    Put("env.txt", env + "\n");
    Slot(1).numberOfFactors() = 12;
    Answer({"R.pro", ":ok", ":ok", "Regress", ":ok", "env.txt", ":ok"});

    ASSERT_EQ(BuildTransferFunctionProject(wb_, 1), 0);
    const std::vector<std::string> reg = Lines(Get("env.reg"));
    ASSERT_EQ(reg.size(), 16u + 1u * (2 + 10) + 10u);
    EXPECT_EQ(reg[16 + 12], "3222222222" + std::string(90, '0'));
    EXPECT_EQ(reg[16 + 15], "2223222222" + std::string(90, '0'));
    EXPECT_EQ(reg.back(), "2222222223" + std::string(90, '0'));
}

TEST_F(TfProjectTest, TooManyTermCodesAreRefusedBeforeAnyRegressFileIsWritten) {
    Put("env.txt", kEnvironment);
    Slot(1).numberOfFactors() = 13;
    Answer({"R.pro", ":ok", ":ok", "Regress", ":ok", "env.txt", ":ok"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(
        platform_.Messages(),
        ElementsAre(Message(0, "The regression model has 106 terms\n(13 factors, 2 "
                               "environmental variables),\nbut at most 100 terms can be coded.\n"
                               "Lower the number of factors (Options, CapFac...).\n"
                               "No Regress file has been written.")));
    EXPECT_EQ(platform_.BeepCount(), 1);
    EXPECT_THAT(platform_.boxes,
                ElementsAre(std::make_pair(std::string("Corelith"), MessageIcon::Stop)));
    EXPECT_FALSE(Exists("env.reg"));
    EXPECT_EQ(platform_.FileRequests().size(), 2u); // no save dialog was shown
    EXPECT_EQ(Slot(1).thirdPath, "NoName.reg");
}

TEST_F(TfProjectTest, NegativeFactorCountIsRefusedForTheRegressFile) {
    Put("env.txt", kEnvironment);
    Slot(1).numberOfFactors() = -1;
    Answer({"R.pro", ":ok", ":ok", "Regress", ":ok", "env.txt", ":ok"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre(Message(0, "The number of factors is -1.\nThe regression needs 0 or "
                                       "more factors.\nNo Regress file has been written.")));
    EXPECT_FALSE(Exists("env.reg"));
}

TEST_F(TfProjectTest, EnvironmentFileWithoutVariablesIsRefused) {
    Put("env.txt", "\nS1\n"); // an empty header line names no variable
    Answer({"R.pro", ":ok", ":ok", "Regress", ":ok", "env.txt", ":ok"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -21);
    EXPECT_THAT(platform_.Messages(),
                ElementsAre(Message(0, "The environment file holds no environmental "
                                       "variable.\nNo Regress file has been written.")));
    EXPECT_FALSE(Exists("env.reg"));
}

TEST_F(TfProjectTest, FailedWriteOfAParameterFileIsReportedAndMarkedInTheSlot) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    Put("ref.txt", kReferenceInColumn);
    fs::create_symlink("/dev/full", dir_.path() / "full.cap");
    Answer({"Survey.pro", ":ok", ":ok", "CapFac", ":ok", "ref.txt", "full.cap"});

    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -20);
    EXPECT_EQ(Slot(1).firstPath, "No CapFac file");
    EXPECT_FALSE(Exists("Survey.pro"));
}

TEST_F(TfProjectTest, FailedWriteOfTheProjectFileIsReported) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    fs::create_symlink("/dev/full", dir_.path() / "full.pro");
    Answer({"full.pro", ":ok", ":ok", "none"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -11);
}

TEST_F(TfProjectTest, ProjectFileThatCannotBeCreatedIsReported) {
    fs::create_directory(dir_.path() / "locked");
    fs::create_directory(dir_.path() / "locked" / "x.pro"); // a folder where the file should go
    Answer({"locked/x.pro", ":ok", ":ok", "none"});
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 1), -10);
}

TEST_F(TfProjectTest, SlotNumbersOutsideOneToTenAreRefused) {
    const size_t logged = platform_.Log().size();
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 0), -10);
    EXPECT_EQ(BuildTransferFunctionProject(wb_, 11), -10);
    EXPECT_EQ(CapFacOptions(wb_, 11), 0);
    EXPECT_EQ(RegressOptions(wb_, 0), 0);
    EXPECT_EQ(platform_.Log().size(), logged);
}

// ---- the writers ----

TEST(SpeciesCodeTest, IsTheFirstEightCharactersPaddedWithBlanks) {
    EXPECT_EQ(SpeciesCode("N. pachyderma"), "N. pachy");
    EXPECT_EQ(SpeciesCode("Orb"), "Orb     ");
    EXPECT_EQ(SpeciesCode("G. ruber"), "G. ruber");
    EXPECT_EQ(SpeciesCode(""), "        ");
}

TEST(SpeciesCodeTest, NeverSplitsAUtf8Character) {
    // "ä" takes bytes 8 and 9: the code keeps 8 bytes, with a blank in its place.
    EXPECT_EQ(SpeciesCode("Bolivin\xC3\xA4"
                          "a"),
              "Bolivin ");
    EXPECT_EQ(SpeciesCode("\xC3\x89lphidium"), "\xC3\x89lphidi");
    // A one-byte encoding is cut where asked.
    EXPECT_EQ(SpeciesCode("Bolivin\xE4x"), "Bolivin\xE4");
    EXPECT_EQ(CutText("Station \xE2\x82\xAC"
                      "12",
                      10),
              "Station ");
}

TEST(RegressTermCountTest, CountsVariableAndFactorTermsWithoutOverflow) {
    EXPECT_EQ(RegressTermCount(5, 2), 22);
    EXPECT_EQ(RegressTermCount(12, 10), 100);
    EXPECT_EQ(RegressTermCount(13, 1), 105);
    EXPECT_EQ(RegressTermCount(0, 3), 3);
    EXPECT_GT(RegressTermCount(2147483647, 1), 2147483647LL);
}

class WriterTest : public ::testing::Test {
  protected:
    void SetUp() override { AllocateTables(tables_); }
    std::string Write(const std::function<int(LineWriter&)>& write) {
        LineWriter out(folder_.File("out.txt"));
        EXPECT_EQ(write(out), 0);
        EXPECT_EQ(out.Close(), 0);
        return folder_.Read("out.txt");
    }
    testsupport::TempDir folder_;
    Tables tables_;
    ProjectSlot project_;
};

TEST_F(WriterTest, CapFacFileListsSpeciesWithTheSameCodeInOrder) {
    tables_.species.names[1] = "Globigerina bulloides";
    tables_.species.names[2] = "Globigerina falconensis";
    tables_.reference.names[1] = "K1";
    tables_.reference.Value(1, 1) = 7;
    tables_.reference.Value(1, 2) = 8;
    project_.projectName = "P";
    const std::string text = Write([&](LineWriter& f) {
        return WriteCapFacFile(f, 2, 1, tables_.species, tables_.reference, project_);
    });
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 11u + 2 + 1 * (1 + 2));
    EXPECT_EQ(lines[10], "Globiger");
    EXPECT_EQ(lines[11], "Globiger");
    EXPECT_EQ(lines[14], "Globiger    7");
    EXPECT_EQ(lines[15], "Globiger    8");
    EXPECT_EQ(tables_.species.codes[2], "Globiger");
}

TEST_F(WriterTest, RegressFileHasItsLineCountAndPadsTheStoredVariableNames) {
    EnvironmentTable& env = tables_.environment;
    env.variableNames[1] = "SST";
    env.variableNames[2] = "Salinity";
    env.variableNames[3] = "Oxygen content";
    for (int s = 1; s <= 4; ++s) {
        env.stationNames[static_cast<size_t>(s)] = std::string("St").append(std::to_string(s));
        for (int v = 1; v <= 3; ++v)
            env.Value(s, v) = static_cast<float>(s * v);
    }
    const std::string text =
        Write([&](LineWriter& f) { return WriteRegressFile(f, 3, 4, env, project_); });
    const std::vector<std::string> lines = Lines(text);
    EXPECT_EQ(lines.size(), 16u + 4 * (2 + 3) + 3);
    EXPECT_EQ(lines[18], "SST        1.00000");
    EXPECT_EQ(lines[19], "Salinity   2.00000");
    EXPECT_EQ(lines[20], "Oxygen content   3.00000");
    EXPECT_EQ(env.variableNames[1], "SST     ");
    EXPECT_EQ(env.variableNames[3], "Oxygen content");
    EXPECT_EQ(lines.back().size(), 23u); // 5 * 8 / 2 + 3 terms
}

TEST_F(WriterTest, RegressWriterWritesNothingForAModelThatDoesNotFit) {
    project_.numberOfFactors() = 40;
    LineWriter out(folder_.File("model.reg"));
    EXPECT_EQ(WriteRegressFile(out, 2, 1, tables_.environment, project_), -2);
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(folder_.Read("model.reg"), "");
}

TEST_F(WriterTest, ThreadFileHasOneLinePerSampleAndSpecies) {
    tables_.species.names[1] = "A";
    for (int s = 1; s <= 12; ++s) {
        tables_.core.names[static_cast<size_t>(s)] = std::string("K").append(std::to_string(s));
        tables_.core.Value(s, 1) = 0.0126f;
    }
    project_.dataFormat = 1;
    const std::string text = Write([&](LineWriter& f) {
        return WriteThreadFile(f, 1, 12, tables_.species, tables_.core, project_);
    });
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 1u + 12 * (1 + 1));
    EXPECT_EQ(lines[0], "Samples    12");
    EXPECT_EQ(lines[2], "A          13");
}

TEST_F(WriterTest, WriteFailureIsReported) {
#ifdef _WIN32
    GTEST_SKIP() << "no full device on Windows (Wine writes to the Unix one without an error)";
#endif
    LineWriter out("/dev/full");
    if (!out.IsOpen())
        GTEST_SKIP() << "no /dev/full";
    // The lines wait in the buffer until the close meets the full device.
    WriteProjectFile(out, project_);
    EXPECT_EQ(out.Close(), -1);
    EXPECT_TRUE(out.Failed());
}

// ---- the options dialogs ----

TEST_F(TfProjectTest, CapFacOptionsStoresTheTypedNumberAndSavesSlotOne) {
    Answer({"8"});
    EXPECT_EQ(CapFacOptions(wb_, 1), 1);
    EXPECT_EQ(Slot(1).numberOfFactors(), 8);
    EXPECT_EQ(Lines(Get(kSettingsFileName))[1], "0\t0\t1\t1\t1\t8\t1\t5\t10.000000\t1");
    EXPECT_THAT(platform_.Log(), ::testing::Contains("dialog: CAPFACOPTIONS"));
}

TEST_F(TfProjectTest, CapFacOptionsKeepsTheValueForTextThatIsNoNumber) {
    for (const char* typed : {"abc", " ", ""}) {
        Answer({typed});
        EXPECT_EQ(CapFacOptions(wb_, 1), 1) << typed;
        EXPECT_EQ(Slot(1).numberOfFactors(), 5) << typed;
    }
}

TEST_F(TfProjectTest, CapFacOptionsCancelChangesNothing) {
    fs::remove(dir_.path() / kSettingsFileName);
    Answer({":cancel"});
    EXPECT_EQ(CapFacOptions(wb_, 1), 0);
    EXPECT_EQ(Slot(1).numberOfFactors(), 5);
    EXPECT_FALSE(Exists(kSettingsFileName));
}

TEST_F(TfProjectTest, RegressOptionsStoresZeroOrOne) {
    Answer({"1"});
    EXPECT_EQ(RegressOptions(wb_, 1), 1);
    EXPECT_EQ(Slot(1).regressionType(), 0);
    Answer({"2"});
    EXPECT_EQ(RegressOptions(wb_, 1), 1);
    EXPECT_EQ(Slot(1).regressionType(), 1);
    // A stored 2 opens on the second choice and is saved back as 1.
    Slot(1).regressionType() = 2;
    Answer({":ok"});
    EXPECT_EQ(RegressOptions(wb_, 1), 1);
    EXPECT_EQ(Slot(1).regressionType(), 1);
    Answer({":cancel"});
    Slot(1).regressionType() = 0;
    EXPECT_EQ(RegressOptions(wb_, 1), 0);
    EXPECT_EQ(Slot(1).regressionType(), 0);
}

// Opens the dialog on controls kept in maps, types each text into the factor field, then presses
// OK.
class TypingPlatform : public ScriptedPlatform {
  public:
    std::vector<std::string> typed;
    testing::MapControls controls;
    int RunDialog(DialogModel& model) override {
        model.OnInit(controls);
        opened = controls;
        for (const std::string& text : typed) {
            controls.SetText(kIdFactorCount, text);
            model.OnCommand(controls, kIdFactorCount, Notification::Changed);
        }
        model.OnCommand(controls, kIdOk, Notification::Clicked);
        return controls.result;
    }
    testing::MapControls opened;
};

TEST(CapFacOptionsDialogTest, OpensOnTheNumberAndTakesEachWholeNumberTyped) {
    const testsupport::TempDir folder;
    TypingPlatform platform;
    platform.SetSettingsFolder(folder.Folder());
    Workbench wb(platform);
    wb.settings.slots[1].numberOfFactors() = 5;
    platform.typed = {"1", "12", "12x", " "};
    EXPECT_EQ(CapFacOptions(wb, 1), 1);
    EXPECT_EQ(platform.opened.Text(kIdFactorCount), "5");
    EXPECT_EQ(wb.settings.slots[1].numberOfFactors(), 12);
    EXPECT_TRUE(folder.Has(kSettingsFileName));
}

// 99999999999 is no int: the field would keep the last value without a word.
TEST(CapFacOptionsDialogTest, ANumberBeyondTheSettingsFileIsRefusedAtOk) {
    const testsupport::TempDir folder;
    TypingPlatform platform;
    platform.SetSettingsFolder(folder.Folder());
    Workbench wb(platform);
    wb.settings.slots[1].numberOfFactors() = 5;
    platform.typed = {"99999999999"};
    EXPECT_EQ(CapFacOptions(wb, 1), 0) << "the dialog stays open";
    EXPECT_EQ(wb.settings.slots[1].numberOfFactors(), 5);
    EXPECT_THAT(platform.Messages(),
                ElementsAre("message 0: The number of factors 99999999999 cannot be kept: the "
                            "settings file holds whole numbers up to 2147483647."));
    EXPECT_FALSE(folder.Has(kSettingsFileName));
}

// ---- the dialog templates ----

TEST(TfProjectTemplatesTest, CapFacOptionsHasItsFieldLabelAndButtons) {
    const DialogTemplate* t = FindDialogTemplate("CAPFACOPTIONS");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "CapFac options");
    EXPECT_EQ(t->width, 123);
    EXPECT_EQ(t->height, 74);
    std::map<int, std::pair<ControlKind, std::string>> byId;
    std::vector<std::string> labels;
    for (const ControlTemplate& c : t->controls) {
        if (c.id >= 0)
            byId[c.id] = {c.kind, c.text};
        if (c.kind == ControlKind::Label)
            labels.push_back(c.text);
        EXPECT_LE(c.x + c.width, t->width);
        EXPECT_LE(c.y + c.height, t->height);
    }
    EXPECT_THAT(labels, ElementsAre("Number of factors"));
    EXPECT_EQ(byId[kIdFactorCount].first, ControlKind::Edit);
    EXPECT_EQ(byId[kIdOk], std::make_pair(ControlKind::DefaultButton, std::string("OK")));
    EXPECT_EQ(byId[kIdCancel], std::make_pair(ControlKind::Button, std::string("Cancel")));
}

TEST(TfProjectTemplatesTest, RegressOptionsHasTheTwoRadioButtons) {
    const DialogTemplate* t = FindDialogTemplate("regressoptions");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "Regress options");
    EXPECT_EQ(t->width, 123);
    EXPECT_EQ(t->height, 74);
    std::map<int, std::pair<ControlKind, std::string>> byId;
    for (const ControlTemplate& c : t->controls)
        byId[c.id] = {c.kind, c.text};
    EXPECT_EQ(byId[1164], std::make_pair(ControlKind::Radio, std::string("linear regression")));
    EXPECT_EQ(byId[1165], std::make_pair(ControlKind::Radio, std::string("quadratic regression")));
    EXPECT_EQ(byId[kIdOk].first, ControlKind::DefaultButton);
    EXPECT_EQ(byId[kIdCancel].first, ControlKind::Button);
}

} // namespace
} // namespace corelith
