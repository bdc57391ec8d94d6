#include "shell/commands.h"

#include "analogproject/analog_project.h"
#include "converters/converters.h"
#include "counting/counting.h"
#include "ranking/ranking.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "shell/settings.h"
#include "textio/file_dialogs.h"
#include "tfproject/tf_project.h"
#include "workbench.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace corelith {

namespace {

enum class Outside { Quillon, Marvane };

constexpr size_t kMaxCurrentPathLength = 515;

// "AboutBox": program name and credits; only OK closes it.
class AboutBox : public DialogModel {
  public:
    std::string Resource() const override { return "AboutBox"; }
    void OnInit(DialogControls&) override {}
    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        if (id == kIdOk && what == Notification::Clicked)
            dlg.End(1);
    }
};

std::string& StoredPath(Workbench& wb, Outside which) {
    return which == Outside::Quillon ? wb.settings.quillonPath : wb.settings.marvanePath;
}

// The executable dialog on the stored path; a confirmed choice becomes the stored path.
// Without a stored engine path the dialog proposes the engine installed beside us.
bool ChooseExecutable(Workbench& wb, Outside which) {
    std::string path = StoredPath(wb, which);
    if (path.empty() && which == Outside::Marvane)
        path = InstalledMarvane();
    const char* title = which == Outside::Quillon ? "Select Quillon.exe" : "Select Marvane.exe";
    if (!SelectFileToOpen(wb, path, wb.current.folder, wb.current.name, title))
        return false;
    StoredPath(wb, which) = path;
    return true;
}

int ExecuteProgram(Workbench& wb, Outside which) {
    SetFileFilter(wb, kProgramFilter);
    if (StoredPath(wb, which).empty()) {
        if (!ChooseExecutable(wb, which))
            return 0;
        SaveSettings(wb);
    }
    const std::string& program = StoredPath(wb, which);
    const bool started = which == Outside::Marvane
                             ? wb.platform.StartConsoleProgram(program, wb.workingFolder)
                             : wb.platform.StartProgram(program, wb.workingFolder);
    return started ? 0 : -1;
}

// Returns 1 when a program was chosen, 0 after Cancel, -1 when the settings file could not
// be written.
int SetupProgram(Workbench& wb, Outside which) {
    SetFileFilter(wb, kProgramFilter);
    const bool chosen = ChooseExecutable(wb, which);
    if (SaveSettings(wb) < 0)
        return -1;
    return chosen ? 1 : 0;
}

} // namespace

int RunCommand(Workbench& wb, int id) {
    ProjectSlot& slot = wb.settings.slots[1];
    switch (id) {
    case kCmdTransferFunctionProject:
        return RunProjectCommand(wb, BuildTransferFunctionProject);
    case kCmdVelmarProject:
        return RunProjectCommand(wb, BuildAnalogProject);
    case kCmdExecuteQuillon:
        return ExecuteProgram(wb, Outside::Quillon);
    case kCmdExecuteMarvane:
        return ExecuteProgram(wb, Outside::Marvane);
    case 31:
        return FormatOfSpecies(wb, slot.speciesFormat);
    case 32:
        return FormatOfData(wb, slot.dataFormat);
    case 33:
        return CapFacOptions(wb, 1);
    case 34:
        return RegressOptions(wb, 1);
    case 37:
        return UsedTools(wb, slot.usedCapFac, slot.usedRegress, slot.usedThread);
    case kCmdSetupQuillon:
        return SetupProgram(wb, Outside::Quillon);
    case kCmdSetupMarvane:
        return SetupProgram(wb, Outside::Marvane);
    case 41:
        return CreateStepwiseRanking(wb);
    case 42:
        return CreateRankDatabase(wb);
    case 43:
        return CreateLogarithmicRanking(wb);
    case 51:
        return ConvertRawToFrequencyMatrix(wb);
    case 53:
        return ConvertFrequencyMatrixToDatabase(wb);
    case 54:
        return ConvertPercentToFrequencyMatrix(wb);
    case 64:
        return CountSpecimens(wb);
    case 71:
        ShowInformation(wb.platform, kMsgInfo);
        return 0;
    case 72:
        ShowInformation(wb.platform, kMsgVersion);
        return 0;
    case kCmdHelp:
        ShowInformation(wb.platform, kMsgHelp);
        return 0;
    case kCmdAbout: {
        AboutBox about;
        wb.platform.RunDialog(about);
        return 0;
    }
    default:
        // Exit belongs to the front end; the grayed Edit items, "Thread....", "Velmar..."
        // and unknown ids have no action.
        return 0;
    }
}

int RunProjectCommand(Workbench& wb, ProjectBuilder builder) {
    if (wb.projectCounter > kMaxProjectNumber || wb.projectCounter < 1)
        wb.projectCounter = 1;
    const int result = builder(wb, wb.projectCounter);
    if (result == 0)
        ++wb.projectCounter;
    else if (result < -9)
        ShowInformation(wb.platform, kMsgProjectFailed);
    return result;
}

void TakeCommandLinePath(Workbench& wb, const std::string& commandLine, PathStyle style) {
    std::string text = commandLine;
    const size_t last = text.rfind('"');
    if (last != std::string::npos)
        text.erase(last);
    const size_t first = text.find('"');
    if (first != std::string::npos)
        text.erase(0, first + 1);
    const bool hasSeparator = text.find(PathSeparator(style)) != std::string::npos ||
                              (style == PathStyle::Windows && text.find('/') != std::string::npos);
    // The current-file buffer holds 515 characters; a longer path is not taken.
    if (!hasSeparator || text.size() > kMaxCurrentPathLength)
        return;
    wb.current.fullPath = text;
    wb.current.folder = FolderOf(text, style);
    wb.current.name = FileNameOf(text, style);
}

std::string ExecutableFolder() {
    std::string path;
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        path.assign(buffer, length);
#else
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        path = self.string();
#endif
    return FolderOf(path);
}

std::string InstalledMarvane() {
    const std::string folder = ExecutableFolder();
    if (folder.empty())
        return {};
#ifdef _WIN32
    const std::string engine = JoinPath(folder, "marvane.exe");
#else
    const std::string engine = JoinPath(folder, "marvane");
#endif
    std::error_code error;
    return std::filesystem::is_regular_file(engine, error) ? engine : std::string();
}

} // namespace corelith
