#include "counting/counting.h"

#include "shell/field_helpers.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/matrix_writer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace corelith {

namespace {

// Counts above this many species or samples cannot be held by the tables.
int Clamp(int value, int limit) {
    return std::clamp(value, 0, limit);
}

// Decimal separator of a written number, the text of `line` from `start` on: flag 1
// writes ",", anything else ".".
void ConvertDecimalSeparator(std::string& line, size_t start, int decimalCommaFlag) {
    const auto first = line.begin() + static_cast<std::ptrdiff_t>(start);
    if (decimalCommaFlag == 1)
        std::replace(first, line.end(), '.', ',');
    else
        std::replace(first, line.end(), ',', '.');
}

// Tabs and line breaks in a typed name would shift the columns of every written matrix.
void MakeCellSafe(std::string& name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
}

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

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(NativePath(a), NativePath(b), error);
}

// A private copy of what is left to read in `file`, so that the original can be
// overwritten before it is read. nullptr when no copy could be made.
std::FILE* CopyForReading(std::FILE* file) {
    std::FILE* copy = std::tmpfile();
    if (copy == nullptr)
        return nullptr;
    char block[16384];
    size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) {
        if (std::fwrite(block, 1, n, copy) != n) {
            std::fclose(copy);
            return nullptr;
        }
    }
    if (std::ferror(file) || std::fflush(copy) != 0) {
        std::fclose(copy);
        return nullptr;
    }
    std::rewind(copy);
    return copy;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Numbers and the diversity index

