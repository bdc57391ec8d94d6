#include "counting/counting.h"

#include "counting/counting_messages.h"
#include "counting/journal.h"
#include "counting/table_check.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/command_files.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/matrix_writer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace corelith {

namespace {

namespace fs = std::filesystem;

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

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(NativePath(path), error);
}

// Anything by that name, a dangling link included.
bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(NativePath(path), error));
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
    // An interim copy replaces no file: not the copy of an earlier session, not the table
    // being counted, not the files the run writes at Stop.
    auto taken = [&](const std::string& path) {
        return Exists(path) ||
               std::any_of(state.reservedPaths.begin(), state.reservedPaths.end(),
                           [&](const std::string& reserved) { return IsSameFile(path, reserved); });
    };
    int n = 0;
    std::string path;
    do {
        n = ++wb.interimFileCounter;
        path = JoinPath(wb.workingFolder, "Temp" + FormatC("%d", n) + ".txt");
    } while (taken(path));
    LineWriter out(path);
    WriteMatrix(wb, out, SpeciesLayout::InColumn, state.speciesCount, state.sampleCount,
                wb.tables.species, wb.tables.reference);
    if (out.Close() != 0)
        ShowFileNotWritten(wb.platform, path, out.Reason());
    return n;
}

// ---------------------------------------------------------------------------------------
// The command

