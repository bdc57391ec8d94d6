// What the counting tool's tests share: a workbench on the scripted platform in a fresh
// folder, the example matrix, and controls for driving a dialog model by hand.
#pragma once

#include "counting/counting.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corelith {

namespace fs = std::filesystem;

// Compares `actual` with tests/golden/`name`.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
    testsupport::ExpectGolden(fs::path(CORELITH_TEST_DIR) / "golden" / name, actual);
}

// Controls of an open dialog kept in maps, for driving a model by hand.
class ProbeControls : public DialogControls {
  public:
    std::string Text(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    bool Checked(int) const override { return false; }
    void SetChecked(int, bool) override {}
    void FocusDialog() override { ++dialogFocused; }
    void FocusControl(int id) override { focusedControl = id; }
    void Beep() override { ++beeps; }
    void End(int value) override {
        ended = true;
        result = value;
    }

    std::map<int, std::string> texts;
    int dialogFocused = 0;
    int focusedControl = 0;
    int beeps = 0;
    bool ended = false;
    int result = -1;
};

// The scripted platform, with a look at the files when the counting dialog has been
// stopped but before anything is written: what a crash at that moment would leave.
class SessionPlatform : public ScriptedPlatform {
  public:
    int RunDialog(DialogModel& model) override {
        const int result = ScriptedPlatform::RunDialog(model);
        if (model.Resource() == "COUNTINGDIALOG" && afterCounting)
            afterCounting();
        return result;
    }
    std::function<void()> afterCounting;
};

class CountingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_.SetSettingsFolder(Folder());
        platform_.SetStreams(&labels_, nullptr);
        StartWorkbench(wb_);
        platform_.SetDialogLookup(FindDialogTemplate);
        wb_.workingFolder = Folder();
    }
    std::string Folder() const { return folder_.Folder(); }
    std::string Path(const std::string& name) const { return folder_.File(name); }
    void Write(const std::string& name, const std::string& text) const {
        folder_.Write(name, text);
    }
    std::string Read(const std::string& name) const { return folder_.Read(name); }
    bool Exists(const std::string& name) const { return folder_.Has(name); }

    int Run(const std::vector<std::string>& answers) {
        for (const std::string& answer : answers)
            platform_.AddAnswer(answer);
        const int result = CountSpecimens(wb_);
        EXPECT_EQ(platform_.UsageError(), "");
        EXPECT_EQ(platform_.AnswersLeft(), 0u);
        return result;
    }
    // The last text the dialog gave label `id`, from the echoed label lines.
    std::string LastLabel(int id) const {
        std::istringstream lines(labels_.str());
        const std::string prefix = std::to_string(id) + ": ";
        std::string line, last;
        while (std::getline(lines, line)) {
            if (line.rfind(prefix, 0) == 0)
                last = line.substr(prefix.size());
        }
        return last;
    }
    int Beeps() const {
        int beeps = 0;
        for (const std::string& entry : platform_.Log())
            beeps += entry == "beep";
        return beeps;
    }

    // Two samples A and B; G. ruber 3 and 0, N. pachyderma 1 and 12.
    static constexpr char kMatrix[] = "Species\tName\tA\tB\r\n"
                                      "\tG. ruber\t3\t0\r\n"
                                      "\tN. pachyderma\t1\t12\r\n";

    testsupport::TempDir folder_;
    SessionPlatform platform_;
    Workbench wb_{platform_};
    std::ostringstream labels_;
};

// Fills the tables with the matrix of the writer's example.
inline void LoadExample(Workbench& wb) {
    Tables& t = wb.tables;
    t.cornerLabel = "Species";
    t.reference.names[0] = "Name";
    t.reference.names[1] = "A";
    t.reference.names[2] = "B";
    t.species.names[1] = "G. ruber";
    t.species.names[2] = "N. pachyderma";
    t.reference.Value(1, 1) = 3;
    t.reference.Value(2, 1) = 0;
    t.reference.Value(1, 2) = 1.5f;
    t.reference.Value(2, 2) = 12;
}

class CountingDialogTest : public CountingTest {
  protected:
    void SetUp() override {
        CountingTest::SetUp();
        LoadExample(wb_);
        state_.sampleCount = 2;
        state_.speciesCount = 2;
        wb_.tables.reference.totals[1] = 4.5f;
        wb_.tables.reference.totals[2] = 12;
    }
    void Type(int id, const std::string& text) {
        controls_.texts[id] = text;
        dialog_.OnCommand(controls_, id, Notification::Changed);
    }
    void Click(int id) { dialog_.OnCommand(controls_, id, Notification::Clicked); }

    CountingState state_;
    CountingDialog dialog_{wb_, state_};
    ProbeControls controls_;
};

} // namespace corelith