std::string NumberToLabelText(double value, int decimalCommaFlag) {
    std::string text = FormatC("%G", value);
    if (text.size() > 31)
        text.resize(31);
    if (decimalCommaFlag == 0)
        std::replace(text.begin(), text.end(), ',', '.');
    else if (decimalCommaFlag == 1)
        std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

double DiversityIndex(int sample, int speciesCount, const SampleTable& samples) {
    const int n = Clamp(speciesCount, kMaxSpecies);
    long double sum = 0;
    for (int j = 1; j <= n; ++j)
        sum += samples.Value(sample, j);
    if (sum <= 0)
        return -1.0;
    long double h = 0;
    for (int j = 1; j <= n; ++j) {
        const long double p = samples.Value(sample, j) / sum;
        if (p > 0)
            h += p * std::log(p);
    }
    const double index = -static_cast<double>(h);
    return index == 0.0 ? 0.0 : index; // a single species gives 0, not "-0"
}

// ---------------------------------------------------------------------------------------
// Writers

int WriteMatrix(Workbench& wb, LineWriter& out, SpeciesLayout layout, int speciesCount,
                int sampleCount, const SpeciesList& species, const SampleTable& samples) {
    const Tables& t = wb.tables;
    CensusMatrix matrix;
    matrix.corner = t.cornerLabel;
    matrix.heading = samples.names[0];
    matrix.speciesCount = Clamp(speciesCount, kMaxSpecies);
    matrix.sampleCount = Clamp(sampleCount, std::min(t.sampleCapacity, samples.capacity));
    matrix.speciesName = [&](int j) -> std::string_view {
        return species.names[static_cast<size_t>(j)];
    };
    matrix.sampleName = [&](int i) -> std::string_view {
        return samples.names[static_cast<size_t>(i)];
    };
    matrix.appendCell = [&](std::string& line, int j, int i) {
        // Counts that are not positive stay empty, and so do values that are not numbers
        // at all, which no reader could take back.
        const float count = samples.Value(i, j);
        if (!(count > 0) || !std::isfinite(count))
            return;
        const size_t start = line.size();
        line += FormatC("%G", static_cast<double>(count));
        ConvertDecimalSeparator(line, start, t.decimalCommaFlag);
    };
    matrix.beforeRow = [&] { ShowWaitCursor(wb.platform); };
    ShowWaitCursor(wb.platform);
    const int written = WriteCensusMatrix(out, layout, matrix);
    ShowArrowCursor(wb.platform);
    return written;
}

int WriteDiversityRow(Workbench& wb, LineWriter& out, int speciesCount, int sampleCount,
                      const SampleTable& samples) {
    sampleCount = Clamp(sampleCount, std::min(wb.tables.sampleCapacity, samples.capacity));
    std::string row = "\n\tDiversity index";
    for (int i = 1; i <= sampleCount; ++i) {
        row += '\t';
        const size_t start = row.size();
        row += FormatC("%f", DiversityIndex(i, speciesCount, samples));
        ConvertDecimalSeparator(row, start, wb.tables.decimalCommaFlag);
    }
    row += '\n';
    out.Put(row);
    return out.Status();
}

int SaveInterimFile(Workbench& wb, const CountingState& state) {
    int n = 0;
    std::string path;
    auto isOpen = [&](const std::string& open) { return SameFile(path, open); };
    // The output file opened at the start of the run could be named "Temp1.txt" too;
    // truncating it now would leave the end of this copy behind the final matrix.
    do {
        n = ++wb.interimFileCounter;
        path = JoinPath(wb.workingFolder, "Temp" + FormatC("%d", n) + ".txt");
    } while (std::any_of(state.openPaths.begin(), state.openPaths.end(), isOpen));
    LineWriter out(path);
    if (!out.IsOpen())
        return n;
    WriteMatrix(wb, out, SpeciesLayout::InColumn, state.speciesCount, state.sampleCount,
                wb.tables.species, wb.tables.reference);
    out.Close();
    return n;
}

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
        Current() = ++Count();
        grown_ = true;
        // The entry may still hold what an earlier command read beyond today's table.
        SampleTable& table = wb_.tables.reference;
        const int entry = Current();
        if (sample) {
            Name(entry).clear();
            for (int j = 0; j <= kMaxSpecies; ++j)
                table.Value(entry, j) = 0;
            table.totals[static_cast<size_t>(entry)] = 0;
        } else {
            Name(entry) = kNewSpeciesName;
            for (int i = 0; i <= table.capacity; ++i)
                table.Value(i, entry) = 0;
        }
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
        MakeCellSafe(name);
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

ScriptBinding NameDialog::Script() const {
    ScriptBinding binding;
    binding.kind = ScriptKind::Field;
    binding.fieldId = subject_ == Subject::Sample ? kIdSampleName : kIdSpeciesName;
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
    const float value = RealField(controls, kIdIncrement, kTake, "%G", state_.increment,
                                  wb_.tables.decimalCommaFlag, 1);
    // Too large to be held ("1e39") or no number at all ("inf"): keep the old increment.
    if (std::isfinite(value))
        state_.increment = value;
}

void CountingDialog::Count(DialogControls& controls) {
    const int i = state_.currentSample;
    const int j = state_.currentSpecies;
    if (i < 1 || i > state_.sampleCount || j < 1 || j > state_.speciesCount ||
        state_.increment == 0.0f) {
        controls.Beep();
        return;
    }
    SampleTable& table = wb_.tables.reference;
    float& total = table.totals[static_cast<size_t>(i)];
    const float count = table.Value(i, j) + state_.increment;
    const float newTotal = total + state_.increment;
    // A count beyond the range of the table's numbers could not be written back.
    if (!std::isfinite(count) || !std::isfinite(newTotal)) {
        controls.Beep();
        return;
    }
    table.Value(i, j) = count;
    total = newTotal;
    RefreshResultLines(controls);
}

void CountingDialog::EditName(DialogControls& controls, const Axis& axis) {
    NameDialog dialog(wb_, state_, axis.subject, false);
    wb_.platform.RunDialog(dialog);
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

// ---------------------------------------------------------------------------------------
// The counting run and the command

int CountingRun(Workbench& wb, SpeciesLayout layout, std::FILE* input, LineWriter& output,
                LineWriter& diversity, const std::vector<std::string>& openPaths) {
    Tables& t = wb.tables;
    CountingState state;
    state.openPaths = openPaths;
    // A failed read has shown its own message; counting goes on with what was read.
    ReadCoreTable(wb, input, layout, Plain, state.speciesCount, state.sampleCount, t.species,
                  t.reference);
    state.speciesCount = Clamp(state.speciesCount, kMaxSpecies);
    state.sampleCount = Clamp(state.sampleCount, std::min(t.sampleCapacity, t.reference.capacity));

    std::fill(t.reference.totals.begin(), t.reference.totals.end(), 0.0f);
    for (int i = 1; i <= state.sampleCount; ++i) {
        float& total = t.reference.totals[static_cast<size_t>(i)];
        for (int j = 1; j <= state.speciesCount; ++j)
            total += t.reference.Value(i, j);
    }

    CountingDialog dialog(wb, state);
    wb.platform.RunDialog(dialog);

    int result = 0;
    if (WriteMatrix(wb, output, layout, state.speciesCount, state.sampleCount, t.species,
                    t.reference) != 0)
        result = -2;
    if (WriteMatrix(wb, diversity, layout, state.speciesCount, state.sampleCount, t.species,
                    t.reference) != 0 ||
        WriteDiversityRow(wb, diversity, state.speciesCount, state.sampleCount, t.reference) != 0)
        result = result != 0 ? result : -3;
    SaveSettings(wb);
    return result;
}

int CountSpecimens(Workbench& wb) {
    CurrentFile& current = wb.current;
    SetFileFilter(wb, wb.settings.lastFilter);
    if (!SelectFileToOpen(wb, current.fullPath, current.folder, current.name, "Open"))
        return 0;
    const std::string inputPath = current.fullPath;
    std::FILE* input = OpenForReading(inputPath, "rb");
    if (input == nullptr)
        return -1;
    UpdateLastFilter(wb, current.name);

    std::string outputPath = current.folder + "New" + current.name;
    SetFileFilter(wb, wb.settings.lastFilter);
    if (!SelectFileToSave(wb, outputPath, current.folder, current.name, "Save as")) {
        CloseFile(input);
        return -4;
    }
    current.fullPath = outputPath;
    const std::string diversityPath = current.folder + "DI" + current.name;

    // Saving over the matrix being counted must not destroy it before it is read.
    if (SameFile(inputPath, outputPath) || SameFile(inputPath, diversityPath)) {
        std::FILE* copy = CopyForReading(input);
        CloseFile(input);
        if (copy == nullptr)
            return -2;
        input = copy;
    }

    LineWriter output(outputPath);
    if (!output.IsOpen()) {
        CloseFile(input);
        return -2;
    }
    LineWriter diversity(diversityPath);
    if (!diversity.IsOpen()) {
        CloseFile(input);
        output.Close();
        return -3;
    }

    // Confirmed or not, the run uses what the setting holds afterwards.
    FormatOfSpecies(wb, wb.settings.slots[1].speciesFormat);
    int result = CountingRun(wb, LayoutOfSpeciesFormat(wb.settings.slots[1].speciesFormat), input,
                             output, diversity, {outputPath, diversityPath});

    CloseFile(input);
    if (output.Close() != 0 && result == 0)
        result = -2;
    if (diversity.Close() != 0 && result == 0)
        result = -3;
    return result;
}

} // namespace corelith
