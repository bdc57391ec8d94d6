#include "shell/field_helpers.h"
#include "shell/settings.h"
#include "tfproject/tf_files.h"
#include "tfproject/tf_project.h"
#include "workbench.h"

namespace corelith {

namespace {

// "CapFac options": the number of factors in one integer field.
class CapFacOptionsDialog : public DialogModel {
  public:
    explicit CapFacOptionsDialog(int factorCount) : factorCount_(factorCount) {}

    int FactorCount() const { return factorCount_; }

    std::string Resource() const override { return "CAPFACOPTIONS"; }

    void OnInit(DialogControls& dlg) override {
        IntegerField(dlg, kIdFactorCount, kShow, "%d", factorCount_, 1);
        dlg.FocusControl(kIdFactorCount);
    }

    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        if (id == kIdFactorCount && what == Notification::Changed) {
            // A field without a value already shows the blank placeholder; showing it again
            // would only raise another change notification.
            if (FieldHasValue(dlg, id))
                factorCount_ = IntegerField(dlg, id, kTake, "%d", factorCount_, 1);
        } else if (id == kIdOk && what == Notification::Clicked) {
            dlg.End(1);
        } else if (id == kIdCancel && what == Notification::Clicked) {
            dlg.End(0);
        }
    }

    ScriptBinding Script() const override {
        ScriptBinding binding;
        binding.kind = ScriptKind::Field;
        binding.fieldId = kIdFactorCount;
        return binding;
    }

  private:
    int factorCount_;
};

// "Regress options": linear or quadratic regression, as a two-choice dialog.
class RegressOptionsDialog : public DialogModel {
  public:
    explicit RegressOptionsDialog(int regressionType) : regressionType_(regressionType) {}

    // 0 linear, 1 quadratic.
    int RegressionType() const { return choice_ - 1; }

    std::string Resource() const override { return "REGRESSOPTIONS"; }

    void OnInit(DialogControls& dlg) override {
        choice_ = RadioGroup(dlg, Buttons(), regressionType_ < 1 ? 1 : 2);
        dlg.FocusDialog();
    }

    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        if (what != Notification::Clicked)
            return;
        if (id == kIdLinearRegression)
            choice_ = RadioGroup(dlg, Buttons(), 1);
        else if (id == kIdQuadraticRegression)
            choice_ = RadioGroup(dlg, Buttons(), 2);
        else if (id == kIdOk)
            dlg.End(1);
        else if (id == kIdCancel)
            dlg.End(0);
    }

    ScriptBinding Script() const override {
        ScriptBinding binding;
        binding.kind = ScriptKind::Choice;
        binding.choices = {{"1", kIdLinearRegression}, {"2", kIdQuadraticRegression}};
        return binding;
    }

  private:
    static std::vector<int> Buttons() { return {kIdLinearRegression, kIdQuadraticRegression}; }

    int regressionType_;
    int choice_ = 1;
};

} // namespace

int CapFacOptions(Workbench& wb, int slot) {
    if (!IsProjectSlot(slot))
        return 0;
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(slot)];
    CapFacOptionsDialog dialog(project.numberOfFactors());
    if (wb.platform.RunDialog(dialog) != 1)
        return 0;
    project.numberOfFactors() = dialog.FactorCount();
    SaveSettings(wb);
    return 1;
}

int RegressOptions(Workbench& wb, int slot) {
    if (!IsProjectSlot(slot))
        return 0;
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(slot)];
    RegressOptionsDialog dialog(project.regressionType());
    if (wb.platform.RunDialog(dialog) != 1)
        return 0;
    project.regressionType() = dialog.RegressionType();
    SaveSettings(wb);
    return 1;
}

} // namespace corelith
