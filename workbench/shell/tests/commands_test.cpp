#include "shell/commands.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/installed_programs.h"
#include "shell/settings.h"
#include "shell_test_support.h"
#include "textio/paths.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace corelith {
namespace {

using testing::SettingsLine;

#ifdef _WIN32
constexpr char kQuillonFile[] = "quillon.exe";
constexpr char kMarvaneFile[] = "marvane.exe";
constexpr char kShellTestsFile[] = "shell_tests.exe";
// Programs chosen in the executable dialogs, by absolute paths of the platform.
constexpr char kOldQuillon[] = "C:\\old\\quillon.exe";
constexpr char kChosenQuillon[] = "C:\\opt\\q.exe";
constexpr char kChosenMarvane[] = "C:\\opt\\velmar\\marvane.bin";
#else
constexpr char kQuillonFile[] = "quillon";
constexpr char kMarvaneFile[] = "marvane";
constexpr char kShellTestsFile[] = "shell_tests";
constexpr char kOldQuillon[] = "/old/quillon.exe";
constexpr char kChosenQuillon[] = "/opt/q.exe";
constexpr char kChosenMarvane[] = "/opt/velmar/marvane.bin";
#endif

class CommandsTest : public ::testing::Test {
  protected:
    // A workbench on the scripted backend whose settings file and current folder are the
    // test's temporary folder.
    Workbench& Start(std::vector<std::string> answers) {
        platform_ = std::make_unique<ScriptedPlatform>(std::move(answers));
        platform_->SetSettingsFolder(folder_.Folder());
        platform_->SetDialogLookup(FindDialogTemplate);
        wb_ = std::make_unique<Workbench>(*platform_);
        wb_->workingFolder = folder_.Folder();
        wb_->programFolder = folder_.Folder();
        return *wb_;
    }
    ScriptedPlatform& Platform() { return *platform_; }

    testsupport::TempDir folder_;
    std::unique_ptr<ScriptedPlatform> platform_;
    std::unique_ptr<Workbench> wb_;
};

TEST_F(CommandsTest, InfoVersionAndHelpShowTheirMessages) {
    Workbench& wb = Start({});
    EXPECT_EQ(RunCommand(wb, 71), 0);
    EXPECT_EQ(RunCommand(wb, 72), 0);
    EXPECT_EQ(RunCommand(wb, 73), 0);
    EXPECT_EQ(Platform().Messages(),
              (std::vector<std::string>{"message 135: Info not yet implemented!",
                                        "message 134: Version number:\\n1.08 - Build: 07.10.2003",
                                        "message 146: Help not yet implemented!"}));
    EXPECT_EQ(Platform().BeepCount(), 0);
}

TEST_F(CommandsTest, CommandsWithoutAnActionDoNothing) {
    Workbench& wb = Start({});
    for (int id : {0, 18, 21, 22, 23, 24, 25, 26, 35, 36, 99, -5, 65535})
        EXPECT_EQ(RunCommand(wb, id), 0) << id;
    EXPECT_TRUE(Platform().Log().empty());
    EXPECT_FALSE(folder_.Has(kSettingsFileName));
}

TEST_F(CommandsTest, OptionCommandsWorkOnSlotOne) {
    Workbench& wb = Start({"2", "2", "Regress"});
    EXPECT_EQ(RunCommand(wb, 31), 1);
    EXPECT_EQ(RunCommand(wb, 32), 1);
    EXPECT_EQ(RunCommand(wb, 37), 1);
    const ProjectSlot& slot = wb.settings.slots[1];
    EXPECT_EQ(slot.speciesFormat, 1);
    EXPECT_EQ(slot.dataFormat, 1);
    EXPECT_EQ(slot.usedCapFac, 0);
    EXPECT_EQ(slot.usedRegress, 1);
    EXPECT_EQ(slot.usedThread, 0);
    EXPECT_EQ(wb.settings.slots[2].speciesFormat, 0);
    EXPECT_EQ(SettingsLine(folder_, 2).substr(0, 10), "1\t1\t0\t1\t0\t");
    EXPECT_EQ(Platform().Log(),
              (std::vector<std::string>{"dialog: FORMATSPECIES", "dialog: FORMATDATA",
                                        "dialog: USEDTOOLS"}));
}

TEST_F(CommandsTest, TheAboutBoxClosesOnlyWithOk) {
    Workbench& wb = Start({":ok", ":cancel"});
    EXPECT_EQ(RunCommand(wb, 74), 0);
    EXPECT_EQ(RunCommand(wb, 74), 0);
    EXPECT_EQ(Platform().UsageError(), "");
    EXPECT_EQ(Platform().Log(), (std::vector<std::string>{"dialog: AboutBox", "dialog: AboutBox"}));
}

std::vector<int> builtSlots;
int builderResult = 0;
int RecordingBuilder(Workbench&, int projectNumber) {
    builtSlots.push_back(projectNumber);
    return builderResult;
}

TEST_F(CommandsTest, TheProjectCounterWrapsAfterTenProjects) {
    Workbench& wb = Start({});
    builtSlots.clear();
    builderResult = 0;
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(RunProjectCommand(wb, RecordingBuilder), 0);
    EXPECT_EQ(builtSlots, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}));
    EXPECT_EQ(wb.projectCounter, 2);
    EXPECT_TRUE(Platform().Messages().empty());
}

