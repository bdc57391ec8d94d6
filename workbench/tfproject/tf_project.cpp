#include "tfproject/tf_project.h"

#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

namespace corelith {

namespace {

// The project name is the file title without its ".txt" and ".pro" parts (lower case only:
// "Survey.PRO" keeps its extension), cut to the length of a name.
std::string ProjectNameOf(std::string title) {
    ReplaceAll(title, ".txt", "");
    ReplaceAll(title, ".pro", "");
    return std::string(CutText(title, kMaxNameLength));
}

// A tool step's result as the build's: `cancelled` after a cancelled dialog, `failed` after an
// error, 0 to go on.
int BuildResult(int stepResult, int cancelled, int failed) {
    if (stepResult > 0)
        return cancelled;
    return stepResult < 0 ? failed : 0;
}

} // namespace

int BuildTransferFunctionProject(Workbench& wb, int projectNumber) {
    if (!IsProjectSlot(projectNumber))
        return -10;
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(projectNumber)];

    std::string projectPath = FormatC("TransferFunction_Project%d.pro", projectNumber);
    std::string folder;
    std::string title;
    SetFileFilter(wb, 11);
    if (!SelectFileToSave(wb, projectPath, folder, title, "Save project as"))
        return 0;
    project.projectName = ProjectNameOf(title);

    if (!FormatOfSpecies(wb, project.speciesFormat))
        return -1;
    if (!FormatOfData(wb, project.dataFormat))
        return -2;
    if (!UsedTools(wb, project.usedCapFac, project.usedRegress, project.usedThread))
        return -3;
    if (project.usedCapFac != 0 && !CapFacOptions(wb, projectNumber))
        return -4;
    if (project.usedRegress != 0 && !RegressOptions(wb, projectNumber))
        return -5;

    // The reference counts exist only when the CapFac step has read the reference table;
    // without it the other steps check nothing against it.
    const int checkAgainstReference = project.usedCapFac != 0 ? 1 : 0;
    int sampleCount = 0;
    int speciesCount = 0;
    int result = 0;
    if (project.usedCapFac != 0)
        result =
            BuildResult(BuildCapFacFile(wb, sampleCount, speciesCount, projectNumber), -7, -20);
    if (result == 0 && project.usedRegress != 0)
        result = BuildResult(
            BuildRegressFile(wb, checkAgainstReference, sampleCount, projectNumber), -8, -21);
    if (result == 0 && project.usedThread != 0)
        result = BuildResult(
            BuildThreadFile(wb, checkAgainstReference, speciesCount, projectNumber), -9, -22);
    if (result != 0)
        return result;

    LineWriter file(projectPath);
    if (!file.IsOpen())
        return -10;
    const int written = WriteProjectFile(file, project);
    // A close that cannot flush the last lines leaves a cut project file behind.
    if (file.Close() != 0 || written != 0)
        return -11;
    SaveSettings(wb);
    return 0;
}

} // namespace corelith
