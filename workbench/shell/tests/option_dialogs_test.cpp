#include "shell/option_dialogs.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/settings.h"
#include "shell_test_support.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace corelith {
namespace {

using ProbeControls = testing::MapControls;

// A scripted backend whose dialogs are clicked through by the test: after opening, the
// controls are recorded and the listed ids are clicked in turn (auto buttons toggle first).
class ClickingPlatform : public ScriptedPlatform {
  public:
    std::vector<int> clicks;
    std::map<int, bool> checksAfterOpening;
    bool focusedDialogOnOpening = false;

    int RunDialog(DialogModel& model) override {
        ProbeControls controls;
        model.OnInit(controls);
        checksAfterOpening = controls.checks;
        focusedDialogOnOpening = controls.focusedDialog;
        for (int id : clicks) {
            if (controls.ended)
                break;
            if (id >= 1161 && id <= 1163)
                controls.checks[id] = !controls.checks[id];
            if (id == 1164 || id == 1165)
                controls.checks[id] = true;
            model.OnCommand(controls, id, Notification::Clicked);
        }
        return controls.ended ? controls.result : 0;
    }
};

class OptionDialogsTest : public ::testing::Test {
  protected:
    std::string Folder() const { return folder_.Folder(); }
    bool SettingsWritten() const { return folder_.Has(kSettingsFileName); }
    std::string SettingsLine(int number) const { return testing::SettingsLine(folder_, number); }

    testsupport::TempDir folder_;
};

TEST_F(OptionDialogsTest, FormatOfDataOpensOnTheStoredChoice) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    int& format = wb.settings.slots[1].dataFormat;
    format = 1;
    platform.clicks = {kIdOk};
    EXPECT_EQ(FormatOfData(wb, format), 1);
    EXPECT_FALSE(platform.checksAfterOpening[1164]);
    EXPECT_TRUE(platform.checksAfterOpening[1165]);
    EXPECT_TRUE(platform.focusedDialogOnOpening);
    EXPECT_EQ(format, 1);
    EXPECT_EQ(SettingsLine(2).substr(0, 2), "1\t") << "OK saves even without a change";
}

TEST_F(OptionDialogsTest, AStoredValueOfTwoIsSavedBackAsOne) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    int& format = wb.settings.slots[1].speciesFormat;
    format = 2;
    platform.clicks = {kIdOk};
    EXPECT_EQ(FormatOfSpecies(wb, format), 1);
    EXPECT_TRUE(platform.checksAfterOpening[1165]);
    EXPECT_EQ(format, 1);
    EXPECT_EQ(SettingsLine(2).substr(0, 4), "0\t1\t");
}

TEST_F(OptionDialogsTest, NegativeValuesOpenOnTheFirstChoice) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    int format = -3;
    platform.clicks = {kIdOk};
    EXPECT_EQ(FormatOfSpecies(wb, format), 1);
    EXPECT_TRUE(platform.checksAfterOpening[1164]);
    EXPECT_FALSE(platform.checksAfterOpening[1165]);
    EXPECT_EQ(format, 0);
}

TEST_F(OptionDialogsTest, ClicksFollowTheLastRadioButton) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    int format = 0;
    platform.clicks = {1165, 1164, 1165, kIdOk};
    EXPECT_EQ(FormatOfSpecies(wb, format), 1);
    EXPECT_EQ(format, 1);
}

TEST_F(OptionDialogsTest, CancelChangesAndSavesNothing) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    int format = 0;
    platform.clicks = {1165, kIdCancel};
    EXPECT_EQ(FormatOfData(wb, format), 0);
    EXPECT_EQ(format, 0);
    int capFac = 1, regress = 1, thread = 1;
    platform.clicks = {1161, 1162, kIdCancel};
    EXPECT_EQ(UsedTools(wb, capFac, regress, thread), 0);
    EXPECT_EQ(capFac + regress + thread, 3);
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(OptionDialogsTest, UsedToolsShowsAndStoresTheThreeFlags) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    ProjectSlot& slot = wb.settings.slots[1];
    slot.usedCapFac = 0;
    slot.usedRegress = 7;
    slot.usedThread = 1;
    platform.clicks = {1161, 1163, kIdOk};
    EXPECT_EQ(UsedTools(wb, slot.usedCapFac, slot.usedRegress, slot.usedThread), 1);
    EXPECT_FALSE(platform.checksAfterOpening[1161]);
    EXPECT_TRUE(platform.checksAfterOpening[1162]);
    EXPECT_TRUE(platform.checksAfterOpening[1163]);
    EXPECT_EQ(slot.usedCapFac, 1);
    EXPECT_EQ(slot.usedRegress, 1);
    EXPECT_EQ(slot.usedThread, 0);
    EXPECT_EQ(SettingsLine(2).substr(0, 10), "0\t0\t1\t1\t0\t");
}

TEST_F(OptionDialogsTest, TickingAndUntickingKeepsTheFlagButStillSaves) {
    ClickingPlatform platform;
    platform.SetSettingsFolder(Folder());
    Workbench wb(platform);
    ProjectSlot& slot = wb.settings.slots[1];
    platform.clicks = {1163, 1163, kIdOk};
    EXPECT_EQ(UsedTools(wb, slot.usedCapFac, slot.usedRegress, slot.usedThread), 1);
    EXPECT_EQ(slot.usedThread, 1);
    EXPECT_TRUE(SettingsWritten());
}

