// The Win32 backend of the platform layer: native message boxes, the common file
// dialogs, modal dialogs built from their templates, the wait cursor, starting outside
// programs in console windows of their own, the settings folder, and the main window.
#pragma once

#include "platform/desktop.h"
#include "platform/platform.h"
#include "platform/win32/main_window.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace corelith {

class Win32Platform : public DesktopPlatform {
  public:
    // `lookup` finds the template of a dialog model's resource.
    explicit Win32Platform(DialogTemplateLookup lookup, HINSTANCE instance = nullptr);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override;
    void Beep() override;
    bool SelectFile(const FileDialogRequest& request, std::string& chosenPath) override;
    int RunDialog(DialogModel& model) override;
    void SetCursor(Cursor cursor) override;
    bool StartProgram(const std::string& program, const std::string& folder) override;
    // Opens the picture in the program Windows opens SVG files with (show_picture.cpp).
    bool ShowPicture(const std::string& svgPath, const std::string& title) override;
    std::string SettingsFolder() override;

    // Creates the main window of `layout`, shows it as the program was asked to start and
    // runs the message loop until the window closes; returns the quit code, or 1 when the
    // window could not be created. Commands go to `onCommand`.
    int RunMainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand) override;
    void CloseMainWindow() override;

    // The main window while RunMainWindow runs, else nullptr.
    MainWindow* Window() const { return window_.get(); }
    // Owner of every box and dialog when no dialog is open (the main window); may be null.
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }
    // The owner of the next modal window: the innermost open dialog, else the owner.
    HWND ModalParent() const;
    // The wait cursor is wanted.
    bool Waiting() const { return waiting_; }
    HINSTANCE Instance() const { return instance_; }

  private:
    DialogTemplateLookup lookup_;
    HINSTANCE instance_;
    HWND owner_ = nullptr;
    std::vector<HWND> openDialogs_; // innermost last
    std::unique_ptr<MainWindow> window_;
    bool waiting_ = false;
};

} // namespace corelith
