// The Qt desktop backend of the platform layer: the main window, message boxes, file
// dialogs, modal dialogs built from their templates, the wait cursor, starting outside
// programs, picture windows and the settings folder.
#pragma once

#include "platform/desktop.h"
#include "platform/dialog_template.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QWidget;

namespace corelith {

class MainWindow;

// A terminal program and the arguments that make it run a program.
struct TerminalCommand {
    QString terminal;          // name looked up on PATH, e.g. "xterm"
    QStringList beforeProgram; // e.g. {"-e"}
};

// The terminals tried for console programs, in order: the desktop's chosen one
// (x-terminal-emulator), then common terminals.
const std::vector<TerminalCommand>& KnownTerminals();

// Needs a QApplication for its whole life.
class QtPlatform : public DesktopPlatform {
  public:
    // `templates` gives the dialogs their layout; a dialog without a template does not open.
    explicit QtPlatform(DialogTemplateLookup templates = {});
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    int RunMainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand) override;
    void CloseMainWindow() override;

    // Builds the main window without showing it or running the event loop, and makes it
    // the owner of every box and dialog; it replaces any window opened before. Tests drive
    // the window through this; RunMainWindow uses it too.
    MainWindow& OpenMainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand);

    // Owner of every box and dialog (the main window); may be null before it exists.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override;
    void Beep() override;
    bool SelectFile(const FileDialogRequest& request, std::string& chosenPath) override;
    int RunDialog(DialogModel& model) override;
    void SetCursor(Cursor cursor) override;
    bool StartProgram(const std::string& program, const std::string& folder) override;
    bool StartConsoleProgram(const std::string& program, const std::string& folder) override;
    // A window of its own, beside the main window (see PictureWindow).
    bool ShowPicture(const std::string& svgPath, const std::string& title) override;
    std::string SettingsFolder() override;

    // Starts `program` in the workbench's own console window (used when no terminal program
    // is installed). Returns false when it could not be started.
    bool StartInOwnConsole(const std::string& program, const std::string& folder);

    // The parent for the next modal window: the open modal dialog, else the owner.
    QWidget* ModalParent() const;

  private:
    DialogTemplateLookup templates_;
    std::unique_ptr<MainWindow> window_;
    QWidget* owner_ = nullptr;
    bool waiting_ = false; // the wait cursor is shown
};

} // namespace corelith
