#include "textio/file_dialogs.h"

#include "platform/scripted/scripted_platform.h"
#include "workbench.h"

#include <gtest/gtest.h>

namespace corelith {
namespace {

std::vector<std::string> Descriptions(int index) {
    std::vector<std::string> out;
    for (const FileFilter& f : FilterList(index))
        out.push_back(f.description + "|" + f.pattern);
    return out;
}

TEST(FileDialogsTest, FilterLists) {
    const std::vector<std::string> common = {"Text files (*.txt)|*.txt", "Text files (*.csv)|*.csv",
                                             "All files (*.*)|*.*"};
    EXPECT_EQ(Descriptions(1), common);
    EXPECT_EQ(Descriptions(2),
              (std::vector<std::string>{"Text files (*.csv)|*.csv", "Text files (*.txt)|*.txt",
                                        "All files (*.*)|*.*"}));
    const std::vector<std::string> firsts = {"",
                                             "",
                                             "",
                                             "CapFac files (*.cap)|*.cap",
                                             "Regress files (*.reg)|*.reg",
                                             "Thread files (*.thr)|*.thr",
                                             "",
                                             "HM files (*.HM)|*.HM",
                                             "DB files (*.N)|*.N",
                                             "RS files (*.RS)|*.RS",
                                             "R files (*.R)|*.R",
                                             "Project files (*.PRO)|*.PRO",
                                             "Project files (*.REF)|*.ref",
                                             "Project files (*.ENV)|*.env",
                                             "Project files (*.SAM)|*.sam"};
    for (int index = 3; index <= 14; ++index) {
        if (index == 6)
            continue;
        std::vector<std::string> expected = {firsts[static_cast<size_t>(index)]};
        expected.insert(expected.end(), common.begin(), common.end());
        EXPECT_EQ(Descriptions(index), expected) << index;
    }
    const std::vector<std::string> six = {"All Files (*.*)|*.*", "Text files (*.txt)|*.txt",
                                          "Text files (*.csv)|*.csv"};
    EXPECT_EQ(Descriptions(6), six);
    EXPECT_EQ(Descriptions(0), six);
    EXPECT_EQ(Descriptions(17), six);
    EXPECT_EQ(Descriptions(-3), six);
    EXPECT_EQ(Descriptions(15),
              (std::vector<std::string>{"Program files (*.EXE)|*.exe", "All files (*.*)|*.*"}));
    EXPECT_EQ(Descriptions(kSvgFilter),
              (std::vector<std::string>{"SVG pictures (*.svg)|*.svg", "All files (*.*)|*.*"}));
}

TEST(FileDialogsTest, OutputNames) {
    EXPECT_EQ(DeriveOutputName("ref.txt", ".cap"), "ref.cap");
    EXPECT_EQ(DeriveOutputName("ref.TXT.csv", ".cap"), "ref.cap");
    EXPECT_EQ(DeriveOutputName("ref", ".cap"), "ref.cap");
    EXPECT_EQ(DeriveOutputName("a.txt.b.txt", ".reg"), "a.b.reg");
    EXPECT_EQ(DeriveOutputName("x.txt.txt", ".thr"), "x.thr");
    EXPECT_EQ(DeriveOutputName("data.dat", ".cap"), "data.dat.cap");
    EXPECT_EQ(DeriveOutputName("data.Txt", ".cap"), "data.Txt.cap");
}

class FileDialogFixture : public ::testing::Test {
  protected:
    FileDialogFixture() : wb(platform) { wb.workingFolder = "/data/cores/"; }
    ScriptedPlatform platform;
    Workbench wb;
};

TEST_F(FileDialogFixture, LastFilterFollowsTheOpenedFile) {
    UpdateLastFilter(wb, "data.CSV");
    EXPECT_EQ(wb.settings.lastFilter, 2);
    UpdateLastFilter(wb, "data.dat");
    EXPECT_EQ(wb.settings.lastFilter, 6);
    UpdateLastFilter(wb, "data.TXT");
    EXPECT_EQ(wb.settings.lastFilter, 1);
    UpdateLastFilter(wb, "x.txt.csv");
    EXPECT_EQ(wb.settings.lastFilter, 2);
    UpdateLastFilter(wb, "x.csv.txt");
    EXPECT_EQ(wb.settings.lastFilter, 2);
}

TEST_F(FileDialogFixture, OpenConfirmedMovesTheWorkingFolder) {
    platform.AddAnswer("../other/core 1.txt");
    platform.AddAnswer("next");
    SetFileFilter(wb, 2);
    std::string path = "core.txt", folder = "f", title = "t";
    EXPECT_NE(SelectFileToOpen(wb, path, folder, title, "Select core file"), 0);
    EXPECT_EQ(path, "/data/cores/../other/core 1.txt");
    EXPECT_EQ(folder, "/data/cores/../other/");
    EXPECT_EQ(title, "core 1.txt");
    EXPECT_EQ(wb.workingFolder, "/data/cores/../other/");
    const FileDialogRequest& request = platform.FileRequests().at(0);
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "Select core file");
    EXPECT_EQ(request.initialPath, "core.txt");
    EXPECT_EQ(request.currentFolder, "/data/cores/");
    EXPECT_EQ(request.defaultExtension, "csv");
    EXPECT_EQ(request.filters.at(0).pattern, "*.csv");

