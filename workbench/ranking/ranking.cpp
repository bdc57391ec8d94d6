#include "ranking/ranking.h"

#include "converters/converters.h"
#include "shell/field_helpers.h"
#include "shell/messages.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/matrix_writer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace corelith {

namespace {

constexpr int kRankingSystemFilter = 9; // "RS files (*.RS)"
constexpr int kRankDatabaseFilter = 10; // "R files (*.R)"
constexpr char kFrequencyMatrixFile[] = "HMatrix.tmp";
// The stepwise writer always puts species in column, so the file is read back that way
// whatever the Format of species says.
constexpr SpeciesLayout kRankingSystemLayout = SpeciesLayout::InColumn;

std::string FormatG(double value) {
    return FormatC("%G", value);
}

// The stepwise and the logarithmic command: a census table in, one ranking file out,
// named after the table.
template <typename Writer>
int RankCensusTable(Workbench& wb, const char* extension, const std::string& caption,
                    Writer write) {
    const SpeciesLayout layout = SlotOneLayout(wb);
    int speciesCount = 0;
    int sampleCount = 0;
    const int selected = SelectDataTable(wb, layout, speciesCount, sampleCount);
    if (selected == 0)
        return kRankingDone;
    if (selected < 0)
        return kRankingNoInput;
    LineWriter out;
    const int created = SelectOutputFile(wb, wb.current.name + extension, caption, out);
    if (created == 0)
        return kRankingDone;
    if (created < 0)
        return kRankingNoOutput;
    const int written = write(out, layout, speciesCount, sampleCount);
    const int closed = out.Close();
    return written == 0 && closed == 0 ? kRankingDone : kRankingNoOutput;
}

std::string LogarithmicCell(float value, float total, float certainFactor) {
    const float ratio = SampleRatio(value, total);
    if (!(ratio > 0.0f))
        return {}; // no positive total (the marker is negative), or no specimen
    const double scaled = static_cast<double>(ratio) * 100.0 * static_cast<double>(certainFactor);
    // A certain factor that is not positive would give no logarithm at all.
    if (!(scaled > 0.0) || !std::isfinite(scaled))
        return {};
    return FormatG(std::log10(scaled));
}

// Reads `path` with the core reader into `samples` (and the species list); false when it
// cannot be opened or the reader refuses it.
bool ReadCoreFile(Workbench& wb, const std::string& path, SpeciesLayout layout, CoreReadMode mode,
                  int& speciesCount, int& sampleCount, SampleTable& samples) {
    std::FILE* file = OpenForReading(path, "rb");
    if (file == nullptr)
        return false;
    const int read = ReadCoreTable(wb, file, layout, mode, speciesCount, sampleCount,
                                   wb.tables.species, samples);
    CloseFile(file);
    return read == 0;
}

} // namespace

int RankClass(float percentage, const std::vector<float>& limits) {
    if (percentage == kUndefinedPercentage)
        return 0;
    for (size_t k = 0; k < limits.size(); ++k) {
        if (percentage <= limits[k])
            return static_cast<int>(k);
    }
    return static_cast<int>(limits.size());
}

int WriteStepwiseRanking(LineWriter& out, int speciesCount, int sampleCount,
                         const SpeciesList& species, const SampleTable& samples) {
    out.Put("Flag\tTaxa / Rankstufe\tRank 0\t Rank 1\tRank 2\tRank 3\n");
    const std::vector<float> totals = TotalsFromSpecies(samples, speciesCount, sampleCount);
    for (int i = 1; i < speciesCount; ++i) {
        const float highest = MaximumPercentage(samples, i, totals);
        const float middle = static_cast<float>((highest - 2.0) / 2.0 + 2.0);
        std::string line = '\t' + species.names[static_cast<size_t>(i)] + '\t' + FormatG(0.3);
        if (middle >= 2.0f)
            line += '\t' + FormatG(2) + '\t' + FormatG(middle);
        out.Put(line + '\t' + FormatG(highest) + '\n');
    }
    return out.Status();
}

