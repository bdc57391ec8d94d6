// The narrow platform layer: everything the workbench needs from a desktop
// (message boxes, file dialogs, modal dialogs, cursor, beep, starting a program,
// showing a picture, the settings folder). The workbench core talks only to this interface; the Qt
// desktop backend and the scripted (batch/test) backend implement it.
#pragma once

#include "platform/dialog.h"

#include <string>
#include <vector>

namespace corelith {

enum class MessageIcon { Information, Stop };
enum class Cursor { Arrow, Wait };

// One description/pattern pair of a file dialog's type list, e.g. {"Text files (*.txt)", "*.txt"}.
struct FileFilter {
    std::string description;
    std::string pattern;
};

struct FileDialogRequest {
    bool save = false; // save dialog: asks before overwriting; open dialog: asks to create
    std::string title; // dialog caption, e.g. "Save project as"
    std::vector<FileFilter> filters;
    std::string initialPath;   // name (possibly with folder) the dialog starts with
    std::string currentFolder; // folder a relative name is taken from; ends with a separator
    std::string defaultExtension = "csv"; // appended when the user types a name without extension
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Shows a modal box with an OK button, captioned `caption`. `code` is the catalogue
    // number of the message (0 when it has none); `beep` sounds the system beep first.
    virtual void ShowMessage(int code, const std::string& caption, const std::string& text,
                             MessageIcon icon, bool beep) = 0;

    // A beep without a box.
    virtual void Beep() = 0;

    // Runs an open or save dialog. Returns true when the user confirmed; `chosenPath` is then
    // the full path of the chosen file. On false `chosenPath` is unchanged.
    virtual bool SelectFile(const FileDialogRequest& request, std::string& chosenPath) = 0;

    // Runs a modal dialog built from the template named by model.Resource() until the model
    // calls End(); returns the value passed to End().
    virtual int RunDialog(DialogModel& model) = 0;

    virtual void SetCursor(Cursor cursor) = 0;

    // Starts `program` detached, without arguments, in `folder`. No handle is kept.
    // Returns false when it could not be started (callers may ignore this).
    virtual bool StartProgram(const std::string& program, const std::string& folder) = 0;

    // Starts a console program the same way, in a console window the user can type into
    // where the desktop gives programs none of their own (a terminal on X11 and Wayland).
    virtual bool StartConsoleProgram(const std::string& program, const std::string& folder) {
        return StartProgram(program, folder);
    }

    // Shows the SVG picture at `svgPath` in a window titled `title` (or in the system's
    // viewer), without waiting for it to close. Returns false when the desktop cannot show
    // it; the file stays written either way.
    virtual bool ShowPicture(const std::string& svgPath, const std::string& title) {
        (void)svgPath;
        (void)title;
        return false;
    }

    // Folder of the settings file, ending with a separator.
    virtual std::string SettingsFolder() = 0;
};

} // namespace corelith
