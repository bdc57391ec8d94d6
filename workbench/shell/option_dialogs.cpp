#include "shell/option_dialogs.h"

#include "shell/field_helpers.h"
#include "shell/settings.h"
#include "workbench.h"

#include <string>

namespace corelith {

namespace {

constexpr int kCapFacBox = 1161;
constexpr int kRegressBox = 1162;
constexpr int kThreadBox = 1163;

// OK ends an option dialog with 1, Cancel with 0.
void EndOnOkOrCancel(DialogControls& dlg, int id) {
    if (id == kIdOk)
        dlg.End(1);
    else if (id == kIdCancel)
        dlg.End(0);
}

class TwoChoiceModel : public DialogModel {
  public:
    TwoChoiceModel(const char* resource, int value) : resource_(resource), choice_(value) {}

    std::string Resource() const override { return resource_; }

    void OnInit(DialogControls& dlg) override {
        choice_ = RadioGroup(dlg, {kFirstChoiceId, kSecondChoiceId}, choice_ < 1 ? 1 : 2);
        dlg.FocusDialog();
    }

    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        if (what != Notification::Clicked)
            return;
        if (id == kFirstChoiceId || id == kSecondChoiceId)
            choice_ =
                RadioGroup(dlg, {kFirstChoiceId, kSecondChoiceId}, id == kFirstChoiceId ? 1 : 2);
        else
            EndOnOkOrCancel(dlg, id);
    }

    ScriptBinding Script() const override {
        ScriptBinding binding;
        binding.kind = ScriptKind::Choice;
        binding.choices = {{"1", kFirstChoiceId}, {"2", kSecondChoiceId}};
        return binding;
    }

    // 0 for the first choice, 1 for the second.
    int Value() const { return choice_ == 1 ? 0 : 1; }

  private:
    std::string resource_;
    int choice_; // 1 or 2 once the dialog is open
};

class UsedToolsModel : public DialogModel {
  public:
    UsedToolsModel(int capFac, int regress, int thread)
        : capFac_(capFac), regress_(regress), thread_(thread) {}

    std::string Resource() const override { return "USEDTOOLS"; }

    void OnInit(DialogControls& dlg) override {
        CheckBoxField(dlg, kCapFacBox, kShow, capFac_);
        CheckBoxField(dlg, kRegressBox, kShow, regress_);
        CheckBoxField(dlg, kThreadBox, kShow, thread_);
        dlg.FocusDialog();
    }

    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        if (what != Notification::Clicked)
            return;
        if (int* flag = Flag(id))
            CheckBoxField(dlg, id, kTake, *flag);
        else
            EndOnOkOrCancel(dlg, id);
    }

    ScriptBinding Script() const override {
        ScriptBinding binding;
        binding.kind = ScriptKind::Checks;
        binding.choices = {
            {"CapFac", kCapFacBox}, {"Regress", kRegressBox}, {"Thread", kThreadBox}};
        return binding;
    }

    int* Flag(int id) {
        return id == kCapFacBox    ? &capFac_
               : id == kRegressBox ? &regress_
               : id == kThreadBox  ? &thread_
                                   : nullptr;
    }

    int capFac_, regress_, thread_;
};

} // namespace

int TwoChoiceDialog(Workbench& wb, const char* resource, int& value) {
    TwoChoiceModel model(resource, value);
    if (wb.platform.RunDialog(model) != 1)
        return 0;
    value = model.Value();
    SaveSettings(wb);
    return 1;
}

int FormatOfSpecies(Workbench& wb, int& speciesFormat) {
    return TwoChoiceDialog(wb, "FORMATSPECIES", speciesFormat);
}

int FormatOfData(Workbench& wb, int& dataFormat) {
    return TwoChoiceDialog(wb, "FORMATDATA", dataFormat);
}

int UsedTools(Workbench& wb, int& usedCapFac, int& usedRegress, int& usedThread) {
    UsedToolsModel model(usedCapFac, usedRegress, usedThread);
    if (wb.platform.RunDialog(model) != 1)
        return 0;
    usedCapFac = model.capFac_;
    usedRegress = model.regress_;
    usedThread = model.thread_;
    SaveSettings(wb);
    return 1;
}

} // namespace corelith
