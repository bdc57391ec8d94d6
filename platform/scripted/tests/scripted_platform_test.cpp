#include "platform/scripted/scripted_platform.h"

#include "platform/settings_folder.h"
#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>

namespace corelith {
namespace {

// A dialog model that records what it hears and ends on OK and Cancel.
class RecordingModel : public DialogModel {
  public:
    explicit RecordingModel(ScriptBinding binding, std::string resource = "TESTDIALOG")
        : binding_(std::move(binding)), resource_(std::move(resource)) {}

    std::string Resource() const override { return resource_; }
    void OnInit(DialogControls& controls) override {
        if (onInit)
            onInit(controls);
    }
    void OnCommand(DialogControls& controls, int id, Notification what) override {
        std::string entry = std::to_string(id);
        entry += what == Notification::Clicked ? " click" : " change";
        if (what == Notification::Changed) {
            entry += ' ';
            entry += controls.Text(id);
        }
        heard.push_back(entry);
        if (onCommand && onCommand(controls, id))
            return;
        if (endOnButtons && (id == kIdOk || id == kIdCancel))
            controls.End(id == kIdOk ? 1 : 0);
    }
    ScriptBinding Script() const override { return binding_; }

    std::vector<std::string> heard;
    bool endOnButtons = true;
    std::function<void(DialogControls&)> onInit;
    std::function<bool(DialogControls&, int)> onCommand; // true: handled