int WriteLogarithmicRanking(LineWriter& out, SpeciesLayout layout, float certainFactor,
                            int speciesCount, int sampleCount, const SpeciesList& species,
                            const SampleTable& samples) {
    const std::vector<float> totals = TotalsFromSpecies(samples, speciesCount, sampleCount);
    CensusMatrix matrix;
    matrix.corner = "Flag";
    matrix.heading = samples.names[0];
    matrix.speciesCount = speciesCount > 0 ? speciesCount - 1 : 0; // the total is left out
    matrix.sampleCount = sampleCount;
    matrix.speciesName = [&](int i) -> std::string_view {
        return species.names[static_cast<size_t>(i)];
    };
    matrix.sampleName = [&](int j) -> std::string_view {
        return samples.names[static_cast<size_t>(j)];
    };
    matrix.appendCell = [&](std::string& line, int i, int j) {
        line += LogarithmicCell(samples.Value(j, i), totals[static_cast<size_t>(j)], certainFactor);
    };
    return WriteCensusMatrix(out, layout, matrix);
}

int WriteRankDatabase(LineWriter& out, int speciesCount, int sampleCount, int limitCount,
                      const SpeciesList& species, const SampleTable& samples,
                      const SampleTable& limits) {
    // Species in column whatever the Format of species, as the ranking systems are.
    std::vector<float> speciesLimits(static_cast<size_t>(std::max(limitCount, 0)));
    CensusMatrix matrix;
    matrix.corner = "Flag";
    matrix.heading = "Taxa / Probe";
    matrix.speciesCount = speciesCount;
    matrix.sampleCount = sampleCount;
    matrix.speciesName = [&](int i) -> std::string_view {
        return species.names[static_cast<size_t>(i)];
    };
    matrix.sampleName = [&](int j) -> std::string_view {
        return samples.names[static_cast<size_t>(j)];
    };
    int limitsOf = 0; // the species whose limits speciesLimits holds
    matrix.appendCell = [&](std::string& line, int i, int j) {
        if (limitsOf != i) {
            for (int k = 1; k <= limitCount; ++k)
                speciesLimits[static_cast<size_t>(k - 1)] = limits.Value(k, i);
            limitsOf = i;
        }
        line += std::to_string(RankClass(samples.Value(j, i), speciesLimits));
    };
    return WriteCensusMatrix(out, SpeciesLayout::InColumn, matrix);
}

void CertainFactorDialog::OnInit(DialogControls& controls) {
    RealField(controls, kCertainFactorField, kShow, "%G", value_, decimalCommaFlag_, 1);
}

void CertainFactorDialog::OnCommand(DialogControls& controls, int id, Notification what) {
    if (id == kCertainFactorField) {
        if (FieldHasValue(controls, id) == 0) {
            RealField(controls, id, kShow, "%G", value_, decimalCommaFlag_, 0);
            return;
        }
        const float typed = RealField(controls, id, kTake, "%G", value_, decimalCommaFlag_, 1);
        // Only a positive factor scales a percentage into a logarithm; anything else
        // leaves the last value standing, as text that is not a number does.
        if (typed > 0.0f && std::isfinite(typed))
            value_ = typed;
        return;
    }
    if (what != Notification::Clicked)
        return;
    if (id == kIdOk) {
        // A factor that is not positive can only come from a damaged settings file; it
        // would turn every cell into the logarithm of 0, so the dialog waits for another.
        if (!(value_ > 0.0f) || !std::isfinite(value_)) {
            controls.Beep();
            controls.FocusControl(kCertainFactorField);
            return;
        }
        controls.End(1);
    } else if (id == kIdCancel)
        controls.End(0);
}

ScriptBinding CertainFactorDialog::Script() const {
    ScriptBinding binding;
    binding.kind = ScriptKind::Field;
    binding.fieldId = kCertainFactorField;
    return binding;
}

