#include "converters/converters.h"

#include "shell/messages.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/matrix_writer.h"
#include "workbench.h"

#include <cmath>
#include <string>

namespace corelith {

namespace {

constexpr int kMatrixFilter = 7;   // "HM files (*.HM)"
constexpr int kDatabaseFilter = 8; // "DB files (*.N)"
constexpr char kMaximumLabel[] = "frequency, max";

enum class Conversion { RawToMatrix, PercentToMatrix, MatrixToDatabase };

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

float Percentage(float ratio) {
    return 100.0f * ratio;
}

// Both frequency-matrix writers: species 1..writtenSpecies as percentages of `totals`, with
// each species' maximum as a first sample "frequency, max" before the real ones.
int WriteFrequencyMatrix(Workbench& wb, LineWriter& out, SpeciesLayout layout, int writtenSpecies,
                         int sampleCount, const std::vector<float>& totals) {
    const Tables& t = wb.tables;
    const SampleTable& samples = t.reference;
    ShowArrowCursor(wb.platform);
    std::vector<float> maxima(static_cast<size_t>(writtenSpecies) + 1);
    for (int i = 1; i <= writtenSpecies; ++i)
        maxima[static_cast<size_t>(i)] = MaximumPercentage(samples, i, totals);
    CensusMatrix matrix;
    matrix.corner = t.cornerLabel;
    matrix.heading = samples.names[0];
    matrix.speciesCount = writtenSpecies;
    matrix.sampleCount = sampleCount + 1;
    matrix.speciesName = [&](int i) -> std::string_view {
        return t.species.names[static_cast<size_t>(i)];
    };
    matrix.sampleName = [&](int k) -> std::string_view {
        return k == 1 ? std::string_view(kMaximumLabel) : samples.names[static_cast<size_t>(k - 1)];
    };
    matrix.appendCell = [&](std::string& line, int i, int k) {
        const int j = k - 1;
        const float value =
            j == 0 ? maxima[static_cast<size_t>(i)]
                   : Percentage(SampleRatio(samples.Value(j, i), totals[static_cast<size_t>(j)]));
        line += FormatC("%G", static_cast<double>(value));
    };
    matrix.beforeRow = [&] { ShowWaitCursor(wb.platform); };
    const int written = WriteCensusMatrix(out, layout, matrix);
    ShowArrowCursor(wb.platform);
    return written;
}

std::string DefaultOutputName(Conversion kind, const std::string& inputTitle, int lastFilter) {
    switch (kind) {
    case Conversion::RawToMatrix:
        return inputTitle + ".HM";
    case Conversion::PercentToMatrix:
        return DeriveOutputName(inputTitle, ".HM");
    case Conversion::MatrixToDatabase:
        break;
    }
    switch (lastFilter) {
    case 1:
        return inputTitle + ".txt";
    case 2:
        return inputTitle + ".csv";
    case kDatabaseFilter:
        return inputTitle + ".N";
    default:
        return inputTitle;
    }
}

int RunConversion(Workbench& wb, Conversion kind) {
    const bool toDatabase = kind == Conversion::MatrixToDatabase;
    SetFileFilter(wb, toDatabase ? kMatrixFilter : wb.settings.lastFilter);
    const SpeciesLayout layout = SlotOneLayout(wb);
    int speciesCount = 0;
    int sampleCount = 0;
    const int selected = SelectDataTable(wb, layout, speciesCount, sampleCount);
    if (selected == 0) {
        SaveSettings(wb);
        return kConvertDone;
    }
    const std::string inputTitle = wb.current.name;
    UpdateLastFilter(wb, inputTitle);
    // Substring tests on purpose: "x.new.txt" counts as a database name too.
    if (kind == Conversion::RawToMatrix &&
        (Contains(inputTitle, ".n") || Contains(inputTitle, ".N")))
        wb.settings.lastFilter = kDatabaseFilter;
    if (toDatabase && (Contains(inputTitle, ".hm") || Contains(inputTitle, ".HM")))
        wb.settings.lastFilter = kDatabaseFilter;
    if (selected == kSelectNotOpened)
        return kConvertNoInput;
    if (selected == kSelectNotRead) {
        SaveSettings(wb);
        return kConvertNoInput;
    }

    SetFileFilter(wb, toDatabase ? wb.settings.lastFilter : kMatrixFilter);
    LineWriter out;
    const int created = SelectOutputFile(
        wb, DefaultOutputName(kind, inputTitle, wb.settings.lastFilter), "Save file as", out);
    if (created == 0) {
        SaveSettings(wb);
        return kConvertDone;
    }
    if (created < 0)
        return kConvertNoOutput;
    int written = 0;
    switch (kind) {
    case Conversion::RawToMatrix:
        written = WriteFrequencyMatrixFromRaw(wb, out, layout, speciesCount, sampleCount);
        break;
    case Conversion::PercentToMatrix:
        written = WriteFrequencyMatrixFromPercent(wb, out, layout, speciesCount, sampleCount);
        break;
    case Conversion::MatrixToDatabase:
        written = WriteDatabase(wb, out, layout, speciesCount, sampleCount);
        break;
    }
    const int closed = out.Close();
    SaveSettings(wb);
    return written == 0 && closed == 0 ? kConvertDone : kConvertNoOutput;
}

} // namespace

int SelectDataTable(Workbench& wb, SpeciesLayout layout, int& speciesCount, int& sampleCount) {
    CurrentFile& current = wb.current;
    if (!SelectFileToOpen(wb, current.fullPath, current.folder, current.name, "Select data file"))
        return 0;
    std::FILE* in = OpenForReading(current.fullPath, "rb");
    if (in == nullptr)
        return kSelectNotOpened;
    Tables& t = wb.tables;
    const int read =
        ReadReferenceTable(wb, in, layout, speciesCount, sampleCount, t.species, t.reference);
    CloseFile(in);
    return read == 0 ? 1 : kSelectNotRead;
}

int SelectOutputFile(Workbench& wb, std::string proposal, const std::string& caption,
                     LineWriter& out) {
    std::string folder;
    std::string title;
    if (!SelectFileToSave(wb, proposal, folder, title, caption))
        return 0;
    wb.current = CurrentFile{proposal, folder, title};
    return out.Open(proposal) ? 1 : -1;
}

SpeciesLayout SlotOneLayout(const Workbench& wb) {
    return LayoutOfSpeciesFormat(wb.settings.slots[1].speciesFormat);
}

float SampleRatio(float value, float total) {
    if (!(total > 0.0f) || !std::isfinite(total))
        return kUndefinedRatio;
    const float ratio = value / total;
    if (!std::isfinite(Percentage(ratio)))
        return kUndefinedRatio;
    return ratio;
}

std::vector<float> TotalsFromSpecies(const SampleTable& samples, int totalSpecies,
                                     int sampleCount) {
    std::vector<float> totals(static_cast<size_t>(sampleCount) + 1, 0.0f);
    if (totalSpecies < 1)
        return totals;
    for (int j = 1; j <= sampleCount; ++j)
        totals[static_cast<size_t>(j)] = samples.Value(j, totalSpecies);
    return totals;
}

float MaximumPercentage(const SampleTable& samples, int species, const std::vector<float>& totals) {
    float largest = -100.0f;
    for (size_t j = 1; j < totals.size(); ++j) {
        const float ratio = SampleRatio(samples.Value(static_cast<int>(j), species), totals[j]);
        if (ratio != kUndefinedRatio && ratio > largest)
            largest = ratio;
    }
    return Percentage(largest);
}

int WriteFrequencyMatrixFromRaw(Workbench& wb, LineWriter& out, SpeciesLayout layout,
                                int speciesCount, int sampleCount) {
    // The last species is each sample's total count and is not written itself.
    const int written = speciesCount > 0 ? speciesCount - 1 : 0;
    return WriteFrequencyMatrix(wb, out, layout, written, sampleCount,
                                TotalsFromSpecies(wb.tables.reference, speciesCount, sampleCount));
}

int WriteFrequencyMatrixFromPercent(Workbench& wb, LineWriter& out, SpeciesLayout layout,
                                    int speciesCount, int sampleCount) {
    const SampleTable& samples = wb.tables.reference;
    std::vector<float> totals(static_cast<size_t>(sampleCount) + 1, 0.0f);
    for (int j = 1; j <= sampleCount; ++j) {
        float sum = 0.0f; // single precision, in species order
        for (int i = 1; i <= speciesCount; ++i)
            sum += samples.Value(j, i);
        totals[static_cast<size_t>(j)] = sum;
    }
    // A sample that adds up to 0 gets the raw converter's marker (SampleRatio), so the
    // matrix never holds a division by zero.
    return WriteFrequencyMatrix(wb, out, layout, speciesCount, sampleCount, totals);
}

int WriteDatabase(Workbench& wb, LineWriter& out, SpeciesLayout layout, int speciesCount,
                  int sampleCount) {
    // Sample 1 is the "frequency, max" column or row of the matrix; it is dropped.
    const Tables& t = wb.tables;
    const SampleTable& samples = t.reference;
    ShowArrowCursor(wb.platform);
    CensusMatrix matrix;
    matrix.corner = t.cornerLabel;
    matrix.heading = samples.names[0];
    matrix.speciesCount = speciesCount;
    matrix.sampleCount = sampleCount > 1 ? sampleCount - 1 : 0;
    matrix.speciesName = [&](int i) -> std::string_view {
        return t.species.names[static_cast<size_t>(i)];
    };
    matrix.sampleName = [&](int k) -> std::string_view {
        return samples.names[static_cast<size_t>(k + 1)];
    };
    matrix.appendCell = [&](std::string& line, int i, int k) {
        line += FormatC("%5.0f", static_cast<double>(samples.Value(k + 1, i)) * 100.0);
    };
    matrix.beforeRow = [&] { ShowWaitCursor(wb.platform); };
    const int written = WriteCensusMatrix(out, layout, matrix);
    ShowArrowCursor(wb.platform);
    return written;
}

int ConvertRawToFrequencyMatrix(Workbench& wb) {
    return RunConversion(wb, Conversion::RawToMatrix);
}

int ConvertPercentToFrequencyMatrix(Workbench& wb) {
    return RunConversion(wb, Conversion::PercentToMatrix);
}

int ConvertFrequencyMatrixToDatabase(Workbench& wb) {
    return RunConversion(wb, Conversion::MatrixToDatabase);
}

} // namespace corelith
