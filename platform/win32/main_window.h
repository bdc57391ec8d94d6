// The desktop's main window: a registered window class named after the title, a blank
// white client area, a status bar, the menu bar and accelerator table of its
// description, and the message loop that turns menu items and keys into commands.
#pragma once

#include "platform/desktop.h"

#include <windows.h>

#include <functional>

namespace corelith {

// The icon resource of the program (class icon and small icon).
inline constexpr wchar_t kIconResource[] = L"Corelith";
// The child id of the status bar.
inline constexpr int kStatusBarId = 1;

// The menu bar of `menus`: items with their ids, texts and grayed state, separators for
// id 0. The caller owns it (a window destroys the menu it was given).
HMENU CreateMenuBar(const std::vector<Menu>& menus);

class MainWindow {
  public:
    // `waiting` tells whether the wait cursor is wanted over the window.
    MainWindow(HINSTANCE instance, MainWindowLayout layout, std::function<void(int)> onCommand,
               std::function<bool()> waiting);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and shows it with `show`. False when it could not be created.
    bool Create(int show);
    // Runs the message loop until the window is gone; returns the quit code.
    int Run();

    // Closes the window, which ends Run.
    void Close();

    HWND Window() const { return window_; }
    HWND StatusBar() const { return status_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    MainWindowLayout spec_;
    std::function<void(int)> onCommand_;
    std::function<bool()> waiting_;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    HACCEL accelerators_ = nullptr;
    bool quitOnDestroy_ = true;
};

} // namespace corelith