  private:
    ScriptBinding binding_;
    std::string resource_;
};

ScriptBinding ChoiceBinding() {
    ScriptBinding b;
    b.kind = ScriptKind::Choice;
    b.choices = {{"1", 101}, {"2", 102}};
    return b;
}

ScriptBinding ChecksBinding() {
    ScriptBinding b;
    b.kind = ScriptKind::Checks;
    b.choices = {{"CapFac", 201}, {"Regress", 202}, {"Thread", 203}};
    return b;
}

ScriptBinding ActionsBinding() {
    ScriptBinding b;
    b.kind = ScriptKind::Actions;
    b.actions = {{"sample", ScriptAction::Op::SetField, 301},
                 {"count", ScriptAction::Op::Click, kIdOk},
                 {"new", ScriptAction::Op::ClickNested, 302}};
    b.stopId = kIdCancel;
    b.echoedLabels = {303};
    return b;
}

TEST(ScriptedPlatformTest, MessageIsLoggedOnOneLineAndWrittenToErrors) {
    ScriptedPlatform p;
    std::ostringstream errors;
    p.SetStreams(nullptr, &errors);
    p.ShowMessage(147, "Corelith", "Something is wrong.\nProject has not been created.",
                  MessageIcon::Information, false);
    p.ShowMessage(139, "Corelith", "Species overflow. Maximum: 500", MessageIcon::Stop, true);
    p.Beep();
    EXPECT_EQ(errors.str(), "message 147: Something is wrong.\\nProject has not been created.\n"
                            "message 139: Species overflow. Maximum: 500\n"
                            "beep\n");
    EXPECT_EQ(p.Messages(), (std::vector<std::string>{
                                "message 147: Something is wrong.\\nProject has not been created.",
                                "message 139: Species overflow. Maximum: 500"}));
    EXPECT_EQ(p.Log().back(), "beep");
    EXPECT_EQ(p.BeepCount(), 2); // the stop box's beep and the bare one
}

TEST(ScriptedPlatformTest, CursorChangesAreLoggedOnce) {
    ScriptedPlatform p;
    p.SetCursor(Cursor::Wait);
    p.SetCursor(Cursor::Wait);
    p.SetCursor(Cursor::Arrow);
    EXPECT_EQ(p.Log(), (std::vector<std::string>{"cursor: wait", "cursor: arrow"}));
    EXPECT_EQ(p.CurrentCursor(), Cursor::Arrow);
}

FileDialogRequest Request(bool save, std::string initial = "ref.cap") {
    FileDialogRequest r;
    r.save = save;
    r.title = save ? "Save CapFac file as" : "Select data file";
    r.initialPath = std::move(initial);
    r.currentFolder = "/data/cores/";
    return r;
}

TEST(ScriptedPlatformTest, FileAnswersAreTakenAsTyped) {
    ScriptedPlatform p({"ref.txt", "sub/core", "/abs/x.dat", ":ok", ":cancel"});
    std::string chosen = "unchanged";
    ASSERT_TRUE(p.SelectFile(Request(false), chosen));
    EXPECT_EQ(chosen, "/data/cores/ref.txt");
    ASSERT_TRUE(p.SelectFile(Request(false), chosen));
    EXPECT_EQ(chosen, "/data/cores/sub/core.csv"); // the default extension
    ASSERT_TRUE(p.SelectFile(Request(true), chosen));
    EXPECT_EQ(chosen, "/abs/x.dat");
    ASSERT_TRUE(p.SelectFile(Request(true), chosen));
    EXPECT_EQ(chosen, "/data/cores/ref.cap"); // the proposed name
    chosen = "unchanged";
    EXPECT_FALSE(p.SelectFile(Request(true), chosen));
    EXPECT_FALSE(p.SelectFile(Request(true), chosen)); // answers ran out
    EXPECT_EQ(chosen, "unchanged");
    EXPECT_EQ(p.Log().front(), "open: Select data file");
    EXPECT_EQ(p.Log().back(), "save: Save CapFac file as");
    EXPECT_EQ(p.FileRequests().size(), 6u);
    EXPECT_TRUE(p.UsageError().empty());
}

TEST(ScriptedPlatformTest, OpenDialogTakesAnExistingFileWithoutExtensionAsTyped) {
    const testsupport::TempDir folder;
    folder.Write("marvane", "");
    FileDialogRequest open = Request(false);
    open.currentFolder = folder.Folder();
    open.initialPath = "marvane";
    FileDialogRequest save = open;
    save.save = true;

    ScriptedPlatform p({"marvane", ":ok", "marvane", "missing"});
    std::string chosen;
    ASSERT_TRUE(p.SelectFile(open, chosen));
    EXPECT_EQ(chosen, open.currentFolder + "marvane");
    ASSERT_TRUE(p.SelectFile(open, chosen));
    EXPECT_EQ(chosen, open.currentFolder + "marvane"); // the proposal, as it stands
    ASSERT_TRUE(p.SelectFile(save, chosen));
    EXPECT_EQ(chosen, open.currentFolder + "marvane.csv"); // a save dialog always adds it
    ASSERT_TRUE(p.SelectFile(open, chosen));
    EXPECT_EQ(chosen, open.currentFolder + "missing.csv");
}

TEST(ScriptedPlatformTest, OkWithoutProposedNameIsAUsageError) {
    ScriptedPlatform p({":ok", ":choose"});
    std::string chosen;
    EXPECT_FALSE(p.SelectFile(Request(false, ""), chosen));
    EXPECT_EQ(p.UsageError(), "file dialog \"Select data file\" proposes no name to take with :ok");
    ScriptedPlatform q({":choose"});
    EXPECT_FALSE(q.SelectFile(Request(false), chosen));
    EXPECT_EQ(q.UsageError(),
              "file dialog \"Select data file\" cannot take the answer \":choose\"");
}

TEST(ScriptedPlatformTest, ChoiceClicksTheRadioButtonThenOk) {
    ScriptedPlatform p({"2"});
    RecordingModel m(ChoiceBinding());
    bool firstChecked = true, secondChecked = false;
    m.onCommand = [&](DialogControls& c, int id) {
        if (id == kIdOk) {
            firstChecked = c.Checked(101);
            secondChecked = c.Checked(102);
        }
        return false;
    };
    m.onInit = [](DialogControls& c) { c.SetChecked(101, true); };
    EXPECT_EQ(p.RunDialog(m), 1);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"102 click", "1 click"}));
    EXPECT_FALSE(firstChecked);
    EXPECT_TRUE(secondChecked);
    EXPECT_EQ(p.Log(), (std::vector<std::string>{"dialog: TESTDIALOG"}));
}

TEST(ScriptedPlatformTest, ChoiceOutsideTheListCancelsWithAUsageError) {
    ScriptedPlatform p({"3", ":ok"});
    RecordingModel m(ChoiceBinding());
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"2 click"}));
    EXPECT_EQ(p.UsageError(), "dialog TESTDIALOG: the answer \"3\" is not one of 1, 2");
    EXPECT_EQ(p.AnswersLeft(), 1u);
}