int EditCertainFactor(Workbench& wb) {
    CertainFactorDialog dialog(wb.settings.certainFactor, wb.tables.decimalCommaFlag);
    if (wb.platform.RunDialog(dialog) != 1)
        return 0;
    wb.settings.certainFactor = dialog.Value();
    SaveSettings(wb);
    return 1;
}

int CreateStepwiseRanking(Workbench& wb) {
    return RankCensusTable(wb, ".RS", "Save *.RS file",
                           [&](LineWriter& out, SpeciesLayout, int speciesCount, int sampleCount) {
                               return WriteStepwiseRanking(out, speciesCount, sampleCount,
                                                           wb.tables.species, wb.tables.reference);
                           });
}

int CreateLogarithmicRanking(Workbench& wb) {
    if (EditCertainFactor(wb) == 0)
        return kRankingDone;
    return RankCensusTable(
        wb, ".RLG", "Save *.RLG file",
        [&](LineWriter& out, SpeciesLayout layout, int speciesCount, int sampleCount) {
            return WriteLogarithmicRanking(out, layout, wb.settings.certainFactor, speciesCount,
                                           sampleCount, wb.tables.species, wb.tables.reference);
        });
}

int CreateRankDatabase(Workbench& wb) {
    Tables& t = wb.tables;
    const SpeciesLayout layout = SlotOneLayout(wb);
    int speciesCount = 0;
    int sampleCount = 0;
    const int selected = SelectDataTable(wb, layout, speciesCount, sampleCount);
    if (selected == 0)
        return kRankingDone;
    if (selected < 0)
        return kRankingNoInput;
    const std::string dataPath = wb.current.fullPath;

    // The percentages are classified as the frequency matrix file shows them ("%G"), so
    // they go through that file and back.
    const std::string matrixPath = JoinPath(FolderOf(dataPath), kFrequencyMatrixFile);
    LineWriter matrix(matrixPath);
    if (!matrix.IsOpen())
        return kRankingNoOutput;
    const int matrixWritten =
        WriteFrequencyMatrixFromRaw(wb, matrix, layout, speciesCount, sampleCount);
    if (matrix.Close() != 0 || matrixWritten != 0)
        return kRankingNoOutput;
    int percentSpecies = 0;
    int percentSamples = 0;
    if (!ReadCoreFile(wb, matrixPath, layout, SkipExtraColumn, percentSpecies, percentSamples,
                      t.reference))
        return kRankingNoInput;

    SetFileFilter(wb, kRankingSystemFilter);
    CurrentFile& current = wb.current;
    if (!SelectFileToOpen(wb, current.fullPath, current.folder, current.name, "Select *.RS file"))
        return kRankingDone;
    int systemSpecies = 0;
    int limitCount = 0;
    // A row of a stepwise file below 2% stops after its second limit. The reader gives its
    // missing cells 0, never what the table held before, and with 0 as its third and
    // fourth limit such a row classes every percentage as with M there: above M is the
    // top class.
    if (!ReadCoreFile(wb, current.fullPath, kRankingSystemLayout, Plain, systemSpecies, limitCount,
                      t.core))
        return kRankingNoInput;
    if (systemSpecies != percentSpecies) {
        ShowFileError(wb.platform, kMsgSpeciesCountDiffers, current.fullPath);
        return kRankingMismatch;
    }

    SetFileFilter(wb, kRankDatabaseFilter);
    LineWriter out;
    const int created = SelectOutputFile(wb, dataPath + ".R", "Select *.R file", out);
    if (created == 0)
        return kRankingDone;
    if (created < 0)
        return kRankingNoOutput;
    const int written = WriteRankDatabase(out, systemSpecies, percentSamples, limitCount, t.species,
                                          t.reference, t.core);
    const int closed = out.Close();
    return written == 0 && closed == 0 ? kRankingDone : kRankingNoOutput;
}

} // namespace corelith