TEST_F(CommandsTest, OnlyResultsBelowMinusNineShowMessage147) {
    Workbench& wb = Start({});
    builtSlots.clear();
    for (int result : {-1, -9, 3}) {
        builderResult = result;
        EXPECT_EQ(RunProjectCommand(wb, RecordingBuilder), result);
    }
    EXPECT_TRUE(Platform().Messages().empty());
    builderResult = -10;
    EXPECT_EQ(RunProjectCommand(wb, RecordingBuilder), -10);
    builderResult = -22;
    RunProjectCommand(wb, RecordingBuilder);
    EXPECT_EQ(Platform().Messages(),
              (std::vector<std::string>{
                  "message 147: Something is wrong.\\nProject has not been created.",
                  "message 147: Something is wrong.\\nProject has not been created."}));
    EXPECT_EQ(builtSlots, (std::vector<int>{1, 1, 1, 1, 1})) << "failures keep the slot";
}

TEST_F(CommandsTest, ACounterOutsideItsRangeStartsAgainAtOne) {
    Workbench& wb = Start({});
    builtSlots.clear();
    builderResult = 0;
    wb.projectCounter = -3;
    RunProjectCommand(wb, RecordingBuilder);
    EXPECT_EQ(builtSlots, std::vector<int>{1});
}

TEST_F(CommandsTest, ExecuteAsksForTheProgramFirstAndSavesItsPath) {
    folder_.Write("quill.exe", "");
    Workbench& wb = Start({"quill.exe"});
    EXPECT_EQ(RunCommand(wb, 16), 0);
    const std::string program = folder_.File("quill.exe");
    EXPECT_EQ(wb.settings.quillonPath, program);
    EXPECT_EQ(SettingsLine(folder_, 4), program) << "saved before the start";
    EXPECT_EQ(Platform().Log(),
              (std::vector<std::string>{"open: Select Quillon.exe",
                                        "start: " + program + " in " + folder_.Folder()}));
    const FileDialogRequest& request = Platform().FileRequests().at(0);
    EXPECT_FALSE(request.save);
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].description, "Program files (*.EXE)");
    EXPECT_EQ(request.initialPath, "");
    EXPECT_EQ(wb.filterIndex, kProgramFilter);
}