namespace {

// The files of one counting command.
struct CountingFiles {
    std::string input;
    std::string output;
    std::string diversity; // "DI" + the output's name, beside it
    std::string journal;   // the output's name + ".journal", beside it
};

// The open and the save dialog. Returns 1 with `input` open for reading, or the command's
// result: 0 (open dialog cancelled), -1 (input not opened), -4 ("Save as" cancelled).
int ChooseFiles(Workbench& wb, CountingFiles& files, std::FILE*& input) {
    CurrentFile& current = wb.current;
    SetFileFilter(wb, wb.settings.lastFilter);
    if (!SelectFileToOpen(wb, current.fullPath, current.folder, current.name, "Open"))
        return 0;
    files.input = current.fullPath;
    input = OpenInputFile(wb, files.input);
    if (input == nullptr)
        return -1;
    UpdateLastFilter(wb, current.name);

    files.output = current.folder + "New" + current.name;
    SetFileFilter(wb, wb.settings.lastFilter);
    if (!SelectFileToSave(wb, files.output, current.folder, current.name, "Save as")) {
        CloseFile(input);
        return -4;
    }
    current.fullPath = files.output;
    files.diversity = current.folder + "DI" + current.name;
    files.journal = JournalPathFor(files.output);
    return 1;
}

// A folder where a file is to be written stops the command before anything is counted, and
// so does a journal that would be the table being counted.
int CheckOutputPaths(Workbench& wb, const CountingFiles& files) {
    const std::string isFolder = std::make_error_code(std::errc::is_a_directory).message();
    if (IsFolder(files.output)) {
        ShowFileNotWritten(wb.platform, files.output, isFolder);
        return -2;
    }
    if (IsFolder(files.diversity)) {
        ShowFileNotWritten(wb.platform, files.diversity, isFolder);
        return -3;
    }
    if (IsSameFile(files.journal, files.input)) {
        ShowFileNotWritten(wb.platform, files.journal, "It is the table being counted.");
        return -2;
    }
    return 0;
}

// True when the file holds nothing but blanks and line ends (or nothing at all), as the
// table of a session that counted nothing is written. Leaves the file at its start.
bool HoldsNoTable(std::FILE* input) {
    int c = 0;
    while ((c = std::fgetc(input)) == ' ' || c == '\t' || c == '\r' || c == '\n') {
    }
    const bool blank = c == EOF && std::ferror(input) == 0;
    std::rewind(input);
    return blank;
}

int ReadCountedTable(Workbench& wb, std::FILE* input, const std::string& path, SpeciesLayout layout,
                     CountingState& state) {
    Tables& t = wb.tables;
    if (HoldsNoTable(input)) {
        // An empty file is where a new count starts: samples and species are added while
        // counting.
        state.speciesCount = 0;
        state.sampleCount = 0;
        t.cornerLabel.clear();
        t.reference.names[0].clear();
        t.decimalCommaFlag = 0;
    } else if (ReadCoreTable(wb, input, layout, Plain, state.speciesCount, state.sampleCount,
                             t.species, t.reference, path) != 0) {
        // The reader has shown its message; counting the part it read would write that part
        // back as if it were the whole table.
        return -1;
    }
    state.speciesCount = Clamp(state.speciesCount, kMaxSpecies);
    state.sampleCount = Clamp(state.sampleCount, std::min(t.sampleCapacity, t.reference.capacity));
    ComputeTotals(t, state);
    return 0;
}

// Writing the counted table over its own input is refused when the input holds what the
// tables did not take in: it would be gone without a word.
int RefuseLossyOverwrite(Workbench& wb, const CountingFiles& files, std::FILE* input,
                         SpeciesLayout layout) {
    const bool overOutput = IsSameFile(files.input, files.output);
    if (!overOutput && !IsSameFile(files.input, files.diversity))
        return 0;
    std::rewind(input);
    const TableLoss loss = FindTableLoss(input, layout);
    if (loss.kind == TableLoss::Kind::None)
        return 0;
    ShowInputWouldLoseData(wb.platform, files.input, loss);
    return overOutput ? -2 : -3;
}

// A new session: the journal first (so an output folder that cannot be written is known
// before anything is counted), then the layout, the table and the table's record.
int StartNewSession(Workbench& wb, const CountingFiles& files, std::FILE* input,
                    CountingJournal& journal, CountingState& state, SpeciesLayout& layout) {
    if (!journal.Create(files.journal)) {
        ShowFileNotWritten(wb.platform, files.journal, journal.Reason());
        return -2;
    }
    // Confirmed or not, the run uses what the setting holds afterwards.
    FormatOfSpecies(wb, wb.settings.slots[1].speciesFormat);
    layout = LayoutOfSpeciesFormat(wb.settings.slots[1].speciesFormat);
    int result = ReadCountedTable(wb, input, files.input, layout, state);
    if (result == 0)
        result = RefuseLossyOverwrite(wb, files, input, layout);
    if (result == 0 && !journal.RecordStart(files.input, layout, wb.tables, state)) {
        ShowFileNotWritten(wb.platform, files.journal, journal.Reason());
        result = -2;
    }
    if (result != 0)
        journal.Remove();
    return result;
}

// A journal of an unfinished session into the same output is offered for recovery; it is
// in the tables already when the question is asked. Returns 0 with the session recovered,
// 1 when a new session is to start, or the command's result.
int OfferRecovery(Workbench& wb, const CountingFiles& files, CountingJournal& journal,
                  CountingState& state, SpeciesLayout& layout) {
    const RecoveredRun run = LoadJournal(files.journal, wb.tables, state);
    if (run.status == RecoveredRun::Status::None)
        return 1;
    if (run.status == RecoveredRun::Status::Damaged) {
        ShowJournalDamaged(wb.platform, files.journal, run.badLine);
        return -2;
    }
    RecoveryDialog question(RecoveryQuestion(files.output, run.input, run.changes, run.badLine));
    const int choice = wb.platform.RunDialog(question);
    if (choice == RecoveryDialog::kStartAnew)
        return 1;
    if (choice != RecoveryDialog::kRecover)
        return -4;
    if (!journal.Resume(files.journal, run.length)) {
        ShowFileNotWritten(wb.platform, files.journal, journal.Reason());
        return -2;
    }
    layout = run.layout;
    return 0;
}

int StartSession(Workbench& wb, const CountingFiles& files, std::FILE* input,
                 CountingJournal& journal, CountingState& state, SpeciesLayout& layout) {
    int result = CheckOutputPaths(wb, files);
    if (result == 0)
        result = OfferRecovery(wb, files, journal, state, layout);
    if (result == 1)
        result = StartNewSession(wb, files, input, journal, state, layout);
    return result;
}

// One file of the counted table, with the diversity row or without. A failure names the
// file and the system's reason, and where the counts are kept meanwhile.
int WriteCountedFile(Workbench& wb, const std::string& path, SpeciesLayout layout,
                     const CountingState& state, bool withDiversityRow,
                     const CountingJournal& journal) {
    const Tables& t = wb.tables;
    LineWriter out(path);
    WriteMatrix(wb, out, layout, state.speciesCount, state.sampleCount, t.species, t.reference);
    if (withDiversityRow)
        WriteDiversityRow(wb, out, state.speciesCount, state.sampleCount, t.reference);
    if (out.Close() == 0)
        return 0;
    ShowFileNotWritten(wb.platform, path, out.Reason(),
                       journal.Failed() ? std::string() : journal.Path());
    return -1;
}

// Both files are written, even when nothing was counted; the journal goes only once both
// hold the counts.
int WriteCountedFiles(Workbench& wb, const CountingFiles& files, SpeciesLayout layout,
                      const CountingState& state, CountingJournal& journal) {
    int result = 0;
    if (WriteCountedFile(wb, files.output, layout, state, false, journal) != 0)
        result = -2;
    if (WriteCountedFile(wb, files.diversity, layout, state, true, journal) != 0 && result == 0)
        result = -3;
    if (result == 0)
        journal.Remove();
    return result;
}

} // namespace

int CountSpecimens(Workbench& wb) {
    CountingFiles files;
    std::FILE* input = nullptr;
    const int chosen = ChooseFiles(wb, files, input);
    if (chosen <= 0)
        return chosen;
    CountingState state;
    state.reservedPaths = {files.input, files.output, files.diversity};
    CountingJournal journal;
    SpeciesLayout layout = SpeciesLayout::InColumn;
    const int started = StartSession(wb, files, input, journal, state, layout);
    // The input is read; closed, it can be replaced by the output at Stop on every system.
    CloseFile(input);
    if (started != 0)
        return started;

    CountingDialog dialog(wb, state, &journal);
    wb.platform.RunDialog(dialog);
    const int result = WriteCountedFiles(wb, files, layout, state, journal);
    SaveSettings(wb);
    return result;
}

} // namespace corelith