// The same dialogs answered the way the batch front end answers them.
class ScriptedOptionDialogsTest : public OptionDialogsTest {
  protected:
    void Answer(std::vector<std::string> answers) {
        platform_ = std::make_unique<ScriptedPlatform>(std::move(answers));
        platform_->SetSettingsFolder(Folder());
        platform_->SetDialogLookup(FindDialogTemplate);
        wb_ = std::make_unique<Workbench>(*platform_);
    }
    std::unique_ptr<ScriptedPlatform> platform_;
    std::unique_ptr<Workbench> wb_;
};

TEST_F(ScriptedOptionDialogsTest, ChoicesPickTheRadioButtons) {
    Answer({"2", "1", ":ok"});
    int& species = wb_->settings.slots[1].speciesFormat;
    EXPECT_EQ(FormatOfSpecies(*wb_, species), 1);
    EXPECT_EQ(species, 1);
    EXPECT_EQ(FormatOfSpecies(*wb_, species), 1);
    EXPECT_EQ(species, 0);
    int& data = wb_->settings.slots[1].dataFormat;
    data = 1;
    EXPECT_EQ(FormatOfData(*wb_, data), 1);
    EXPECT_EQ(data, 1);
    EXPECT_EQ(platform_->UsageError(), "");
    EXPECT_EQ(SettingsLine(2).substr(0, 4), "1\t0\t");
}

TEST_F(ScriptedOptionDialogsTest, ChecksTickExactlyTheNamedTools) {
    Answer({"CapFac+Thread", "none"});
    ProjectSlot& slot = wb_->settings.slots[1];
    EXPECT_EQ(UsedTools(*wb_, slot.usedCapFac, slot.usedRegress, slot.usedThread), 1);
    EXPECT_EQ(slot.usedCapFac, 1);
    EXPECT_EQ(slot.usedRegress, 0);
    EXPECT_EQ(slot.usedThread, 1);
    EXPECT_EQ(UsedTools(*wb_, slot.usedCapFac, slot.usedRegress, slot.usedThread), 1);
    EXPECT_EQ(slot.usedCapFac + slot.usedRegress + slot.usedThread, 0);
    EXPECT_EQ(SettingsLine(2).substr(0, 10), "0\t0\t0\t0\t0\t");
}

TEST_F(ScriptedOptionDialogsTest, CancelAndRunningOutOfAnswersSaveNothing) {
    Answer({":cancel"});
    int format = 0;
    EXPECT_EQ(FormatOfData(*wb_, format), 0);
    EXPECT_EQ(FormatOfData(*wb_, format), 0);
    EXPECT_EQ(format, 0);
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(ScriptedOptionDialogsTest, AnAnswerThatDoesNotFitIsAUsageError) {
    Answer({"3"});
    int format = 0;
    EXPECT_EQ(FormatOfSpecies(*wb_, format), 0);
    EXPECT_NE(platform_->UsageError(), "");
    EXPECT_FALSE(SettingsWritten());
    Answer({"CapFac+Velmar"});
    int a = 1, b = 1, c = 1;
    EXPECT_EQ(UsedTools(*wb_, a, b, c), 0);
    EXPECT_NE(platform_->UsageError(), "");
    EXPECT_EQ(a + b + c, 3);
}

TEST(ShellDialogTemplates, OptionDialogsShareOneFrame) {
    for (const char* name : {"FORMATSPECIES", "FORMATDATA", "USEDTOOLS"}) {
        const DialogTemplate* t = FindDialogTemplate(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->width, 123);
        EXPECT_EQ(t->height, 74);
        const ControlTemplate* ok = nullptr;
        const ControlTemplate* cancel = nullptr;
        for (const ControlTemplate& c : t->controls) {
            if (c.id == kIdOk)
                ok = &c;
            if (c.id == kIdCancel)
                cancel = &c;
        }
        ASSERT_TRUE(ok && cancel) << name;
        EXPECT_EQ(ok->kind, ControlKind::DefaultButton);
        EXPECT_EQ(ok->text, "OK");
        EXPECT_EQ(cancel->text, "Cancel");
        EXPECT_GT(ok->x, cancel->x) << "OK stands at the lower right, Cancel at the lower left";
        EXPECT_LE(ok->x + ok->width, t->width);
        EXPECT_LE(ok->y + ok->height, t->height);
    }
    EXPECT_EQ(FindDialogTemplate("formatspecies")->caption, "Format of species");
    EXPECT_EQ(FindDialogTemplate("FORMATDATA")->caption, "Format of data");
    EXPECT_EQ(FindDialogTemplate("USEDTOOLS")->caption, "Used tools");
    const DialogTemplate* about = FindDialogTemplate("AboutBox");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->caption, "");
    EXPECT_EQ(about->width, 164);
    EXPECT_EQ(about->height, 122);
}

} // namespace
} // namespace corelith
