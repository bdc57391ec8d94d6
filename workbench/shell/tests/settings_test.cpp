#include "shell/settings.h"

#include "platform/scripted/scripted_platform.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <filesystem>

namespace corelith {
namespace {

namespace fs = std::filesystem;

using testsupport::ReadFile;

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() { platform.SetSettingsFolder(Folder()); }

    std::string Folder() const { return folder_.Folder(); }
    fs::path IniPath() const { return folder_.path() / "Corelith.INI"; }
    void WriteIni(const std::string& content) const { folder_.Write("Corelith.INI", content); }
    // A fresh start of the program: defaults, then the file.
    Workbench& Start() {
        wb = std::make_unique<Workbench>(platform);
        StartWorkbench(*wb);
        return *wb;
    }

    ScriptedPlatform platform;
    std::unique_ptr<Workbench> wb;

  private:
    testsupport::TempDir folder_;
};

const std::string kDefaults = "19990518\n0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1\n\n\n\n";

TEST_F(SettingsTest, FirstRunWritesTheDefaults) {
    Workbench& w = Start();
    EXPECT_EQ(SettingsFilePath(w), Folder() + "Corelith.INI");
    testsupport::ExpectGolden(fs::path(CORELITH_TEST_DIR) / "golden/settings_defaults.ini",
                              ReadFile(IniPath()));
    EXPECT_EQ(ReadFile(IniPath()), kDefaults);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(SettingsTest, StartUpPreparesTheWorkbench) {
    Workbench& w = Start();
    EXPECT_EQ(w.tables.sampleCapacity, 1367);
    EXPECT_EQ(w.tables.reference.names.size(), 1368u);
    EXPECT_EQ(w.workingFolder, testsupport::TextOf(fs::current_path()) +
                                   static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(platform.CurrentCursor(), Cursor::Arrow);
}

TEST_F(SettingsTest, SavedValuesComeBackAtTheNextStart) {
    Workbench& w = Start();
    ProjectSlot& slot = w.settings.slots[1];
    slot.dataFormat = 1;
    slot.speciesFormat = 1;
    slot.usedThread = 0;
    slot.numberOfFactors() = 7;
    slot.regressionType() = 0;
    w.settings.certainFactor = 2.5f;
    w.settings.lastFilter = 6;
    w.settings.freeText = "kept text";
    w.settings.quillonPath = "/opt/q/Quillon";
    w.settings.marvanePath = "/opt/m/marvane";
    ASSERT_EQ(SaveSettings(w), 0);
    EXPECT_EQ(ReadFile(IniPath()), "19990518\n1\t1\t1\t1\t0\t7\t0\t5\t2.500000\t6\n"
                                   "kept text\n/opt/q/Quillon\n/opt/m/marvane\n");
    Workbench& again = Start();
    EXPECT_EQ(again.settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(again.settings.slots[2].speciesFormat, 0); // only slot 1 is kept
    EXPECT_EQ(again.settings.slots[1].dataFormat, 1);
    EXPECT_EQ(again.settings.slots[1].usedThread, 0);
    EXPECT_EQ(again.settings.slots[1].capFac[5], 7);
    EXPECT_EQ(again.settings.slots[1].regress[1], 0);
    EXPECT_EQ(again.settings.certainFactor, 2.5f);
    EXPECT_EQ(again.settings.lastFilter, 6);
    EXPECT_EQ(again.settings.freeText, "kept text");
    EXPECT_EQ(again.settings.quillonPath, "/opt/q/Quillon");
    EXPECT_EQ(again.settings.marvanePath, "/opt/m/marvane");
}

TEST_F(SettingsTest, AnotherStampIsReplacedByTheDefaults) {
    WriteIni("19990517\n1\t1\t0\t0\t0\t9\t0\t5\t3.000000\t2\n\n/q\n/m\n");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.slots[1].dataFormat, 0);
    EXPECT_EQ(w.settings.quillonPath, "");
    EXPECT_EQ(ReadFile(IniPath()), kDefaults);
    WriteIni("stamp\n1\n");
    Start();
    EXPECT_EQ(ReadFile(IniPath()), kDefaults);
}

TEST_F(SettingsTest, OnlyTheFirstTwoLines) {
    WriteIni("19990518\n0\t1\t1\t1\t1\t5\t1\t5\t10.000000\t2\n");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(w.settings.lastFilter, 2);
    EXPECT_EQ(w.settings.freeText, "");
    EXPECT_EQ(w.settings.quillonPath, "");
    EXPECT_EQ(w.settings.marvanePath, "");
}

TEST_F(SettingsTest, ALine2ThatStopsMatchingKeepsTheRestAtDefaults) {
    WriteIni("19990518\n1\t1\t0\tword\t0\t9\n\n\n\n");
    Workbench& w = Start();
    const ProjectSlot& s = w.settings.slots[1];
    EXPECT_EQ(s.dataFormat, 1);
    EXPECT_EQ(s.speciesFormat, 1);
    EXPECT_EQ(s.usedCapFac, 0);
    EXPECT_EQ(s.usedRegress, 1);
    EXPECT_EQ(s.usedThread, 1);
    EXPECT_EQ(s.capFac[5], 5);
    // The file is not rewritten until the next save.
    EXPECT_EQ(ReadFile(IniPath()), "19990518\n1\t1\t0\tword\t0\t9\n\n\n\n");
}

TEST_F(SettingsTest, CertainFactorInfinityIsNotANumber) {
    WriteIni("19990518\n0\t0\t1\t1\t1\t5\t1\t5\tinf\t2\n\n\n\n");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.certainFactor, 10.0f);
    EXPECT_EQ(w.settings.lastFilter, 1);
}

TEST_F(SettingsTest, ALastLineWithoutLineEndIsNotLoaded) {
    WriteIni("19990518\n0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1\n\n/q\n/m");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.quillonPath, "/q");
    EXPECT_EQ(w.settings.marvanePath, "");
}

TEST_F(SettingsTest, AnEmptyFreeTextDoesNotSwallowAPath) {
    // Written with LF only, as on POSIX; and with CR LF, as on Windows.
    WriteIni("19990518\n0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1\n\n\n/m\n");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.freeText, "");
    EXPECT_EQ(w.settings.quillonPath, "");
    EXPECT_EQ(w.settings.marvanePath, "/m");
    WriteIni("19990518\r\n0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1\r\n\r\n/q\r\n\r\n");
    Workbench& v = Start();
    EXPECT_EQ(v.settings.quillonPath, "/q");
    EXPECT_EQ(v.settings.marvanePath, "");
}

