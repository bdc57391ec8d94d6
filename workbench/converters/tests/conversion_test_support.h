// A workbench over the scripted backend in a temporary folder, for driving the converter
// and ranking commands with dialog answers and checking the files they write.
#pragma once

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/settings.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace corelith::testing {

namespace fs = std::filesystem;

// Compares `actual` with tests/golden/`name`.
inline void ExpectGolden(const std::string& actual, const std::string& name) {
    testsupport::ExpectGolden(fs::path(CORELITH_TEST_DIR) / "golden" / name, actual);
}

class WorkbenchFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_.SetSettingsFolder(Folder());
        platform_.SetDialogLookup(FindDialogTemplate);
        StartWorkbench(wb_);
        wb_.workingFolder = Folder();
    }
    void TearDown() override { EXPECT_EQ(platform_.UsageError(), ""); }

    std::string Folder() const { return folder_.Folder(); }
    std::string PathOf(const std::string& name) const { return folder_.File(name); }
    std::string Put(const std::string& name, const std::string& text) const {
        folder_.Write(name, text);
        return PathOf(name);
    }
    std::string Get(const std::string& name) const { return folder_.Read(name); }
    bool Exists(const std::string& name) const { return folder_.Has(name); }
    std::string SettingsFile() const { return Get(kSettingsFileName); }

    void Answer(std::initializer_list<std::string> answers) {
        for (const std::string& a : answers)
            platform_.AddAnswer(a);
    }
    void SetLayout(SpeciesLayout layout) {
        wb_.settings.slots[1].speciesFormat = static_cast<int>(layout);
    }
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

    testsupport::TempDir folder_;
    ScriptedPlatform platform_;
    Workbench wb_{platform_};
};

} // namespace corelith::testing
