#include "apps/batch/batch.h"

#include "corelith_version.h"
#include "shell/command_table.h"
#include "workbench/shell/tests/shell_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace corelith {
namespace {

using testing::SettingsLine;

struct BatchRun {
    int status = -100;
    std::string out;
    std::string err;
};

class BatchTest : public ::testing::Test {
  protected:
    BatchRun Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        BatchRun run;
        run.status =
            RunBatch(args, out, err, {folder_.Folder(), folder_.Folder(), folder_.Folder()});
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    testsupport::TempDir folder_;
};

TEST_F(BatchTest, MessagesGoToStandardErrorAndTheResultToStandardOutput) {
    BatchRun run = Run({"72"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "result 0\n");
    EXPECT_EQ(run.err, "message 134: Version number:\\n1.08 - Build: 07.10.2003\n");
}

TEST_F(BatchTest, AFirstRunWritesTheDefaultSettings) {
    Run({"71"});
    EXPECT_EQ(SettingsLine(folder_, 1), "19990518");
    EXPECT_EQ(SettingsLine(folder_, 2), "0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1");
}

TEST_F(BatchTest, OptionCommandsPersistBetweenRuns) {
    BatchRun run = Run({"31", "2"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "result 1\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(SettingsLine(folder_, 2).substr(0, 4), "0\t1\t");

    run = Run({"37", "CapFac+Thread"});
    EXPECT_EQ(run.out, "result 1\n");
    EXPECT_EQ(SettingsLine(folder_, 2).substr(0, 10), "0\t1\t1\t0\t1\t") << "species format kept";

    run = Run({"31", ":cancel"});
    EXPECT_EQ(run.out, "result 0\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(SettingsLine(folder_, 2).substr(0, 10), "0\t1\t1\t0\t1\t");
}

TEST_F(BatchTest, DialogsBeyondTheAnswersAreCancelled) {
    BatchRun run = Run({"32"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "result 0\n");
}

TEST_F(BatchTest, AProgramThatCannotBeStartedGivesANegativeResult) {
    EXPECT_EQ(Run({"38", "none/quillon.exe"}).out, "result 1\n");
    EXPECT_EQ(SettingsLine(folder_, 4), folder_.Folder() + "none/quillon.exe");
    BatchRun run = Run({"16"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "result -1\n");
    EXPECT_EQ(run.err, "message 0: Could not start the program:\\n>" + folder_.Folder() +
                           "none/quillon.exe<\\nChoose it again with Options, Setup "
                           "Quillon.exe...\n");
}

TEST_F(BatchTest, APlotNamesItsPictureOnStandardOutput) {
    folder_.Write("core_estimates.tsv", "Sample\tCommunality\tA\tA_SE\tPercentile\tFlag\n"
                                        "10\t0.9\t24.5\t1.4\t20\t\n20\t0.8\t23.9\t1.4\t30\t\n");
    BatchRun run = Run({"65", ":cancel", "core_estimates.tsv", ":cancel", ":ok"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "picture: " + folder_.File("core_estimates_plot.svg") + "\nresult 0\n");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(folder_.Has("core_estimates_plot.svg"));
}

TEST_F(BatchTest, WithoutACommandItPrintsTheUsage) {
    BatchRun run = Run({});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "corelith: no command given\nusage: corelith --batch COMMAND [ANSWER ...]\n");
}

TEST_F(BatchTest, CommandsOutsideTheListAreUsageErrors) {
    for (const char* command : {"18", "21", "35x", "", "abc", "99", "-1", " 72", "0x48"}) {
        BatchRun run = Run({command});
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_EQ(run.err, std::string("corelith: unknown command \"") + command +
                               "\" (commands: 11 12 16 17 31 32 33 34 35 36 37 38 39 41 42 43 "
                               "51 53 54 64 65 71 72 73 74)\n"
                               "usage: corelith --batch COMMAND [ANSWER ...]\n");
    }
    EXPECT_FALSE(folder_.Has(kSettingsFileName)) << "nothing ran";
}

TEST_F(BatchTest, CommandsWithoutAnActionRunAndReportZero) {
    for (const char* command : {"35", "36"}) {
        BatchRun run = Run({command});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "result 0\n");
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(BatchTest, AnAnswerThatDoesNotFitIsAUsageError) {
    BatchRun run = Run({"31", "3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "result 0\n");
    EXPECT_NE(run.err.find("corelith: dialog FORMATSPECIES: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\nusage: corelith --batch"), std::string::npos);
    EXPECT_EQ(SettingsLine(folder_, 2).substr(0, 4), "0\t0\t") << "the dialog was cancelled";
}

TEST_F(BatchTest, AnswersLeftOverAreAUsageError) {
    BatchRun run = Run({"71", ":ok"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "result 0\n");
    EXPECT_EQ(run.err, "message 135: Info not yet implemented!\n"
                       "corelith: 1 answer left over when the command ended\n"
                       "usage: corelith --batch COMMAND [ANSWER ...]\n");
    run = Run({"32", "1", "2", "3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("corelith: 2 answers left over"), std::string::npos);
}

// A script must tell bad data from a bad command line: a command that fails on a file ends
// with status 1 and the message naming it, although the answers of its later dialogs were
// never asked for.
TEST_F(BatchTest, AMissingInputIsAFailureNotAUsageError) {
    const std::vector<std::vector<std::string>> commands = {
        {"51", "missing.txt", "out.HM"},
        {"54", "missing.txt", "out.HM"},
        {"53", "missing.txt", "out.N"},
        {"41", "missing.txt", "out.RS"},
        {"42", "missing.txt", "x.RS", "out.R"},
        {"43", ":ok", "missing.txt", "out.RLG"},
        {"11", "p.pro", ":ok", ":ok", ":ok", ":ok", ":ok", "missing.txt", ":ok"},
        {"12", "p.pro", "1", "2", "missing.txt", "ref.txt"},
    };
    for (const std::vector<std::string>& args : commands) {
        const BatchRun run = Run(args);
        EXPECT_EQ(run.status, 1) << args[0] << ": " << run.err;
        EXPECT_NE(run.err.find("message 136: Could not find file:\\n>" +
                               folder_.File("missing.txt") + "<\n"),
                  std::string::npos)
            << args[0] << ": " << run.err;
        EXPECT_EQ(run.err.find("corelith:"), std::string::npos) << args[0] << ": " << run.err;
    }
}

// Every command of the table, its dialogs cancelled as they open (no answers): each one
// ends quietly with result 0, and the commands that are not for the batch are refused.
TEST_F(BatchTest, EveryCommandOfTheTableRunsWithCancelledDialogs) {
    for (const CommandMenu& menu : CommandMenus()) {
        for (const Command& command : menu.commands) {
            if (command.id == 0)
                continue;
            const BatchRun run = Run({std::to_string(command.id)});
            if (!command.inBatch) {
                EXPECT_EQ(run.status, 2) << command.id;
                continue;
            }
            EXPECT_EQ(run.status, 0) << command.id << ": " << run.err;
            EXPECT_EQ(run.out, "result 0\n") << command.id;
            EXPECT_EQ(run.err.find("corelith:"), std::string::npos)
                << command.id << ": " << run.err;
        }
    }
}

TEST_F(BatchTest, TheAboutBoxTakesOk) {
    BatchRun run = Run({"74", ":ok"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "result 0\n");
    EXPECT_EQ(run.err, "");
}

// The program itself: its version, and a command with its settings in the test's folder.
TEST(BatchProgram, TellsItsVersionAndRunsACommand) {
    const testsupport::TempDir folder;
    folder.Write("input.txt", "");
    const testsupport::ScopedEnv config("XDG_CONFIG_HOME", folder.File("config"));
    const testsupport::ScopedEnv appData("APPDATA", folder.File("config")); // on Windows
    EXPECT_EQ(testsupport::RunInFolder(folder.path(), CORELITH_BATCH_EXE, {"--version"},
                                       "input.txt", "version.txt"),
              0);
    EXPECT_EQ(folder.Read("version.txt"), std::string("corelith-batch ") + CORELITH_VERSION + "\n");
    EXPECT_EQ(
        testsupport::RunInFolder(folder.path(), CORELITH_BATCH_EXE, {"72"}, "input.txt", "run.txt"),
        0);
    EXPECT_EQ(folder.Read("run.txt"),
              "message 134: Version number:\\n1.08 - Build: 07.10.2003\nresult 0\n");
    // The first start wrote the default settings where it was told to keep them.
#ifdef _WIN32
    EXPECT_TRUE(folder.Has("config\\Corelith\\Corelith.INI"));
#else
    EXPECT_TRUE(folder.Has("config/corelith/Corelith.INI"));
#endif
}

} // namespace
} // namespace corelith