// Without a stored path both programs and their setup commands propose the program
// installed beside the workbench.
TEST_F(CommandsTest, TheExecutableDialogsProposeTheInstalledPrograms) {
    folder_.Write(kQuillonFile, "");
    folder_.Write(kMarvaneFile, "");
    Workbench& wb = Start({":ok", ":cancel", ":cancel", ":ok"});
    EXPECT_EQ(RunCommand(wb, kCmdExecuteQuillon), 0);
    EXPECT_EQ(wb.settings.quillonPath, folder_.File(kQuillonFile));
    EXPECT_EQ(RunCommand(wb, kCmdExecuteMarvane), 0);
    EXPECT_EQ(RunCommand(wb, kCmdSetupQuillon), 0) << "a stored path is proposed as it is";
    EXPECT_EQ(RunCommand(wb, kCmdSetupMarvane), 1);
    EXPECT_EQ(wb.settings.marvanePath, folder_.File(kMarvaneFile));
    std::vector<std::string> proposals;
    for (const FileDialogRequest& request : Platform().FileRequests())
        proposals.push_back(request.initialPath);
    EXPECT_EQ(proposals,
              (std::vector<std::string>{folder_.File(kQuillonFile), folder_.File(kMarvaneFile),
                                        folder_.File(kQuillonFile), folder_.File(kMarvaneFile)}));
}

TEST_F(CommandsTest, ExecuteWithAStoredPathStartsAtOnceInTheCurrentFolder) {
    Workbench& wb = Start({});
    wb.settings.marvanePath = "/opt/velmar/marvane";
    wb.workingFolder = "/data/cores/";
    EXPECT_EQ(RunCommand(wb, 17), 0);
    EXPECT_EQ(Platform().Log(),
              std::vector<std::string>{"start: /opt/velmar/marvane in /data/cores/"});
    EXPECT_FALSE(folder_.Has(kSettingsFileName));
}

TEST_F(CommandsTest, ACancelledProgramChoiceStartsNothing) {
    Workbench& wb = Start({":cancel"});
    EXPECT_EQ(RunCommand(wb, 17), 0);
    EXPECT_EQ(Platform().Log(), std::vector<std::string>{"open: Select Marvane.exe"});
    EXPECT_EQ(wb.settings.marvanePath, "");
    EXPECT_FALSE(folder_.Has(kSettingsFileName));
}

TEST_F(CommandsTest, SetupSavesTheSettingsEvenAfterCancel) {
    Workbench& wb = Start({":cancel", kChosenMarvane, ":ok"});
    wb.settings.quillonPath = kOldQuillon;
    EXPECT_EQ(RunCommand(wb, 38), 0);
    EXPECT_EQ(wb.settings.quillonPath, kOldQuillon);
    EXPECT_EQ(SettingsLine(folder_, 4), kOldQuillon);
    EXPECT_EQ(Platform().FileRequests().at(0).initialPath, kOldQuillon);

    EXPECT_EQ(RunCommand(wb, 39), 1);
    EXPECT_EQ(SettingsLine(folder_, 5), kChosenMarvane);
    EXPECT_EQ(Platform().FileRequests().at(1).title, "Select Marvane.exe");

    EXPECT_EQ(RunCommand(wb, 39), 1) << ":ok takes the stored path";
    EXPECT_EQ(wb.settings.marvanePath, kChosenMarvane);
    EXPECT_EQ(Platform().FileRequests().at(2).initialPath, kChosenMarvane);
    EXPECT_TRUE(Platform().Messages().empty());
}

// A line break in the path would end its line in the settings file: the rest would be read
// as the next value, and the path lost.
TEST_F(CommandsTest, AProgramPathWithALineBreakIsRefused) {
    Workbench& wb = Start({"/opt/odd\nname/quillon.exe"});
    wb.settings.quillonPath = "/old/quillon.exe";
    EXPECT_EQ(RunCommand(wb, 38), 0);
    EXPECT_EQ(wb.settings.quillonPath, "/old/quillon.exe");
    EXPECT_EQ(SettingsLine(folder_, 4), "/old/quillon.exe");
    EXPECT_EQ(Platform().Messages(),
              std::vector<std::string>{"message 0: The path\\n>/opt/odd\\nname/quillon.exe<\\n"
                                       "holds a line break, which the settings file cannot keep."
                                       "\\nRename the program or its folder and choose it again."});
}