TEST(ScriptedPlatformTest, ChecksClickOnlyTheBoxesThatChange) {
    ScriptedPlatform p({"CapFac+Thread", "none"});
    RecordingModel m(ChecksBinding());
    m.onInit = [](DialogControls& c) {
        c.SetChecked(201, true);
        c.SetChecked(202, true);
    };
    EXPECT_EQ(p.RunDialog(m), 1);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"202 click", "203 click", "1 click"}));
    RecordingModel n(ChecksBinding());
    n.onInit = [](DialogControls& c) { c.SetChecked(203, true); };
    EXPECT_EQ(p.RunDialog(n), 1);
    EXPECT_EQ(n.heard, (std::vector<std::string>{"203 click", "1 click"}));
}

TEST(ScriptedPlatformTest, ChecksWithAnUnknownWordIsAUsageError) {
    ScriptedPlatform p({"CapFac+Quillon"});
    RecordingModel m(ChecksBinding());
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"2 click"}));
    EXPECT_EQ(p.UsageError(),
              "dialog TESTDIALOG: \"Quillon\" is not one of none, CapFac, Regress, Thread");
}

TEST(ScriptedPlatformTest, FieldTypesTheTextThenOk) {
    ScriptedPlatform p({"3,5"});
    ScriptBinding b;
    b.kind = ScriptKind::Field;
    b.fieldId = 401;
    RecordingModel m(b);
    EXPECT_EQ(p.RunDialog(m), 1);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"401 change 3,5", "1 click"}));
}

TEST(ScriptedPlatformTest, PlainDialogTakesOnlyOkAndCancel) {
    ScriptedPlatform p({":ok", ":cancel", "yes"});
    RecordingModel a(ScriptBinding{}), b(ScriptBinding{}), c(ScriptBinding{});
    EXPECT_EQ(p.RunDialog(a), 1);
    EXPECT_EQ(p.RunDialog(b), 0);
    EXPECT_EQ(b.heard, (std::vector<std::string>{"2 click"}));
    EXPECT_EQ(p.RunDialog(c), 0);
    EXPECT_EQ(p.UsageError(),
              "dialog TESTDIALOG: the answer \"yes\" does not fit; it takes only :ok or :cancel");
}

TEST(ScriptedPlatformTest, NoAnswersLeftCancels) {
    ScriptedPlatform p;
    RecordingModel m(ChoiceBinding());
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"2 click"}));
    EXPECT_TRUE(p.UsageError().empty());
}

TEST(ScriptedPlatformTest, ADialogThatDoesNotEndIsEndedWithZero) {
    ScriptedPlatform p({":ok"});
    RecordingModel m(ScriptBinding{});
    m.endOnButtons = false;
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"1 click"}));
}

TEST(ScriptedPlatformTest, ModelMayEndInItsInit) {
    ScriptedPlatform p({":ok"});
    RecordingModel m(ScriptBinding{});
    m.onInit = [](DialogControls& c) { c.End(7); };
    EXPECT_EQ(p.RunDialog(m), 7);
    EXPECT_TRUE(m.heard.empty());
    EXPECT_EQ(p.AnswersLeft(), 1u);
}

TEST(ScriptedPlatformTest, ActionsRunUntilStopAndEchoLabels) {
    ScriptedPlatform p({"sample=3", "count", "count", "stop", "next"});
    std::ostringstream output;
    p.SetStreams(&output, nullptr);
    RecordingModel m(ActionsBinding(), "COUNTINGDIALOG");
    m.onCommand = [](DialogControls& c, int id) {
        if (id == kIdOk) {
            c.SetText(303, "counted individuals: " + c.Text(301));
            c.SetText(304, "not echoed");
            return true; // "Count" does not close the dialog
        }
        return false;
    };
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"301 change 3", "1 click", "1 click", "2 click"}));
    EXPECT_EQ(output.str(), "303: counted individuals: 3\n303: counted individuals: 3\n");
    EXPECT_EQ(p.AnswersLeft(), 1u);
}

