// The dialogs of the counting tool: the counting dialog, the four name dialogs and the
// question whether to recover an unfinished counting session.
#pragma once

#include "counting/journal.h"
#include "counting/session.h"
#include "platform/dialog.h"

#include <string>

namespace corelith {

struct Workbench;

// Control ids of the counting dialog, the name dialogs and the recovery question.
enum CountingControl {
    kIdSampleNumber = 1140,
    kIdSampleName = 1141,
    kIdSpeciesNumber = 1142,
    kIdSpeciesName = 1143,
    kIdIncrement = 1144,
    kIdTotalLine = 1145,
    kIdCountLine = 1146,
    kIdEditSample = 1147,
    kIdNewSample = 1148,
    kIdNewSpecies = 1149,
    kIdEditSpecies = 1150,
    kIdSave = 1169,
    kIdDiversityLine = 1170,
    kIdRecoveryText = 1171,
    kIdStartAnew = 1172,
};

// "COUNTINGDIALOG": every Count adds the increment to the current species of the
// current sample; Stop (also Escape and the close box) ends the run. Each change is
// recorded in `journal` when one is given.
class CountingDialog final : public DialogModel {
  public:
    CountingDialog(Workbench& wb, CountingState& state, CountingJournal* journal = nullptr)
        : wb_(wb), state_(state), journal_(journal) {}

    std::string Resource() const override { return "COUNTINGDIALOG"; }
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

    struct Axis; // the sample or the species side of the dialog

  private:
    Axis SampleAxis();
    Axis SpeciesAxis();
    void SetText(DialogControls& controls, int id, const std::string& text);
    void TakeNumberField(DialogControls& controls, const Axis& axis, bool opening);
    void TakeIncrementField(DialogControls& controls);
    void Count(DialogControls& controls);
    void EditName(DialogControls& controls, const Axis& axis);
    void NewEntry(DialogControls& controls, const Axis& axis);
    void RefreshResultLines(DialogControls& controls);
    // Puts a change made into the journal; the first failure is reported once.
    void Record(const CountingAction& action);

    Workbench& wb_;
    CountingState& state_;
    CountingJournal* journal_;
    bool settingText_ = false; // notifications caused by the model's own SetText are ignored
};

// "EDITSAMPLENAME", "NEWSAMPLE", "EDITSPECIESNAME" and "NEWSPECIES".
class NameDialog final : public DialogModel {
  public:
    enum class Subject { Sample, Species };
    NameDialog(Workbench& wb, CountingState& state, Subject subject, bool isNew)
        : wb_(wb), state_(state), subject_(subject), isNew_(isNew) {}

    std::string Resource() const override;
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

    bool Confirmed() const { return confirmed_; }
    // Takes back the entry a "New" dialog added when it closed without OK. Called by the
    // dialog's own Cancel and again by its caller, in case the dialog was closed otherwise.
    void WithdrawNewEntry();
    // The change the dialog made once confirmed, as the journal records it.
    CountingAction Action() const;

  private:
    int& Count() const;
    int& Current() const;
    std::string& Name(int index) const;

    Workbench& wb_;
    CountingState& state_;
    Subject subject_;
    bool isNew_;
    bool grown_ = false;
    bool confirmed_ = false;
};

// "RECOVERCOUNTING": a counting session into the chosen output was not finished. "Recover"
// (default) goes on with it, "Start anew" counts the table afresh and drops the old session,
// "Cancel" (also Escape and the close box) ends the command and keeps it.
class RecoveryDialog final : public DialogModel {
  public:
    enum Choice { kCancelled = 0, kRecover = 1, kStartAnew = 2 };
    explicit RecoveryDialog(std::string question) : question_(std::move(question)) {}

    std::string Resource() const override { return "RECOVERCOUNTING"; }
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

  private:
    std::string question_;
};

} // namespace corelith