TEST_F(CommandsTest, SetupReportsASettingsFileThatCannotBeWritten) {
    Workbench& wb = Start({kChosenQuillon});
    folder_.Write("blocker", "a file where the settings folder should be");
    Platform().SetSettingsFolder(folder_.File("blocker") + "/");
    EXPECT_EQ(RunCommand(wb, 38), -1);
    EXPECT_EQ(wb.settings.quillonPath, kChosenQuillon);
    ASSERT_EQ(Platform().Messages().size(), 1u);
    EXPECT_EQ(Platform().BeepCount(), 1);
}

TEST(CommandLinePath, AQuotedWindowsPathBecomesTheCurrentFile) {
    ScriptedPlatform platform;
    Workbench wb(platform);
    TakeCommandLinePath(wb, "\"C:\\data\\core 1.txt\"", PathStyle::Windows);
    EXPECT_EQ(wb.current.fullPath, "C:\\data\\core 1.txt");
    EXPECT_EQ(wb.current.folder, "C:\\data\\");
    EXPECT_EQ(wb.current.name, "core 1.txt");
}

TEST(CommandLinePath, ATextWithoutSeparatorChangesNothing) {
    ScriptedPlatform platform;
    Workbench wb(platform);
    wb.current.fullPath = "kept";
    TakeCommandLinePath(wb, "core.txt", PathStyle::Windows);
    TakeCommandLinePath(wb, "\"core 1.txt\"", PathStyle::Posix);
    TakeCommandLinePath(wb, "data\\core.txt", PathStyle::Posix);
    TakeCommandLinePath(wb, "", PathStyle::Posix);
    EXPECT_EQ(wb.current.fullPath, "kept");
    EXPECT_EQ(wb.current.folder, "");
}

TEST(CommandLinePath, QuotesAreCutAtTheLastAndThenAfterTheFirst) {
    ScriptedPlatform platform;
    Workbench wb(platform);
    TakeCommandLinePath(wb, "/data/core 1.txt", PathStyle::Posix);
    EXPECT_EQ(wb.current.folder, "/data/");
    EXPECT_EQ(wb.current.name, "core 1.txt");
    TakeCommandLinePath(wb, "-x \"/a b/c.txt\" tail", PathStyle::Posix);
    EXPECT_EQ(wb.current.fullPath, "/a b/c.txt");
    TakeCommandLinePath(wb, "\"/one/a.txt\" \"/two/b.txt\"", PathStyle::Posix);
    EXPECT_EQ(wb.current.fullPath, "/one/a.txt\" \"/two/b.txt");
    EXPECT_EQ(wb.current.name, "b.txt");
}

TEST(CommandLinePath, APathTooLongForTheBufferIsNotTaken) {
    ScriptedPlatform platform;
    Workbench wb(platform);
    TakeCommandLinePath(wb, "/" + std::string(515, 'a'), PathStyle::Posix);
    EXPECT_EQ(wb.current.fullPath, "");
    TakeCommandLinePath(wb, "/" + std::string(514, 'a'), PathStyle::Posix);
    EXPECT_EQ(wb.current.fullPath.size(), 515u);
}

TEST(ExecutableFolder, TheProgramPathFallsBackOnArgv0) {
    EXPECT_EQ(FolderOfArgv0("/opt/corelith/bin/corelith", "/home/u/"), "/opt/corelith/bin/");
    EXPECT_EQ(FolderOfArgv0("bin/corelith", "/home/u/"), "/home/u/bin/");
    EXPECT_EQ(FolderOfArgv0("./corelith", "/home/u/"), "/home/u/./");
    EXPECT_EQ(FolderOfArgv0("corelith", "/home/u/"), "") << "found on the PATH";
    EXPECT_EQ(FolderOfArgv0("", "/home/u/"), "");
}

TEST(ExecutableFolder, IsTheFolderOfTheRunningProgram) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), PathSeparator());
    EXPECT_TRUE(std::filesystem::exists(NativePath(folder + kShellTestsFile)));
}

} // namespace
} // namespace corelith