TEST_F(SettingsTest, LongTextsAreCutTo516Characters) {
    const std::string longPath(600, 'p');
    WriteIni("19990518\n0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1\n" + longPath + "\n" + longPath +
             "\n/m\n");
    Workbench& w = Start();
    EXPECT_EQ(w.settings.freeText, std::string(516, 'p'));
    EXPECT_EQ(w.settings.quillonPath, std::string(516, 'p'));
    EXPECT_EQ(w.settings.marvanePath, "/m");
}

TEST_F(SettingsTest, WrittenInTheCLocale) {
    Workbench& w = Start();
    w.settings.certainFactor = 1.5f;
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    ASSERT_EQ(SaveSettings(w), 0);
    if (german != nullptr)
        std::setlocale(LC_ALL, "C");
    EXPECT_EQ(ReadFile(IniPath()), "19990518\n0\t0\t1\t1\t1\t5\t1\t5\t1.500000\t1\n\n\n\n");
}

TEST_F(SettingsTest, AMissingSettingsFolderIsCreated) {
    platform.SetSettingsFolder(Folder() + "config/corelith/");
    Start();
    EXPECT_EQ(ReadFile(fs::path(Folder()) / "config/corelith/Corelith.INI"), kDefaults);
}

// Two runs of the workbench at the same time: each saves what it changed and keeps what the
// other saved, in the file and from then on in memory.
TEST_F(SettingsTest, RunsSharingTheFileLoseNothingTheOtherSaved) {
    ScriptedPlatform otherPlatform;
    otherPlatform.SetSettingsFolder(Folder());
    Workbench& first = Start();
    Workbench second(otherPlatform);
    StartWorkbench(second);

    first.settings.quillonPath = "/opt/quillon";
    ASSERT_EQ(SaveSettings(first), 0);
    second.settings.marvanePath = "/opt/marvane";
    second.settings.slots[1].speciesFormat = 1;
    ASSERT_EQ(SaveSettings(second), 0);
    first.settings.certainFactor = 2.5f;
    ASSERT_EQ(SaveSettings(first), 0);

    EXPECT_EQ(ReadFile(IniPath()), "19990518\n0\t1\t1\t1\t1\t5\t1\t5\t2.500000\t1\n"
                                   "\n/opt/quillon\n/opt/marvane\n");
    EXPECT_EQ(first.settings.marvanePath, "/opt/marvane");
    EXPECT_EQ(first.settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(second.settings.quillonPath, "/opt/quillon");
    EXPECT_FALSE(fs::exists(IniPath().string() + ".lock"));
}

TEST_F(SettingsTest, ALockLeftByAKilledRunIsTakenOver) {
    const fs::path lock = IniPath().string() + ".lock";
#ifdef _WIN32
    GTEST_SKIP() << "the C runtime cannot set a folder's time on Windows";
#endif
    fs::create_directory(lock);
    fs::last_write_time(lock, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    Workbench& w = Start();
    w.settings.quillonPath = "/q";
    EXPECT_EQ(SaveSettings(w), 0);
    EXPECT_EQ(testsupport::LineOf(ReadFile(IniPath()), 4), "/q");
    EXPECT_FALSE(fs::exists(lock));
}

TEST_F(SettingsTest, ASettingsFileThatCannotBeReadIsNotReplacedByTheDefaults) {
    fs::create_directory(IniPath());
    Start();
    EXPECT_TRUE(fs::is_directory(IniPath()));
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].rfind(
                  "message 0: Could not read the file:\\n>" + IniPath().string() + "<\\n", 0),
              0u)
        << platform.Messages()[0];
}

TEST_F(SettingsTest, AFailedSaveIsReported) {
    testsupport::WriteFile(fs::path(Folder()) / "blocker", "a file, not a folder");
    platform.SetSettingsFolder(Folder() + "blocker/");
    Workbench& w = Start(); // the load saves the defaults and fails
    EXPECT_EQ(SaveSettings(w), -1);
    const std::string message = "message 0: Could not write the settings file:\\n>" + Folder() +
                                "blocker/Corelith.INI<\\n" +
#ifdef _WIN32
                                "No such file or directory.";
#else
                                "Not a directory.";
#endif
    EXPECT_EQ(platform.Messages(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(platform.BeepCount(), 2);
    EXPECT_EQ(w.settings.certainFactor, 10.0f); // the program goes on with its values
}

} // namespace
} // namespace corelith
