#include "platform/win32/win32_platform.h"

#include "platform/win32/file_dialog.h"
#include "platform/win32/template_dialog.h"
#include "platform/win32/wide_text.h"

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <system_error>

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

// The user's roaming application-data folder, without a trailing separator: %APPDATA%
// when set, else the shell's known folder.
std::wstring ApplicationDataFolder() {
    const DWORD needed = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        value.resize(GetEnvironmentVariableW(L"APPDATA", value.data(), needed));
        if (!value.empty())
            return value;
    }
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known)))
        folder = known;
    CoTaskMemFree(known);
    return folder;
}

} // namespace

std::wstring ArgumentsOf(std::wstring_view commandLine) {
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t closing = commandLine.find(L'"', 1);
        at = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t')
            ++at;
    }
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t'))
        ++at;
    return std::wstring(commandLine.substr(at));
}

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

bool Win32Platform::Start(const std::string& program, const std::string& folder) {
    if (program.empty())
        return false;
    // The program path alone, quoted for the blanks a path may hold; no arguments.
    std::wstring commandLine = L"\"" + Widen(program) + L"\"";
    const std::wstring directory = Widen(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // A console program gets a console window of its own, where the user answers it.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, directory.empty() ? nullptr : directory.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool Win32Platform::StartProgram(const std::string& program, const std::string& folder) {
    return Start(program, folder);
}

bool Win32Platform::StartConsoleProgram(const std::string& program, const std::string& folder) {
    return Start(program, folder);
}

std::string Win32Platform::SettingsFolder() {
    const std::wstring base = ApplicationDataFolder();
    if (base.empty())
        return {}; // the settings file goes to the current folder
    std::wstring folder = base;
    if (folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    folder += L"Corelith\\";
    std::error_code ignored; // a folder that cannot be made shows when the file is written
    std::filesystem::create_directories(std::filesystem::path(folder), ignored);
    return Narrow(folder);
}

int Win32Platform::RunMainWindow(const MainWindowSpec& spec, std::function<void(int)> onCommand) {
    window_ = std::make_unique<MainWindow>(instance_, spec, std::move(onCommand),
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

std::unique_ptr<DesktopPlatform> MakeDesktopPlatform(int& argc, char** argv,
                                                     DialogTemplateLookup templates) {
    auto platform = std::make_unique<Win32Platform>(std::move(templates));
    platform->TakeArguments(argc, argv);
    return platform;
}

void Win32Platform::TakeArguments(int& argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return;
    // The narrow arguments are in the ANSI code page, which cannot hold every name; the
    // wide ones can. Their UTF-8 texts live as long as the platform.
    if (count == argc) {
        arguments_.clear();
        for (int i = 0; i < count; ++i)
            arguments_.push_back(Narrow(wide[i]));
        for (int i = 0; i < count; ++i)
            argv[i] = arguments_[static_cast<size_t>(i)].data();
    }
    LocalFree(wide);
}

} // namespace corelith
