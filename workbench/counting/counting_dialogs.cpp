#include "counting/counting_dialogs.h"

#include "counting/counting.h"
#include "counting/counting_messages.h"
#include "shell/field_helpers.h"
#include "shell/messages.h"
#include "textio/file_layer.h"
#include "workbench.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace corelith {

namespace {

// Digits beyond the range of a whole number ("99999999999") name no entry of any table:
// the number fields treat them as out of range rather than as text.
bool IsOversizedWholeNumber(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\n\r\f\v");
    if (start == std::string::npos)
        return false;
    const char* last = text.data() + text.size();
    int ignored = 0;
    const auto [end, error] = std::from_chars(text.data() + start, last, ignored);
    return error == std::errc::result_out_of_range && end == last;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The name dialogs

std::string NameDialog::Resource() const {
    if (subject_ == Subject::Sample)
        return isNew_ ? "NEWSAMPLE" : "EDITSAMPLENAME";
    return isNew_ ? "NEWSPECIES" : "EDITSPECIESNAME";
}

int& NameDialog::Count() const {
    return subject_ == Subject::Sample ? state_.sampleCount : state_.speciesCount;
}

int& NameDialog::Current() const {
    return subject_ == Subject::Sample ? state_.currentSample : state_.currentSpecies;
}

std::string& NameDialog::Name(int index) const {
    return subject_ == Subject::Sample ? wb_.tables.reference.names[static_cast<size_t>(index)]
                                       : wb_.tables.species.names[static_cast<size_t>(index)];
}

void NameDialog::OnInit(DialogControls& controls) {
    const bool sample = subject_ == Subject::Sample;
    if (isNew_) {
        // The caller has checked that the table has room for one more entry.
        int& previous = sample ? state_.previousSample : state_.previousSpecies;
        previous = Current();
        grown_ = sample ? AddSampleEntry(wb_.tables, state_) : AddSpeciesEntry(wb_.tables, state_);
    }
    const int numberLabel = sample ? kIdSampleNumber : kIdSpeciesNumber;
    const int nameField = sample ? kIdSampleName : kIdSpeciesName;
    controls.SetText(numberLabel, FormatC("%d", Current()));
    TextField(controls, nameField, kShow, Name(Current()), kMaxNameLength);
    controls.FocusControl(nameField);
}

void NameDialog::OnCommand(DialogControls& controls, int id, Notification) {
    if (id == kIdOk) {
        const int nameField = subject_ == Subject::Sample ? kIdSampleName : kIdSpeciesName;
        std::string& name = Name(Current());
        TextField(controls, nameField, kTake, name, kMaxNameLength);
        name = CellSafeName(name);
        confirmed_ = true;
        grown_ = false;
        controls.End(1);
    } else if (id == kIdCancel) {
        WithdrawNewEntry();
        controls.End(0);
    }
}

void NameDialog::WithdrawNewEntry() {
    if (grown_ && !confirmed_)
        --Count();
    grown_ = false;
}

CountingAction NameDialog::Action() const {
    using Kind = CountingAction::Kind;
    CountingAction action;
    const bool sample = subject_ == Subject::Sample;
    action.kind = isNew_ ? (sample ? Kind::NewSample : Kind::NewSpecies)
                         : (sample ? Kind::RenameSample : Kind::RenameSpecies);
    (sample ? action.sample : action.species) = Current();
    action.name = Name(Current());
    return action;
}

ScriptBinding NameDialog::Script() const {
    ScriptBinding binding;
    binding.kind = ScriptKind::Field;
    binding.fieldId = subject_ == Subject::Sample ? kIdSampleName : kIdSpeciesName;
    return binding;
}

// ---------------------------------------------------------------------------------------
// The recovery question

void RecoveryDialog::OnInit(DialogControls& controls) {
    controls.SetText(kIdRecoveryText, question_);
    controls.FocusDialog();
}

void RecoveryDialog::OnCommand(DialogControls& controls, int id, Notification) {
    if (id == kIdOk)
        controls.End(kRecover);
    else if (id == kIdStartAnew)
        controls.End(kStartAnew);
    else if (id == kIdCancel)
        controls.End(kCancelled);
}

ScriptBinding RecoveryDialog::Script() const {
    ScriptBinding binding;
    binding.kind = ScriptKind::Choice;
    binding.choices = {{"recover", kIdOk}, {"new", kIdStartAnew}};
    return binding;
}

// ---------------------------------------------------------------------------------------
// The counting dialog

struct CountingDialog::Axis {
    NameDialog::Subject subject;
    int numberField;
    int nameLabel;
    int* count;
    int* current;
    int* previous;
    int limit;
    int overflowCode;
    std::vector<std::string>* names;
};

CountingDialog::Axis CountingDialog::SampleAxis() {
    return {NameDialog::Subject::Sample, kIdSampleNumber,       kIdSampleName,
            &state_.sampleCount,         &state_.currentSample, &state_.previousSample,
            wb_.tables.sampleCapacity,   kMsgCoreOverflow,      &wb_.tables.reference.names};
}

CountingDialog::Axis CountingDialog::SpeciesAxis() {
    return {
        NameDialog::Subject::Species, kIdSpeciesNumber,        kIdSpeciesName, &state_.speciesCount,
        &state_.currentSpecies,       &state_.previousSpecies, kMaxSpecies,    kMsgSpeciesOverflow,
        &wb_.tables.species.names};
}

void CountingDialog::SetText(DialogControls& controls, int id, const std::string& text) {
    settingText_ = true;
    controls.SetText(id, text);
    settingText_ = false;
}

void CountingDialog::OnInit(DialogControls& controls) {
    // An empty matrix has no sample 1 or species 1: the range check below then leaves
    // sample or species 0 ("error") instead of counting into an entry no file will hold.
    // The opening neither beeps nor refreshes the result lines more than once.
    SetText(controls, kIdSampleNumber, "1");
    TakeNumberField(controls, SampleAxis(), true);
    SetText(controls, kIdSpeciesNumber, "1");
    TakeNumberField(controls, SpeciesAxis(), true);
    state_.increment = 1.0f;
    settingText_ = true;
    RealField(controls, kIdIncrement, kShow, "%G", state_.increment, wb_.tables.decimalCommaFlag,
              1);
    settingText_ = false;
    RefreshResultLines(controls);
    controls.FocusDialog();
}

void CountingDialog::OnCommand(DialogControls& controls, int id, Notification) {
    if (settingText_)
        return;
    switch (id) {
    case kIdSampleNumber:
        TakeNumberField(controls, SampleAxis(), false);
        break;
    case kIdSpeciesNumber:
        TakeNumberField(controls, SpeciesAxis(), false);
        break;
    case kIdIncrement:
        TakeIncrementField(controls);
        break;
    case kIdOk:
        Count(controls);
        break;
    case kIdCancel:
        controls.End(0);
        break;
    case kIdEditSample:
        EditName(controls, SampleAxis());
        break;
    case kIdNewSample:
        NewEntry(controls, SampleAxis());
        break;
    case kIdEditSpecies:
        EditName(controls, SpeciesAxis());
        break;
    case kIdNewSpecies:
        NewEntry(controls, SpeciesAxis());
        break;
    case kIdSave:
        SaveInterimFile(wb_, state_);
        controls.FocusDialog();
        break;
    default:
        break;
    }
}

void CountingDialog::TakeNumberField(DialogControls& controls, const Axis& axis, bool opening) {
    if (FieldHasValue(controls, axis.numberField) == 0) {
        settingText_ = true;
        IntegerField(controls, axis.numberField, kShow, "%d", *axis.current, 0);
        settingText_ = false;
        return;
    }
    int value = IntegerField(controls, axis.numberField, kTake, "%d", *axis.current, 1);
    if (value < 0 || value > *axis.count ||
        IsOversizedWholeNumber(controls.Text(axis.numberField))) {
        value = 0;
        SetText(controls, axis.numberField, "");
        if (!opening)
            controls.Beep();
    }
    *axis.current = value;
    SetText(controls, axis.nameLabel,
            value >= 1 ? (*axis.names)[static_cast<size_t>(value)] : std::string("error"));
    if (!opening)
        RefreshResultLines(controls);
}

void CountingDialog::TakeIncrementField(DialogControls& controls) {
    if (FieldHasValue(controls, kIdIncrement) == 0) {
        settingText_ = true;
        RealField(controls, kIdIncrement, kShow, "%G", state_.increment,
                  wb_.tables.decimalCommaFlag, 0);
        settingText_ = false;
        return;
    }
    // A comma typed here is the decimal separator of the increment only: the files keep the
    // separator their values were read with.
    int typedComma = wb_.tables.decimalCommaFlag;
    const float value =
        RealField(controls, kIdIncrement, kTake, "%G", state_.increment, typedComma, 1);
    // Too large to be held ("1e39") or no number at all ("inf"): keep the old increment.
    if (std::isfinite(value))
        state_.increment = value;
}

void CountingDialog::Count(DialogControls& controls) {
    CountingAction action;
    action.sample = state_.currentSample;
    action.species = state_.currentSpecies;
    action.increment = state_.increment;
    if (!ApplyAction(wb_.tables, state_, action)) {
        controls.Beep();
        return;
    }
    Record(action);
    RefreshResultLines(controls);
}

void CountingDialog::EditName(DialogControls& controls, const Axis& axis) {
    NameDialog dialog(wb_, state_, axis.subject, false);
    wb_.platform.RunDialog(dialog);
    if (dialog.Confirmed())
        Record(dialog.Action());
    SetText(controls, axis.nameLabel, (*axis.names)[static_cast<size_t>(*axis.current)]);
    controls.FocusDialog();
}

void CountingDialog::NewEntry(DialogControls& controls, const Axis& axis) {
    if (*axis.count >= axis.limit) {
        ShowOverflow(wb_.platform, axis.overflowCode, axis.limit);
        return;
    }
    *axis.previous = *axis.current;
    NameDialog dialog(wb_, state_, axis.subject, true);
    wb_.platform.RunDialog(dialog);
    dialog.WithdrawNewEntry();
    if (dialog.Confirmed())
        Record(dialog.Action());
    *axis.current = dialog.Confirmed() ? *axis.count : *axis.previous;
    settingText_ = true;
    IntegerField(controls, axis.numberField, kShow, "%d", *axis.current, 1);
    settingText_ = false;
    SetText(controls, axis.nameLabel,
            *axis.current >= 1 ? (*axis.names)[static_cast<size_t>(*axis.current)]
                               : std::string("error"));
    RefreshResultLines(controls);
    controls.FocusDialog();
}

void CountingDialog::Record(const CountingAction& action) {
    if (journal_ == nullptr || journal_->Failed())
        return;
    if (!journal_->Record(action))
        ShowJournalNotWritten(wb_.platform, journal_->Path(), journal_->Reason());
}

void CountingDialog::RefreshResultLines(DialogControls& controls) {
    const Tables& t = wb_.tables;
    const int i = state_.currentSample;
    const int j = state_.currentSpecies;
    const std::string& sample = t.reference.names[static_cast<size_t>(i)];
    const int flag = t.decimalCommaFlag;
    SetText(controls, kIdCountLine,
            "Counted individuals of " + t.species.names[static_cast<size_t>(j)] + " in sample " +
                sample + ": " + NumberToLabelText(t.reference.Value(i, j), flag));
    SetText(controls, kIdTotalLine,
            "Total number of individuals counted in sample " + sample + ": " +
                NumberToLabelText(t.reference.totals[static_cast<size_t>(i)], flag));
    SetText(controls, kIdDiversityLine,
            "Diversity index: " +
                NumberToLabelText(DiversityIndex(i, state_.speciesCount, t.reference), flag) + " ");
}

ScriptBinding CountingDialog::Script() const {
    using Op = ScriptAction::Op;
    ScriptBinding binding;
    binding.kind = ScriptKind::Actions;
    binding.actions = {
        {"sample", Op::SetField, kIdSampleNumber},
        {"species", Op::SetField, kIdSpeciesNumber},
        {"increment", Op::SetField, kIdIncrement},
        {"count", Op::Click, kIdOk},
        {"save", Op::Click, kIdSave},
        {"new-sample", Op::ClickNested, kIdNewSample},
        {"edit-sample", Op::ClickNested, kIdEditSample},
        {"new-species", Op::ClickNested, kIdNewSpecies},
        {"edit-species", Op::ClickNested, kIdEditSpecies},
        {"stop", Op::Click, kIdCancel},
    };
    binding.stopId = kIdCancel;
    binding.echoedLabels = {kIdSampleName, kIdSpeciesName, kIdTotalLine, kIdCountLine,
                            kIdDiversityLine};
    return binding;
}

} // namespace corelith
