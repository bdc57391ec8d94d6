#include "platform/win32/template_dialog.h"

#include "platform/wide_text.h"

#include <commctrl.h>

#include <algorithm>

namespace corelith {

namespace {

// Predefined window classes, as ordinals of the template.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kEditClass = 0x0081;
constexpr std::uint16_t kStaticClass = 0x0082;

// Builds the words of a template: 16-bit words, 32-bit values as two words, texts as
// NUL-terminated UTF-16, items aligned on 32 bits.
class TemplateWriter {
  public:
    void Word(std::uint16_t value) { words_.push_back(value); }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value & 0xFFFF));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text)
            Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void AlignDword() {
        if (words_.size() % 2 != 0)
            Word(0);
    }
    std::vector<std::uint16_t> Take() { return std::move(words_); }

  private:
    std::vector<std::uint16_t> words_;
};

struct ControlClass {
    std::uint16_t windowClass;
    DWORD style;
};

// Every control but a radio button that continues a run of radio buttons starts a group,
// so the arrow keys move within a run and a run ends where something else begins.
ControlClass ClassOf(ControlKind kind, bool continuesRadioRun) {
    switch (kind) {
    case ControlKind::Label:
        // Names shown in labels may hold '&'; it is a character, not a mnemonic.
        return {kStaticClass, SS_LEFT | SS_NOPREFIX | WS_GROUP};
    case ControlKind::Edit:
        return {kEditClass, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP};
    case ControlKind::Button:
        return {kButtonClass, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP};
    case ControlKind::DefaultButton:
        return {kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP};
    case ControlKind::Radio:
        return {kButtonClass, continuesRadioRun
                                  ? DWORD{BS_AUTORADIOBUTTON}
                                  : DWORD{BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP}};
    case ControlKind::Check:
        return {kButtonClass, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP};
    case ControlKind::Group:
        return {kButtonClass, BS_GROUPBOX | WS_GROUP};
    }
    return {kStaticClass, SS_LEFT};
}

// Enter presses the dialog's default button wherever the focus is: a push button that is
// not the default one does not take over the default when it gets the focus (Space and
// a click still press it).
LRESULT CALLBACK KeepDefaultButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(window, message, wParam, lParam);
        if ((code & DLGC_UNDEFPUSHBUTTON) != 0)
            code = (code & ~LRESULT{DLGC_UNDEFPUSHBUTTON}) | DLGC_BUTTON;
        return code;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, KeepDefaultButton, id);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Centres `window` over `owner` (over the work area without a visible owner), kept on the
// owner's monitor.
void CentreOver(HWND window, HWND owner) {
    RECT box{};
    GetWindowRect(window, &box);
    HMONITOR monitor =
        MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    RECT area = info.rcWork;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    const RECT& work = info.rcWork;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate) {
    TemplateWriter out;
    DWORD style = WS_POPUP | DS_SETFONT;
    if (dialogTemplate.caption.empty())
        style |= WS_BORDER; // no caption bar: a thin edge around the box
    else
        style |= DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
    out.Word(1);      // dlgVer
    out.Word(0xFFFF); // signature of the extended template
    out.Dword(0);     // helpID
    out.Dword(0);     // exStyle
    out.Dword(style);
    out.Word(static_cast<std::uint16_t>(dialogTemplate.controls.size()));
    out.Short(0); // placed when it opens
    out.Short(0);
    out.Short(dialogTemplate.width);
    out.Short(dialogTemplate.height);
    out.Word(0); // no menu
    out.Word(0); // the predefined dialog class
    out.Text(Widen(dialogTemplate.caption));
    out.Word(kDialogFontPoints);
    out.Word(FW_NORMAL);
    out.Word(0 | (DEFAULT_CHARSET << 8)); // italic, charset
    out.Text(kDialogFont);

    bool afterRadio = false;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const bool radio = control.kind == ControlKind::Radio;
        const ControlClass kind = ClassOf(control.kind, radio && afterRadio);
        afterRadio = radio;
        out.AlignDword();
        out.Dword(0); // helpID
        out.Dword(0); // exStyle
        out.Dword(WS_CHILD | WS_VISIBLE | kind.style);
        out.Short(control.x);
        out.Short(control.y);
        out.Short(control.width);
        out.Short(control.height);
        out.Dword(static_cast<std::uint32_t>(control.id));
        out.Word(0xFFFF);
        out.Word(kind.windowClass);
        out.Text(Widen(control.text));
        out.Word(0); // no creation data
    }
    return out.Take();
}

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, DialogModel& model,
                               std::vector<HWND>& openDialogs)
    : template_(dialogTemplate), model_(model), openDialogs_(openDialogs) {}

