#include "platform/win32/win32_platform.h"

#include "platform/settings_folder.h"
#include "platform/start_program.h"
#include "platform/wide_text.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/template_dialog.h"

namespace corelith {

namespace {

// While a box or dialog is open the pointer shows the arrow, even inside a command that
// has set the wait cursor; the wait cursor comes back when it closes.
class ArrowWhileModal {
  public:
    explicit ArrowWhileModal(bool waiting) : waiting_(waiting) {
        if (waiting_)
            ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
    ~ArrowWhileModal() {
        if (waiting_)
            ::SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    ArrowWhileModal(const ArrowWhileModal&) = delete;
    ArrowWhileModal& operator=(const ArrowWhileModal&) = delete;

  private:
    bool waiting_;
};

} // namespace

Win32Platform::Win32Platform(DialogTemplateLookup lookup, HINSTANCE instance)
    : lookup_(std::move(lookup)),
      instance_(instance != nullptr ? instance : GetModuleHandleW(nullptr)) {}

Win32Platform::~Win32Platform() = default;

HWND Win32Platform::ModalParent() const {
    if (!openDialogs_.empty())
        return openDialogs_.back();
    return owner_;
}

void Win32Platform::ShowMessage(int, const std::string& caption, const std::string& text,
                                MessageIcon icon, bool beep) {
    if (beep)
        MessageBeep(MB_OK);
    ArrowWhileModal arrow(waiting_);
    const UINT style = MB_OK | (icon == MessageIcon::Stop ? MB_ICONSTOP : MB_ICONINFORMATION);
    MessageBoxW(ModalParent(), Widen(text).c_str(), Widen(caption).c_str(), style);
}

void Win32Platform::Beep() {
    MessageBeep(MB_OK);
}

bool Win32Platform::SelectFile(const FileDialogRequest& request, std::string& chosenPath) {
    ArrowWhileModal arrow(waiting_);
    return RunFileDialog(instance_, ModalParent(), request, chosenPath);
}

int Win32Platform::RunDialog(DialogModel& model) {
    const std::string resource = model.Resource();
    const DialogTemplate* found = lookup_ ? lookup_(resource) : nullptr;
    if (found == nullptr) {
        OutputDebugStringW((L"corelith: no dialog template " + Widen(resource) + L"\n").c_str());
        return 0;
    }
    ArrowWhileModal arrow(waiting_);
    TemplateDialog dialog(*found, model, openDialogs_);
    return dialog.Run(instance_, ModalParent());
}

void Win32Platform::SetCursor(Cursor cursor) {
    waiting_ = cursor == Cursor::Wait;
    ::SetCursor(LoadCursorW(nullptr, waiting_ ? IDC_WAIT : IDC_ARROW));
}

bool Win32Platform::StartProgram(const std::string& program, const std::string& folder) {
    return StartDetachedProgram(program, folder);
}

std::string Win32Platform::SettingsFolder() {
    return DefaultSettingsFolder();
}

int Win32Platform::RunMainWindow(const MainWindowLayout& layout,
                                 std::function<void(int)> onCommand) {
    window_ = std::make_unique<MainWindow>(instance_, layout, std::move(onCommand),
                                           [this] { return waiting_; });
    // The show mode the program was started with (minimised from a shortcut, say).
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    if (!window_->Create(show)) {
        window_.reset();
        return 1;
    }
    owner_ = window_->Window();
    const int status = window_->Run();
    owner_ = nullptr;
    window_.reset();
    return status;
}

void Win32Platform::CloseMainWindow() {
    if (window_ != nullptr)
        window_->Close();
}

std::unique_ptr<DesktopPlatform> MakeDesktopPlatform(int&, char**, DialogTemplateLookup templates) {
    // Windows has no options of its own on the command line, and the program has its
    // arguments in UTF-8 already (see apps/desktop/main.cpp). The C runtime stays in the
    // "C" locale, so numbers keep their decimal point.
    return std::make_unique<Win32Platform>(std::move(templates));
}

} // namespace corelith
