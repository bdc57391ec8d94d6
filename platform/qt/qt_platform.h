// The Qt desktop backend of the platform layer: message boxes, file dialogs, modal dialogs
// built from their templates, the wait cursor, starting outside programs and the settings
// folder.
#pragma once

#include "platform/dialog_template.h"
#include "platform/platform.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace corelith {

// A terminal program and the arguments that make it run a program.
struct TerminalCommand {
    QString terminal;          // name looked up on PATH, e.g. "xterm"
    QStringList beforeProgram; // e.g. {"-e"}
};

// The terminals tried for console programs, in order: the desktop's chosen one
// (x-terminal-emulator), then common terminals.
const std::vector<TerminalCommand>& KnownTerminals();

class QtPlatform : public Platform {
  public:
    // `templates` gives the dialogs their layout; a dialog without a template does not open.
    explicit QtPlatform(DialogTemplateLookup templates = {}) : templates_(std::move(templates)) {}

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
    std::string SettingsFolder() override;

    // Starts `program` in the workbench's own console window (used when no terminal program
    // is installed). Returns false when it could not be started.
    bool StartInOwnConsole(const std::string& program, const std::string& folder);

    // The parent for the next modal window: the open modal dialog, else the owner.
    QWidget* ModalParent() const;

  private:
    DialogTemplateLookup templates_;
    QWidget* owner_ = nullptr;
    bool waiting_ = false; // the wait cursor is shown
};

} // namespace corelith
