// Driving real windows in tests: a thread timer polls for a window and hands it to the
// test while a modal loop (dialog, message box, file dialog, menu) runs; the same timer
// runs later steps, so a step can press a key and the next one see what it did.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corelith::wintest {

// Calls `handle` with the window `find` returns once it is not null (polled every 10 ms).
// When no window turns up within `seconds`, the test fails and every dialog of the thread
// is ended, so the test cannot hang.
void WhenWindow(std::function<HWND()> find, std::function<void(HWND)> handle, double seconds = 10);

// Calls `step` once the current message has been handled and the loop is idle again.
void Later(std::function<void()> step, int milliseconds = 30);

// Runs `steps` one after the other, each once the loop is idle after the one before.
void Steps(std::vector<std::function<void()>> steps);

// The visible dialog (class "#32770") of this thread captioned `caption`, or null. With an
// owner, only a dialog owned by it.
HWND FindDialog(const std::wstring& caption, HWND owner = nullptr);

// The visible dialog of this thread owned by `owner` (a prompt of a common dialog), or null.
HWND FindDialogOwnedBy(HWND owner);

// The text of a window or of control `id` of a dialog, in UTF-8.
std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);

// Keys as a keyboard sends them: posted to the window that has the focus, so the loop
// that runs (and its dialog manager) sees them. Ctrl, Alt and Shift are held as asked.
void PressKey(WORD key, bool ctrl = false, bool alt = false, bool shift = false);

// Ends every dialog of this thread (the way out of a failed test).
void EndAllDialogs();

// Writes a picture of the whole screen to the screenshot folder as `name`.png when the run
// asks for pictures (CORELITH_SCREENSHOT_DIR, a folder of the machine the display runs
// on); otherwise does nothing. Uses ImageMagick's import, reached through Wine.
void Snapshot(const std::string& name);

} // namespace corelith::wintest
