#include "platform/win32/main_window.h"

#include "platform/wide_text.h"
#include "platform/win32/accelerators.h"

#include <commctrl.h>

#include <utility>

namespace corelith {

HMENU CreateMenuBar(const std::vector<Menu>& menus) {
    HMENU bar = CreateMenu();
    for (const Menu& menu : menus) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            // The text after the tab is shown right-aligned as the item's shortcut; the keys
            // themselves belong to the accelerator table.
            const UINT flags = MF_STRING | (item.grayed ? MF_GRAYED : MF_ENABLED);
            AppendMenuW(popup, flags, static_cast<UINT_PTR>(item.id), Widen(item.text).c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Widen(menu.title).c_str());
    }
    return bar;
}

MainWindow::MainWindow(HINSTANCE instance, MainWindowLayout layout,
                       std::function<void(int)> onCommand, std::function<bool()> waiting)
    : instance_(instance), spec_(std::move(layout)), onCommand_(std::move(onCommand)),
      waiting_(std::move(waiting)) {}

MainWindow::~MainWindow() {
    quitOnDestroy_ = false; // a window dropped without its loop leaves no quit message behind
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
}

bool MainWindow::Create(int show) {
    const std::wstring className = Widen(spec_.title);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance_, kIconResource, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, kIconResource, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className.c_str();
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    HMENU menu = CreateMenuBar(spec_.menus);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 20;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 20;
    // A sunken client edge inside a raised window edge.
    window_ = CreateWindowExW(WS_EX_OVERLAPPEDWINDOW, className.c_str(), L"", WS_OVERLAPPEDWINDOW,
                              x, y, spec_.width, spec_.height, nullptr, menu, instance_, this);
    if (window_ == nullptr) {
        DestroyMenu(menu);
        return false;
    }
    accelerators_ = CreateAccelerators(spec_.accelerators);
    ShowWindow(window_, show);
    UpdateWindow(window_);
    return true;
}

int MainWindow::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators_ != nullptr && window_ != nullptr &&
            TranslateAcceleratorW(window_, accelerators_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::Close() {
    if (window_ != nullptr)
        PostMessageW(window_, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(created->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        status_ = CreateWindowExW(
            0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, 0, 0, 0,
            0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance_,
            nullptr);
        SetWindowTextW(window_, Widen(spec_.title).c_str());
        DrawMenuBar(window_);
        return 0;
    }
    case WM_SIZE:
        if (status_ != nullptr)
            SendMessageW(status_, WM_SIZE, 0, 0); // the status bar keeps to the bottom edge
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window_, &paint); // the class brush has painted it white; nothing else
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_SETCURSOR:
        // The wait cursor stays while a command works, but gives way to the arrow while a
        // box or dialog of the command has the window disabled.
        if (waiting_ && waiting_() && IsWindowEnabled(window_)) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_COMMAND: // menu items and accelerators; the status bar sends none
        if (onCommand_)
            onCommand_(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        if (quitOnDestroy_)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        HWND window = window_;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        status_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace corelith
