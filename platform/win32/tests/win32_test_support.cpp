#include "platform/win32/tests/win32_test_support.h"

#include "platform/wide_text.h"
#include "testing/test_support.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace corelith::wintest {

namespace {

struct Watch {
    std::function<HWND()> find;
    std::function<void(HWND)> handle;
    int attemptsLeft = 0;
};

std::map<UINT_PTR, Watch>& Watches() {
    static std::map<UINT_PTR, Watch> watches;
    return watches;
}

void CALLBACK Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = Watches().find(timer);
    if (found == Watches().end()) {
        KillTimer(nullptr, timer);
        return;
    }
    HWND window = found->second.find();
    if (window == nullptr && --found->second.attemptsLeft > 0)
        return;
    // The watch ends before its handler runs: the handler may open a modal loop of its own.
    KillTimer(nullptr, timer);
    Watch watch = std::move(found->second);
    Watches().erase(found);
    if (window == nullptr) {
        ADD_FAILURE() << "the awaited window did not appear";
        EndAllDialogs();
        return;
    }
    watch.handle(window);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

} // namespace

void WhenWindow(std::function<HWND()> find, std::function<void(HWND)> handle, double seconds) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Poll);
    ASSERT_NE(timer, 0u);
    Watches()[timer] = Watch{std::move(find), std::move(handle), static_cast<int>(seconds * 100)};
}

void Later(std::function<void()> step, int milliseconds) {
    auto start = std::chrono::steady_clock::now();
    WhenWindow(
        [start, milliseconds]() -> HWND {
            const auto waited = std::chrono::steady_clock::now() - start;
            return waited >= std::chrono::milliseconds(milliseconds) ? GetDesktopWindow() : nullptr;
        },
        [step = std::move(step)](HWND) { step(); });
}

void Steps(std::vector<std::function<void()>> steps) {
    if (steps.empty())
        return;
    std::function<void()> first = std::move(steps.front());
    steps.erase(steps.begin());
    Later([first = std::move(first), rest = std::move(steps)]() mutable {
        first();
        Steps(std::move(rest));
    });
}

HWND FindDialog(const std::wstring& caption, HWND owner) {
    for (HWND window : ThreadWindows()) {
        if (!IsDialogWindow(window) || !IsWindowVisible(window))
            continue;
        if (owner != nullptr && GetWindow(window, GW_OWNER) != owner)
            continue;
        if (Widen(TextOf(window)) == caption)
            return window;
    }
    return nullptr;
}

HWND FindDialogOwnedBy(HWND owner) {
    for (HWND window : ThreadWindows()) {
        if (IsDialogWindow(window) && IsWindowVisible(window) &&
            GetWindow(window, GW_OWNER) == owner)
            return window;
    }
    return nullptr;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? std::string() : TextOf(control);
}

void PressKey(WORD key, bool ctrl, bool alt, bool shift) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE held = 0x80;
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? held : 0;
    state[VK_MENU] = state[VK_LMENU] = alt ? held : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? held : 0;
    SetKeyboardState(state);
    HWND target = GetFocus();
    if (target == nullptr)
        target = GetActiveWindow();
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const LPARAM context = alt ? (LPARAM{1} << 29) : 0;
    PostMessageW(target, down, key, 1 | (LPARAM{scan} << 16) | context);
    PostMessageW(target, up, key, 1 | (LPARAM{scan} << 16) | context | (LPARAM{3} << 30));
    // The keys are let go once the loop has taken both messages.
    Later(
        [] {
            BYTE released[256] = {};
            GetKeyboardState(released);
            for (int vk : {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU, VK_SHIFT, VK_LSHIFT})
                released[vk] = 0;
            SetKeyboardState(released);
        },
        5);
}

void EndAllDialogs() {
    for (HWND window : ThreadWindows()) {
        if (IsDialogWindow(window))
            EndDialog(window, IDCANCEL);
    }
}

void Snapshot(const std::string& name) {
    const std::filesystem::path folder = testsupport::ScreenshotFolder();
    if (folder.empty())
        return;
    for (HWND window : ThreadWindows())
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    // Waiting on the message queue lets Wine hand what it has drawn to the X server.
    for (int i = 0; i < 5; ++i)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    const std::string target = folder.generic_string() + "/" + name + ".png";
    std::error_code ignored;
    std::filesystem::remove(testsupport::PathOf(target), ignored);
    std::wstring command = L"/usr/bin/import -window root \"" + Widen(target) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "no screenshot " << name << ": import could not be started";
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine does not wait for a Unix program: the picture is there once its size settles.
    std::uintmax_t last = 0;
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::uintmax_t size =
            std::filesystem::file_size(testsupport::PathOf(target), ignored);
        if (!ignored && size > 0 && size == last)
            return;
        last = ignored ? 0 : size;
    }
    ADD_FAILURE() << "no screenshot " << name;
}

} // namespace corelith::wintest
