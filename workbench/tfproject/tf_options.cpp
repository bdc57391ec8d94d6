#include "shell/field_helpers.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "tfproject/tf_project.h"
#include "workbench.h"

#include <climits>

namespace corelith {

namespace {

// "CapFac options": the number of factors in one integer field.
// A whole number typed beyond the range of the settings file's numbers is refused at OK with
// a message; the dialog stays open.
class CapFacOptionsDialog : public DialogModel {
  public:
    CapFacOptionsDialog(int factorCount, Platform& platform)
        : factorCount_(factorCount), platform_(platform) {}

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
            const std::string typed = dlg.Text(kIdFactorCount);
            if (IsWholeNumberOutOfRange(typed)) {
                ShowStop(platform_, "The number of factors " + typed +
                                        " cannot be kept: the settings file holds whole "
                                        "numbers up to " +
                                        FormatC("%d", INT_MAX) + ".");
                dlg.FocusControl(kIdFactorCount);
                return;
            }
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
    Platform& platform_;
};

} // namespace

int CapFacOptions(Workbench& wb, int slot) {
    if (!IsProjectSlot(slot))
        return 0;
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(slot)];
    CapFacOptionsDialog dialog(project.numberOfFactors(), wb.platform);
    if (wb.platform.RunDialog(dialog) != 1)
        return 0;
    project.numberOfFactors() = dialog.FactorCount();
    SaveSettings(wb);
    return 1;
}

int RegressOptions(Workbench& wb, int slot) {
    if (!IsProjectSlot(slot))
        return 0;
    return TwoChoiceDialog(wb, "REGRESSOPTIONS",
                           wb.settings.slots[static_cast<size_t>(slot)].regressionType());
}

} // namespace corelith