TEST(ScriptedPlatformTest, ActionsClickTheStopButtonWhenAnswersRunOut) {
    ScriptedPlatform p({"count"});
    RecordingModel m(ActionsBinding());
    m.onCommand = [](DialogControls&, int id) { return id == kIdOk; };
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(m.heard, (std::vector<std::string>{"1 click", "2 click"}));
    ScriptedPlatform q;
    RecordingModel n(ActionsBinding());
    q.RunDialog(n);
    EXPECT_EQ(n.heard, (std::vector<std::string>{"2 click"}));
}

TEST(ScriptedPlatformTest, NestedAnswerGoesToTheDialogTheClickOpens) {
    ScriptedPlatform p({"new=Globigerina bulloides", "new:cancel", "new=unused", "stop"});
    RecordingModel outer(ActionsBinding());
    std::vector<int> nestedResults;
    std::vector<std::string> nestedTexts;
    int clicks = 0;
    outer.onCommand = [&](DialogControls&, int id) {
        if (id != 302)
            return false;
        // The third click opens nothing, as when a table is full.
        if (++clicks == 3)
            return true;
        ScriptBinding field;
        field.kind = ScriptKind::Field;
        field.fieldId = 501;
        RecordingModel inner(field, "NEWSPECIES");
        inner.onCommand = [&](DialogControls& c, int innerId) {
            if (innerId == kIdOk)
                nestedTexts.push_back(c.Text(501));
            return false;
        };
        nestedResults.push_back(p.RunDialog(inner));
        return true;
    };
    EXPECT_EQ(p.RunDialog(outer), 0);
    EXPECT_EQ(nestedResults, (std::vector<int>{1, 0}));
    EXPECT_EQ(nestedTexts, (std::vector<std::string>{"Globigerina bulloides"}));
    EXPECT_EQ(p.AnswersLeft(), 0u);
    EXPECT_TRUE(p.UsageError().empty());
}

TEST(ScriptedPlatformTest, ActionInTheWrongFormIsAUsageError) {
    ScriptedPlatform p({"count=2"});
    RecordingModel m(ActionsBinding());
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(p.UsageError(),
              "dialog TESTDIALOG: the answer \"count=2\" does not fit; it takes stop, :ok, "
              ":cancel, sample=TEXT, count, new=ANSWER");
    ScriptedPlatform q({"sample:cancel"});
    RecordingModel n(ActionsBinding());
    EXPECT_EQ(q.RunDialog(n), 0);
    EXPECT_FALSE(q.UsageError().empty());
}

const DialogTemplate* Lookup(std::string_view resource) {
    using K = ControlKind;
    static const DialogTemplate formatData{"FORMATDATA",
                                           "Format of data",
                                           100,
                                           60,
                                           {{K::Label, -1, "Format"},
                                            {K::Radio, 601, "raw data"},
                                            {K::Radio, 602, "percent data"},
                                            {K::Check, 603, "keep"},
                                            {K::Edit, 604, "initial"},
                                            {K::DefaultButton, kIdOk, "OK"}}};
    return resource == "FORMATDATA" ? &formatData : nullptr;
}

TEST(ScriptedPlatformTest, TemplatesGiveInitialTextsAndAutoButtons) {
    ScriptedPlatform p({"602", "keep", ":ok"});
    p.SetDialogLookup(Lookup);
    ScriptBinding b;
    b.kind = ScriptKind::Actions;
    b.actions = {{"602", ScriptAction::Op::Click, 602}, {"keep", ScriptAction::Op::Click, 603}};
    RecordingModel m(b, "formatdata");
    m.onInit = [](DialogControls& c) { c.SetChecked(601, true); };
    std::string initialText;
    bool raw = true, percent = false, keep = false;
    m.onCommand = [&](DialogControls& c, int id) {
        if (id == kIdOk) {
            initialText = c.Text(604);
            raw = c.Checked(601);
            percent = c.Checked(602);
            keep = c.Checked(603);
        }
        return false;
    };
    // The lookup is case-sensitive in this test: "formatdata" has no template.
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(p.UsageError(), "dialog formatdata has no template");

    ScriptedPlatform q({"602", "keep", ":ok"});
    q.SetDialogLookup(Lookup);
    RecordingModel n(b, "FORMATDATA");
    n.onInit = m.onInit;
    n.onCommand = m.onCommand;
    EXPECT_EQ(q.RunDialog(n), 1);
    EXPECT_EQ(initialText, "initial");
    EXPECT_FALSE(raw);
    EXPECT_TRUE(percent);
    EXPECT_TRUE(keep);
    EXPECT_TRUE(q.UsageError().empty());
}

