// Modal dialogs as small models that react to control notifications, in the manner of a
// dialog procedure. The backend builds the controls from the dialog's template (looked up
// by resource name), forwards every notification to the model, and the model drives the
// controls through DialogControls. Control identifiers are the numeric ids of the template;
// id 1 is OK (or the default button), id 2 is Cancel (also Escape and the close box).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace corelith {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

enum class Notification {
    Clicked, // a button, radio button or check box was clicked (auto buttons have toggled already)
    Changed, // the text of an edit field changed (every keystroke)
};

// The model's view of its open dialog.
class DialogControls {
  public:
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual bool Checked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual void FocusDialog() = 0; // focus back to the dialog (its default button)
    virtual void FocusControl(int id) = 0;
    virtual void Beep() = 0;
    virtual void End(int result) = 0; // closes the dialog; RunDialog returns `result`

  protected:
    ~DialogControls() = default;
};

// How the scripted backend applies a batch answer to a dialog (see platform/scripted).
enum class ScriptKind {
    None,    // only ":ok" and ":cancel"
    Choice,  // answer is one of `choices` (e.g. "1"/"2"): click that radio button, then OK
    Checks,  // answer is "none" or names of `choices` joined by '+': tick exactly those, then OK
    Field,   // answer is the text typed into `fieldId`, then OK
    Actions, // a run of actions from `actions`, one answer each, until "stop" or no answers left
};

struct ScriptAction {
    enum class Op {
        SetField,    // "name=TEXT": type TEXT into the field `id`
        Click,       // "name": click button `id`
        ClickNested, // "name=TEXT" or "name:cancel": click `id`; the nested dialog it opens
                     // takes TEXT (or ":cancel") as its answer
    };
    std::string name;
    Op op = Op::Click;
    int id = 0;
};

struct ScriptBinding {
    ScriptKind kind = ScriptKind::None;
    std::vector<std::pair<std::string, int>> choices; // Choice and Checks: answer word -> id
    int fieldId = 0;                                  // Field
    std::vector<ScriptAction> actions;                // Actions
    int stopId = kIdCancel;                           // Actions: clicked when the answers run out
    std::vector<int> echoedLabels; // labels whose new texts the batch front end prints
};

class DialogModel {
  public:
    virtual ~DialogModel() = default;
    virtual std::string Resource() const = 0;          // e.g. "FORMATSPECIES"
    virtual void OnInit(DialogControls& controls) = 0; // the dialog has opened
    virtual void OnCommand(DialogControls& controls, int id, Notification what) = 0;
    virtual ScriptBinding Script() const { return {}; }
};

} // namespace corelith