    // The next dialog keeps the filter list and opens in the new folder.
    std::string second = "ref.cap";
    EXPECT_NE(SelectFileToSave(wb, second, folder, title, "Save CapFac file as"), 0);
    EXPECT_EQ(second, "/data/cores/../other/next.csv");
    EXPECT_TRUE(platform.FileRequests().at(1).save);
    EXPECT_EQ(platform.FileRequests().at(1).filters.at(0).pattern, "*.csv");
    EXPECT_EQ(platform.Log(),
              (std::vector<std::string>{"open: Select core file", "save: Save CapFac file as"}));
}

TEST_F(FileDialogFixture, AProposedPathOpensTheDialogInItsFolder) {
    platform.AddAnswer(":ok");
    platform.AddAnswer("other.txt");
    std::string path = "/data/in/core 1.txt", folder, title;
    EXPECT_NE(SelectFileToOpen(wb, path, folder, title, "Select core file"), 0);
    EXPECT_EQ(platform.FileRequests().at(0).currentFolder, "/data/in/");
    EXPECT_EQ(path, "/data/in/core 1.txt");
    EXPECT_EQ(folder, "/data/in/");
    EXPECT_EQ(title, "core 1.txt");
    path = "/elsewhere/x.txt";
    EXPECT_NE(SelectFileToOpen(wb, path, folder, title, "Select core file"), 0);
    EXPECT_EQ(path, "/elsewhere/other.txt");
    EXPECT_EQ(wb.workingFolder, "/elsewhere/");
}

TEST_F(FileDialogFixture, CancelLeavesEverythingUnchanged) {
    platform.AddAnswer(":cancel");
    std::string path = "ref.cap", folder = "f", title = "t";
    EXPECT_EQ(SelectFileToSave(wb, path, folder, title, "Save CapFac file as"), 0);
    EXPECT_EQ(path, "ref.cap");
    EXPECT_EQ(folder, "f");
    EXPECT_EQ(title, "t");
    EXPECT_EQ(wb.workingFolder, "/data/cores/");
}

TEST_F(FileDialogFixture, APathLongerThanThePathBuffersIsRefused) {
    const std::string longName(520, 'n');
    platform.AddAnswer(longName + ".txt");
    std::string path = "x", folder = "f", title = "t";
    EXPECT_EQ(SelectFileToOpen(wb, path, folder, title, "Select data file"), 0);
    EXPECT_EQ(path, "x");
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0],
              "message 0: The path is too long (more than 516 characters):\\n>/data/cores/" +
                  longName + ".txt<");
    EXPECT_EQ(wb.workingFolder, "/data/cores/");
}

} // namespace
} // namespace corelith
