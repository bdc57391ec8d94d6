#include "shell/commands.h"

#include "shell/installed_programs.h"
#include "shell/messages.h"
#include "shell/settings.h"
#include "textio/file_dialogs.h"
#include "workbench.h"

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
// Without a stored path the dialog proposes the program installed beside the workbench.
bool ChooseExecutable(Workbench& wb, Outside which) {
    std::string path = StoredPath(wb, which);
    if (path.empty())
        path = InstalledProgram(wb, which == Outside::Quillon ? "quillon" : "marvane");
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
    // Exit belongs to the front end; the grayed Edit items, "Thread....", "Velmar..." and
    // unknown ids have no action.
    const Command* command = FindCommand(id);
    return command != nullptr && command->handler != nullptr ? command->handler(wb) : 0;
}

int ExecuteQuillon(Workbench& wb) {
    return ExecuteProgram(wb, Outside::Quillon);
}

int ExecuteMarvane(Workbench& wb) {
    return ExecuteProgram(wb, Outside::Marvane);
}

int SetupQuillon(Workbench& wb) {
    return SetupProgram(wb, Outside::Quillon);
}

int SetupMarvane(Workbench& wb) {
    return SetupProgram(wb, Outside::Marvane);
}

int ShowAboutBox(Workbench& wb) {
    AboutBox about;
    wb.platform.RunDialog(about);
    return 0;
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

} // namespace corelith
