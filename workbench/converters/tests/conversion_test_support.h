// A workbench over the scripted backend in a temporary folder, for driving the converter
// and ranking commands with dialog answers and checking the files they write.
#pragma once

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/settings.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace corelith::testing {

namespace fs = std::filesystem;

inline std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compares `actual` with tests/golden/`name`. With CORELITH_UPDATE_GOLDEN set the golden
// file is written instead (to be read over before it is committed).
inline void ExpectGolden(const std::string& actual, const std::string& name) {
    const fs::path golden = fs::path(CORELITH_TEST_DIR) / "golden" / name;
    if (std::getenv("CORELITH_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(golden.parent_path());
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden;
    EXPECT_EQ(actual, ReadWhole(golden)) << "golden file " << name;
}

class WorkbenchFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "corelith-conv-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        platform_.SetSettingsFolder(Folder());
        platform_.SetDialogLookup(TemplateDialogLookup());
        StartWorkbench(wb_);
        wb_.workingFolder = Folder();
    }
    void TearDown() override {
        EXPECT_EQ(platform_.UsageError(), "");
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Folder() const { return folder_.string() + "/"; }
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    std::string Put(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return PathOf(name);
    }
    std::string Get(const std::string& name) const { return ReadWhole(folder_ / name); }
    bool Exists(const std::string& name) const { return fs::exists(folder_ / name); }
    std::string SettingsFile() const { return Get(kSettingsFileName); }

    void Answer(std::initializer_list<std::string> answers) {
        for (const std::string& a : answers)
            platform_.AddAnswer(a);
    }
    void SetLayout(int layout) { wb_.settings.slots[1].speciesFormat = layout; }
    // The initial name and the first filter of file dialog `index` (0-based) of the run.
    std::string Proposal(size_t index) const {
        return platform_.FileRequests().at(index).initialPath;
    }
    std::string FirstFilter(size_t index) const {
        return platform_.FileRequests().at(index).filters.at(0).description;
    }
    // The dialogs of the run, e.g. "open: Select data file", without the cursor changes.
    std::vector<std::string> Dialogs() const {
        std::vector<std::string> dialogs;
        for (const std::string& entry : platform_.Log()) {
            if (entry.rfind("open: ", 0) == 0 || entry.rfind("save: ", 0) == 0 ||
                entry.rfind("dialog: ", 0) == 0)
                dialogs.push_back(entry);
        }
        return dialogs;
    }

    fs::path folder_;
    ScriptedPlatform platform_;
    Workbench wb_{platform_};
};

} // namespace corelith::testing
