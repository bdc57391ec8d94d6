// A modal Windows dialog built in memory from a dialog template: the controls of the
// template with their native classes and styles, positioned in dialog units of the dialog
// font, and every notification forwarded to the dialog's model.
#pragma once

#include "platform/dialog.h"
#include "platform/dialog_template.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace corelith {

// The font every dialog is laid out in.
inline constexpr wchar_t kDialogFont[] = L"MS Shell Dlg";
inline constexpr int kDialogFontPoints = 8;

// The extended dialog template (DLGTEMPLATEEX and its items) of `dialogTemplate`, as
// DialogBoxIndirectParamW takes it.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate);

class TemplateDialog final : public DialogControls {
  public:
    // `openDialogs` lists the open dialogs innermost last; the dialog adds itself while
    // it is open, so boxes and dialogs it opens find their owner.
    TemplateDialog(const DialogTemplate& dialogTemplate, DialogModel& model,
                   std::vector<HWND>& openDialogs);

    // Opens the dialog owned by `owner` (may be null), tells the model, and runs it until
    // the model calls End(); returns the value passed to End(), or 0 when the dialog could
    // not be created.
    int Run(HINSTANCE instance, HWND owner);

    HWND Window() const { return window_; }

    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void FocusDialog() override;
    void FocusControl(int id) override;
    void Beep() override;
    void End(int result) override;

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam);
    void Initialise();
    void Notify(int id, Notification what);

    const DialogTemplate& template_;
    DialogModel& model_;
    std::vector<HWND>& openDialogs_;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    bool listening_ = false; // notifications reach the model (from OnInit on)
    bool ended_ = false;
    bool focusSet_ = false; // the model placed the focus while opening
    int result_ = 0;
    int settingText_ = 0; // >0 while the model sets a text: no Changed notification
};

} // namespace corelith