TEST(ScriptedPlatformTest, BindingToAControlTheTemplateLacksIsAUsageError) {
    ScriptedPlatform p({"1"});
    p.SetDialogLookup(Lookup);
    RecordingModel m(ChoiceBinding(), "FORMATDATA");
    EXPECT_EQ(p.RunDialog(m), 0);
    EXPECT_EQ(p.UsageError(), "dialog FORMATDATA: control 101 is not in its template");
}

TEST(ScriptedPlatformTest, ProgramsAreOnlyLoggedInTests) {
    ScriptedPlatform p;
    EXPECT_TRUE(p.StartProgram("/opt/quillon/Quillon", "/data/"));
    EXPECT_EQ(p.Log().back(), "start: /opt/quillon/Quillon in /data/");
}

TEST(ScriptedPlatformTest, StartingAMissingProgramFails) {
#ifdef _WIN32
    // A console program every Windows has, started in a console of its own.
    const char* root = std::getenv("SystemRoot");
    const std::string folder = std::string(root != nullptr ? root : "C:\\Windows") + "\\";
    const std::string program = folder + "system32\\hostname.exe";
    const std::string missing = folder + "system32\\no such program.exe";
    const std::string missingFolder = folder + "no such folder\\";
#else
    const std::string folder = "/";
    const std::string program = "/bin/true";
    const std::string missing = "/nonexistent/program";
    const std::string missingFolder = "/nonexistent/folder";
#endif
    ScriptedPlatform p;
    p.SetStartPrograms(true);
    EXPECT_FALSE(p.StartProgram(missing, folder));
    EXPECT_TRUE(p.StartProgram(program, folder));
    EXPECT_FALSE(p.StartProgram(program, missingFolder));
    EXPECT_FALSE(p.StartProgram("", folder));
}

TEST(ScriptedPlatformTest, SettingsFolderDefaultsToTheDesktopOne) {
    ScriptedPlatform p;
    EXPECT_EQ(p.SettingsFolder(), DefaultSettingsFolder());
    p.SetSettingsFolder("/tmp/x/");
    EXPECT_EQ(p.SettingsFolder(), "/tmp/x/");
}

#ifdef _WIN32
TEST(SettingsFolderTest, IsCorelithInTheUsersApplicationData) {
    // A user name outside the ANSI code page: the variable is read in UTF-16.
    const std::string appData = "C:\\Users\\J\xC3\xBCrgen \xCE\xBB\\AppData\\Roaming";
    testsupport::ScopedEnv variable("APPDATA", appData);
    EXPECT_EQ(DefaultSettingsFolder(), appData + "\\Corelith\\");
    testsupport::SetEnv("APPDATA", appData + "\\");
    EXPECT_EQ(DefaultSettingsFolder(), appData + "\\Corelith\\");
    // Without the variable, the shell knows the folder.
    testsupport::SetEnv("APPDATA", std::nullopt);
    const std::string known = DefaultSettingsFolder();
    ASSERT_GT(known.size(), 12u);
    EXPECT_EQ(known.substr(1, 2), ":\\") << known;
    EXPECT_EQ(known.substr(known.size() - 10), "\\Corelith\\") << known;
}
#else
TEST(SettingsFolderTest, FollowsXdgConfigHomeThenHome) {
    testsupport::ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    testsupport::ScopedEnv home("HOME", "/home/user");
    EXPECT_EQ(DefaultSettingsFolder(), "/cfg/corelith/");
    testsupport::SetEnv("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(DefaultSettingsFolder(), "/home/user/.config/corelith/");
    testsupport::SetEnv("XDG_CONFIG_HOME", std::nullopt);
    testsupport::SetEnv("HOME", "/home/user/");
    EXPECT_EQ(DefaultSettingsFolder(), "/home/user/.config/corelith/");
    testsupport::SetEnv("HOME", std::nullopt);
    EXPECT_EQ(DefaultSettingsFolder(), "");
}
#endif

} // namespace
} // namespace corelith
