// A modal QDialog built from any dialog template: controls placed in dialog units scaled
// by the dialog font as Windows scales them, object names equal to the control ids, and
// every notification forwarded to the dialog's model.
#pragma once

#include "platform/dialog.h"
#include "platform/dialog_template.h"

#include <QDialog>
#include <QPoint>
#include <QSize>

#include <map>

class QButtonGroup;

namespace corelith {

// The base units of a font: average character width and character height in pixels.
struct DialogBaseUnits {
    int x = 1;
    int y = 1;
};

DialogBaseUnits BaseUnitsOf(const QFont& font);
// Dialog units to pixels, rounded as the Windows conversion rounds.
int UnitsToPixelsX(int units, const DialogBaseUnits& base);
int UnitsToPixelsY(int units, const DialogBaseUnits& base);

class TemplateDialog : public QDialog, public DialogControls {
  public:
    TemplateDialog(const DialogTemplate& dialogTemplate, DialogModel& model, QWidget* parent);

    // Opens the dialog, tells the model, and runs it until the model calls End().
    int Run();

    // The widget of control `id`, or nullptr.
    QWidget* Control(int id) const;
    const DialogBaseUnits& BaseUnits() const { return base_; }

    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void FocusDialog() override;
    void FocusControl(int id) override;
    void Beep() override;
    void End(int result) override;

  protected:
    // Escape and the close box: the model hears of Cancel (id 2) and decides.
    void reject() override;
    // Enter presses the default button (id 1), wherever the focus is.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Build(const DialogTemplate& dialogTemplate);
    void Notify(int id, Notification what);

    DialogModel& model_;
    DialogBaseUnits base_;
    std::map<int, QWidget*> controls_;
    std::map<int, QButtonGroup*> radioGroups_; // radio id -> its group
    QWidget* defaultButton_ = nullptr;
    bool running_ = false;
    bool ended_ = false;
    int result_ = 0;
    int settingText_ = 0; // >0 while the model sets a text: no Changed notification
};

} // namespace corelith