int TemplateDialog::Run(HINSTANCE instance, HWND owner) {
    const std::vector<std::uint16_t> data = BuildDialogTemplate(template_);
    owner_ = owner;
    DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(data.data()), owner,
                            Procedure, reinterpret_cast<LPARAM>(this));
    return ended_ ? result_ : 0;
}

INT_PTR CALLBACK TemplateDialog::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<TemplateDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->window_ = window;
        return dialog->Handle(message, wParam);
    }
    auto* dialog = reinterpret_cast<TemplateDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog != nullptr ? dialog->Handle(message, wParam) : FALSE;
}

INT_PTR TemplateDialog::Handle(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        Initialise();
        return focusSet_ ? FALSE : TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == BN_CLICKED)
            Notify(id, Notification::Clicked); // also Enter (default id) and Escape (IDCANCEL)
        else if (code == EN_CHANGE && settingText_ == 0)
            Notify(id, Notification::Changed);
        return TRUE;
    }
    case WM_CLOSE: // the close box: the model hears of Cancel and decides
        Notify(kIdCancel, Notification::Clicked);
        return TRUE;
    case WM_DESTROY:
        openDialogs_.erase(std::remove(openDialogs_.begin(), openDialogs_.end(), window_),
                           openDialogs_.end());
        return FALSE;
    default:
        return FALSE;
    }
}

void TemplateDialog::Initialise() {
    openDialogs_.push_back(window_);
    for (const ControlTemplate& control : template_.controls) {
        if (control.kind == ControlKind::Button && control.id >= 0) {
            if (HWND button = GetDlgItem(window_, control.id))
                SetWindowSubclass(button, KeepDefaultButton, 1, 0);
        }
    }
    CentreOver(window_, owner_);
    listening_ = true;
    model_.OnInit(*this);
}

std::string TemplateDialog::Text(int id) const {
    HWND control = GetDlgItem(window_, id);
    if (control == nullptr)
        return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void TemplateDialog::SetText(int id, const std::string& text) {
    ++settingText_;
    SetDlgItemTextW(window_, id, Widen(text).c_str());
    --settingText_;
}

bool TemplateDialog::Checked(int id) const {
    return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void TemplateDialog::SetChecked(int id, bool checked) {
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void TemplateDialog::FocusDialog() {
    for (const ControlTemplate& control : template_.controls) {
        if (control.kind == ControlKind::DefaultButton) {
            FocusControl(control.id);
            return;
        }
    }
    SetFocus(window_);
    focusSet_ = true;
}

void TemplateDialog::FocusControl(int id) {
    if (HWND control = GetDlgItem(window_, id)) {
        // Through the dialog manager, so the default button and an edit's selection follow.
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        focusSet_ = true;
    }
}

void TemplateDialog::Beep() {
    MessageBeep(MB_OK);
}

void TemplateDialog::End(int result) {
    if (ended_)
        return;
    ended_ = true;
    result_ = result;
    if (window_ != nullptr)
        EndDialog(window_, result);
}

void TemplateDialog::Notify(int id, Notification what) {
    if (listening_ && !ended_)
        model_.OnCommand(*this, id, what);
}

} // namespace corelith
