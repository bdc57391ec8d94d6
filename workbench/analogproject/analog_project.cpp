#include "analogproject/analog_project.h"

#include "analogproject/engine_files.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/text_cut.h"
#include "workbench.h"

#include <cstdio>
#include <string>

namespace corelith {

namespace {

constexpr int kProjectFilterList = 11;

// What one run of the command carries from step to step.
struct ProjectRun {
    Workbench& wb;
    int projectNumber;
    ProjectSlot& slot;
    std::string referenceLocationsPath;
    std::string coreLocationsPath;
    int referenceSamples = 0;
    int referenceSpecies = 0;
    int coreSamples = 0;
};

// The open dialog over LastFilter, then the chosen table opened "rb" and LastFilter updated.
// Returns 0 with `file` open, 1 when the dialog was cancelled, -1 when the file cannot be
// opened.
int OpenTable(Workbench& wb, const char* caption, std::string& path, std::FILE*& file) {
    SetFileFilter(wb, wb.settings.lastFilter);
    path.clear();
    if (!SelectFileToOpen(wb, path, wb.current.folder, wb.current.name, caption))
        return 1;
    wb.current.fullPath = path;
    file = OpenForReading(path, "rb");
    if (file == nullptr)
        return -1;
    UpdateLastFilter(wb, wb.current.name);
    return 0;
}

// The engine file beside its table: "core.txt" gives "core.sam", "core.dat" "core.dat.sam".
std::string EngineFilePath(const std::string& tablePath, const char* extension) {
    return DeriveOutputName(tablePath, extension);
}

// Saves a formatted engine file and records it in the slot. Returns 0, `notCreated` when
// the file cannot be created, `failed` when it could not be formatted or written (the slot
// field then says so).
int SaveStepFile(ProjectRun& run, int formatted, const std::string& path, const std::string& text,
                 std::string& slotField, const char* failedText, int notCreated, int failed) {
    const int saved = formatted == 0 ? SaveEngineFile(run.wb, path, text) : -2;
    if (saved == -1)
        return notCreated;
    if (saved != 0) {
        slotField = failedText;
        return failed;
    }
    slotField = path;
    return 0;
}

// Fills the location table. Returns 0, -1 when the file cannot be opened, -3 when the
// dialog was cancelled (a failure here, not a cancellation).
int LoadLocationFile(ProjectRun& run, std::string& path) {
    std::FILE* file = nullptr;
    const int opened = OpenTable(run.wb, "Select location file", path, file);
    if (opened != 0)
        return opened > 0 ? -3 : -1;
    // Locations are paired with samples by row number only, so neither the station count
    // nor the result is used.
    int stationCount = 0;
    ReadLocationTable(run.wb, file, stationCount, run.wb.tables.locations);
    CloseFile(file);
    return 0;
}

// Returns 0; 1 cancelled; -1 not opened; -2 refused by the reader; -3 output not created;
// -4 output not written.
int BuildReferenceFile(ProjectRun& run) {
    Workbench& wb = run.wb;
    std::string path;
    std::FILE* file = nullptr;
    const int opened = OpenTable(wb, "Select reference file", path, file);
    if (opened != 0)
        return opened;
    const int read = ReadReferenceTable(wb, file, LayoutOfSpeciesFormat(run.slot.speciesFormat),
                                        run.referenceSpecies, run.referenceSamples,
                                        wb.tables.species, wb.tables.reference);
    CloseFile(file);
    if (read != 0)
        return -2;
    std::string text;
    const int formatted =
        WriteReferenceFile(wb, text, {"reference", path, run.referenceLocationsPath},
                           run.referenceSpecies, run.referenceSamples, run.projectNumber);
    return SaveStepFile(run, formatted, EngineFilePath(path, ".ref"), text, run.slot.firstPath,
                        "No reference file", -3, -4);
}

// Returns 0; 1 cancelled; -1 not opened; -2 refused by the reader; -3 another number of
// stations than reference samples; -4 output not created; -5 output not written.
int BuildEnvironmentFile(ProjectRun& run) {
    Workbench& wb = run.wb;
    std::string path;
    std::FILE* file = nullptr;
    const int opened = OpenTable(wb, "Select environment file", path, file);
    if (opened != 0)
        return opened;
    int variableCount = 0;
    int stationCount = 0;
    const int read = ReadEnvironmentTable(wb, file, variableCount, stationCount, 1,
                                          wb.tables.reference, wb.tables.environment);
    CloseFile(file);
    if (read != 0)
        return -2;
    if (stationCount != run.referenceSamples) {
        ShowFileError(wb.platform, kMsgStationCountDiffers, path);
        return -3;
    }
    std::string text;
    const int formatted = WriteEnvironmentFile(wb, text, path, variableCount, stationCount);
    return SaveStepFile(run, formatted, EngineFilePath(path, ".env"), text, run.slot.thirdPath,
                        "No environment file", -4, -5);
}

// Returns 0; 1 cancelled; -1 not opened; -2 refused by the reader; -3 another species count
// than the reference file; -4 output not created; -5 output not written.
int BuildCoreFile(ProjectRun& run) {
    Workbench& wb = run.wb;
    std::string path;
    std::FILE* file = nullptr;
    const int opened = OpenTable(wb, "Select core file", path, file);
    if (opened != 0)
        return opened;
    int speciesCount = 0;
    const int read =
        ReadCoreTable(wb, file, LayoutOfSpeciesFormat(run.slot.speciesFormat), CompareSpecies,
                      speciesCount, run.coreSamples, wb.tables.species, wb.tables.core);
    CloseFile(file);
    if (read != 0)
        return -2;
    if (speciesCount != run.referenceSpecies) {
        ShowFileError(wb.platform, kMsgSpeciesCountDiffers, path);
        return -3;
    }
    std::string text;
    const int formatted = WriteCoreFile(wb, text, {"core", path, run.coreLocationsPath},
                                        speciesCount, run.coreSamples, run.projectNumber);
    return SaveStepFile(run, formatted, EngineFilePath(path, ".sam"), text, run.slot.secondPath,
                        "No sample file", -4, -5);
}

// Reference sample i must be the station of location row i.
bool StationNamesMatch(ProjectRun& run) {
    const Tables& tables = run.wb.tables;
    const auto& stations = tables.locations.stations;
    for (int i = 1; i <= run.referenceSamples; ++i) {
        const std::string& sample = tables.reference.names[static_cast<size_t>(i)];
        const std::string location =
            static_cast<size_t>(i) < stations.size() ? stations[static_cast<size_t>(i)].name : "";
        if (sample != location) {
            ShowNameMismatch(run.wb.platform, kMsgStationNamesDiffer, sample, location);
            return false;
        }
    }
    return true;
}

// The slot's project name: the file name without every ".txt" and then every ".pro", cut
// to the slot's 63 characters like every other name of the workbench.
std::string ProjectName(std::string title) {
    ReplaceAll(title, ".txt", "");
    ReplaceAll(title, ".pro", "");
    return std::string(CutText(title, kMaxNameLength));
}

int BuildProject(ProjectRun& run, const std::string& projectPath) {
    Workbench& wb = run.wb;
    if (LoadLocationFile(run, run.referenceLocationsPath) != 0)
        return kReferenceLocationsFailed;
    int step = BuildReferenceFile(run);
    if (step != 0)
        return step > 0 ? kReferenceCancelled : kReferenceFailed;
    if (!StationNamesMatch(run))
        return kStationNamesDiffer;
    step = BuildEnvironmentFile(run);
    if (step != 0)
        return step > 0 ? kEnvironmentCancelled : kEnvironmentFailed;
    if (LoadLocationFile(run, run.coreLocationsPath) != 0)
        return kCoreLocationsFailed;
    step = BuildCoreFile(run);
    if (step != 0)
        return step > 0 ? kCoreCancelled : kCoreFailed;
    // The engine writes its listing and summary beside the core data: the current folder is
    // the core file's now.
    std::string text;
    if (WriteProjectFile(wb, text, wb.current.folder, run.projectNumber, run.referenceSpecies,
                         run.coreSamples, run.referenceSamples) != 0 ||
        SaveEngineFile(wb, projectPath, text) != 0)
        return kProjectFileFailed;
    SaveSettings(wb);
    return kAnalogProjectDone;
}

} // namespace

int BuildAnalogProject(Workbench& wb, int projectNumber) {
    ProjectRun run{
        wb, projectNumber, wb.settings.slots[static_cast<size_t>(projectNumber)], {}, {}};
    std::string projectPath = "Velmar_Project" + std::to_string(projectNumber) + ".pro";
    SetFileFilter(wb, kProjectFilterList);
    if (!SelectFileToSave(wb, projectPath, wb.current.folder, wb.current.name, "Save project as"))
        return kAnalogProjectDone;
    wb.current.fullPath = projectPath;
    run.slot.projectName = ProjectName(wb.current.name);
    if (!FormatOfSpecies(wb, run.slot.speciesFormat))
        return kSpeciesFormatCancelled;
    if (!FormatOfData(wb, run.slot.dataFormat))
        return kDataFormatCancelled;
    return BuildProject(run, projectPath);
}

} // namespace corelith
