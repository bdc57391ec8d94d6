#include "platform/scripted/scripted_platform.h"

#include "platform/settings_folder.h"
#include "platform/start_program.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace corelith {

namespace {

constexpr char kCancelAnswer[] = ":cancel";
constexpr char kOkAnswer[] = ":ok";
constexpr char kStopAnswer[] = "stop";

// Batch output is one entry per line, so line breaks inside a text are spelt out.
std::string OneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Paths cross the platform interface as UTF-8 text; std::filesystem takes them apart by
// the rules of the system the backend runs on.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string TextOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A name typed into a file dialog, taken the way the common dialogs take it: relative to
// the dialog's folder, and with the default extension when the name has none, except
// that an open dialog takes an existing file as typed (an executable without extension).
std::string ResolveTypedName(const FileDialogRequest& request, const std::string& typed) {
    std::filesystem::path path = PathOf(typed);
    if (!request.currentFolder.empty())
        path = PathOf(request.currentFolder) / path; // an absolute name stays as it is
    const bool hasExtension = TextOf(path.filename()).find('.') != std::string::npos;
    if (hasExtension || request.defaultExtension.empty())
        return TextOf(path);
    std::error_code error;
    if (!request.save && std::filesystem::is_regular_file(path, error))
        return TextOf(path);
    return TextOf(path) + "." + request.defaultExtension;
}

std::string JoinChoices(const std::vector<std::pair<std::string, int>>& choices) {
    std::string out;
    for (const auto& choice : choices) {
        if (!out.empty())
            out += ", ";
        out += choice.first;
    }
    return out;
}

int FindChoice(const std::vector<std::pair<std::string, int>>& choices, const std::string& word) {
    for (const auto& choice : choices) {
        if (choice.first == word)
            return choice.second;
    }
    return 0;
}

// An action answer taken apart: the action it names and the text it gives that action.
struct ActionAnswer {
    const ScriptAction* action = nullptr; // none when the answer fits no action
    std::string text;
};

// "name" clicks, "name=TEXT" types into a field or answers a nested dialog, "name:cancel"
// cancels a nested dialog; an answer whose form does not fit its action names none.
ActionAnswer TakeActionAnswer(const ScriptBinding& binding, const std::string& answer) {
    ActionAnswer taken;
    std::string name = answer;
    bool hasText = false;
    const size_t equals = answer.find('=');
    const std::string cancelSuffix = kCancelAnswer;
    if (equals != std::string::npos) {
        name = answer.substr(0, equals);
        taken.text = answer.substr(equals + 1);
        hasText = true;
    } else if (answer.size() > cancelSuffix.size() &&
               answer.compare(answer.size() - cancelSuffix.size(), cancelSuffix.size(),
                              cancelSuffix) == 0) {
        name = answer.substr(0, answer.size() - cancelSuffix.size());
        taken.text = kCancelAnswer;
        hasText = true;
    }
    const ScriptAction* action = nullptr;
    for (const ScriptAction& candidate : binding.actions) {
        if (candidate.name == name)
            action = &candidate;
    }
    if (action == nullptr)
        return {};
    const bool fits =
        action->op == ScriptAction::Op::Click
            ? !hasText
            : hasText && (action->op != ScriptAction::Op::SetField || equals != std::string::npos);
    if (fits)
        taken.action = action;
    return taken;
}

// The answers an actions dialog takes, for the usage error.
std::string ActionList(const ScriptBinding& binding) {
    std::string known = "stop, :ok, :cancel";
    for (const ScriptAction& candidate : binding.actions)
        known += ", " + candidate.name +
                 (candidate.op == ScriptAction::Op::Click      ? ""
                  : candidate.op == ScriptAction::Op::SetField ? "=TEXT"
                                                               : "=ANSWER");
    return known;
}

} // namespace

// The open dialog as the model sees it: control state kept in maps, seeded from the
// template when one is known.
class ScriptedPlatform::Dialog final : public DialogControls {
  public:
    Dialog(ScriptedPlatform& owner, DialogModel& model, std::string resource,
           std::vector<int> echoed)
        : owner_(owner), model_(model), resource_(std::move(resource)),
          echoed_(echoed.begin(), echoed.end()) {}

    void Load(const DialogTemplate& dialogTemplate) {
        templateKnown_ = true;
        int group = 0;
        bool afterRadio = false;
        for (const ControlTemplate& control : dialogTemplate.controls) {
            // Radio buttons that follow one another form one group.
            const bool radio = control.kind == ControlKind::Radio;
            if (radio && !afterRadio)
                ++group;
            afterRadio = radio;
            if (control.id < 0)
                continue;
            kinds_[control.id] = control.kind;
            if (radio)
                radioGroup_[control.id] = group;
            if (!control.text.empty() && !radio && control.kind != ControlKind::Check)
                texts_[control.id] = control.text;
        }
    }

    bool HasControl(int id) const {
        return !templateKnown_ || id == kIdOk || id == kIdCancel || kinds_.count(id) != 0;
    }

    std::string Text(int id) const override {
        auto it = texts_.find(id);
        return it != texts_.end() ? it->second : std::string();
    }
    void SetText(int id, const std::string& text) override {
        texts_[id] = text;
        if (echoed_.count(id) != 0 && owner_.output_ != nullptr)
            *owner_.output_ << id << ": " << OneLine(text) << '\n';
    }
    bool Checked(int id) const override {
        auto it = checked_.find(id);
        return it != checked_.end() && it->second;
    }
    void SetChecked(int id, bool checked) override { checked_[id] = checked; }
    void FocusDialog() override {}
    void FocusControl(int) override {}
    void Beep() override { owner_.Beep(); }
    void End(int result) override {
        if (!ended_) {
            ended_ = true;
            result_ = result;
        }
    }

    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    const std::string& Resource() const { return resource_; }

    // A user's click: auto check boxes and radio buttons change first, then the model
    // hears of it.
    void Click(int id) {
        if (ended_)
            return;
        auto kind = kinds_.find(id);
        if (kind != kinds_.end() && kind->second == ControlKind::Check)
            checked_[id] = !Checked(id);
        if (kind != kinds_.end() && kind->second == ControlKind::Radio) {
            const int group = radioGroup_[id];
            for (const auto& [other, otherGroup] : radioGroup_) {
                if (otherGroup == group)
                    checked_[other] = false;
            }
            checked_[id] = true;
        }
        Notify(id, Notification::Clicked);
    }
    // A user's click on a button whose state the caller has already set.
    void Notify(int id, Notification what) {
        if (!ended_)
            model_.OnCommand(*this, id, what);
    }
    void Type(int id, const std::string& text) {
        if (ended_)
            return;
        texts_[id] = text;
        Notify(id, Notification::Changed);
    }

  private:
    ScriptedPlatform& owner_;
    DialogModel& model_;
    std::string resource_;
    std::set<int> echoed_;
    bool templateKnown_ = false;
    std::map<int, ControlKind> kinds_;
    std::map<int, int> radioGroup_;
    std::map<int, std::string> texts_;
    std::map<int, bool> checked_;
    bool ended_ = false;
    int result_ = 0;
};

ScriptedPlatform::ScriptedPlatform(std::vector<std::string> answers)
    : answers_(answers.begin(), answers.end()) {}

void ScriptedPlatform::SetStreams(std::ostream* output, std::ostream* errors) {
    output_ = output;
    errors_ = errors;
}

std::vector<std::string> ScriptedPlatform::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& entry : log_) {
        if (entry.rfind("message ", 0) == 0)
            messages.push_back(entry);
    }
    return messages;
}

void ScriptedPlatform::Record(std::string entry) {
    log_.push_back(std::move(entry));
}

bool ScriptedPlatform::NextAnswer(std::string& answer) {
    if (answers_.empty())
        return false;
    answer = std::move(answers_.front());
    answers_.pop_front();
    ++answersTaken_;
    return true;
}

void ScriptedPlatform::SetUsageError(const std::string& text) {
    // The first misfit explains the rest; later ones are usually its consequences.
    if (usageError_.empty())
        usageError_ = text;
}

void ScriptedPlatform::ShowMessage(int code, const std::string&, const std::string& text,
                                   MessageIcon, bool beep) {
    if (beep)
        ++beeps_;
    std::string line = "message " + std::to_string(code) + ": " + OneLine(text);
    if (errors_ != nullptr)
        *errors_ << line << '\n';
    Record(std::move(line));
}

void ScriptedPlatform::Beep() {
    ++beeps_;
    if (errors_ != nullptr)
        *errors_ << "beep\n";
    Record("beep");
}

bool ScriptedPlatform::SelectFile(const FileDialogRequest& request, std::string& chosenPath) {
    fileRequests_.push_back(request);
    Record((request.save ? "save: " : "open: ") + request.title);
    std::string answer;
    if (!NextAnswer(answer) || answer == kCancelAnswer)
        return false;
    if (answer == kOkAnswer) {
        if (request.initialPath.empty()) {
            SetUsageError("file dialog \"" + request.title + "\" proposes no name to take with " +
                          kOkAnswer);
            return false;
        }
        answer = request.initialPath;
    } else if (answer.empty() || answer[0] == ':') {
        SetUsageError("file dialog \"" + request.title + "\" cannot take the answer \"" + answer +
                      "\"");
        return false;
    }
    chosenPath = ResolveTypedName(request, answer);
    return true;
}

int ScriptedPlatform::RunDialog(DialogModel& model) {
    const std::string resource = model.Resource();
    Record("dialog: " + resource);
    const ScriptBinding binding = model.Script();
    Dialog dialog(*this, model, resource, binding.echoedLabels);
    bool known = true;
    if (lookup_) {
        const DialogTemplate* found = lookup_(resource);
        known = found != nullptr;
        if (known)
            dialog.Load(*found);
    }
    model.OnInit(dialog);
    std::string answer;
    if (!known) {
        SetUsageError("dialog " + resource + " has no template");
        NextAnswer(answer); // the answer meant for it goes with it
        dialog.Click(kIdCancel);
    } else if (!dialog.Ended()) {
        if (NextAnswer(answer))
            RunAnswer(dialog, binding, answer);
        else
            dialog.Click(binding.kind == ScriptKind::Actions ? binding.stopId : kIdCancel);
    }
    if (!dialog.Ended())
        dialog.End(0);
    return dialog.Result();
}

void ScriptedPlatform::RunAnswer(Dialog& dialog, const ScriptBinding& binding,
                                 const std::string& answer) {
    if (binding.kind == ScriptKind::Actions) {
        RunActions(dialog, binding, answer);
        return;
    }
    if (answer == kCancelAnswer || answer == kOkAnswer) {
        dialog.Click(answer == kOkAnswer ? kIdOk : kIdCancel);
        return;
    }
    bool applied = false;
    switch (binding.kind) {
    case ScriptKind::None:
        Misfit(dialog, "the answer \"" + answer + "\" does not fit; it takes only :ok or :cancel");
        break;
    case ScriptKind::Choice:
        applied = AnswerChoice(dialog, binding, answer);
        break;
    case ScriptKind::Checks:
        applied = AnswerChecks(dialog, binding, answer);
        break;
    case ScriptKind::Field:
        applied = AnswerField(dialog, binding, answer);
        break;
    case ScriptKind::Actions:
        break;
    }
    if (applied)
        dialog.Click(kIdOk);
}

bool ScriptedPlatform::Misfit(Dialog& dialog, const std::string& why) {
    SetUsageError("dialog " + dialog.Resource() + ": " + why);
    dialog.Click(kIdCancel);
    return false;
}

bool ScriptedPlatform::HasControl(Dialog& dialog, int id) {
    return dialog.HasControl(id) ||
           Misfit(dialog, "control " + std::to_string(id) + " is not in its template");
}

bool ScriptedPlatform::AnswerChoice(Dialog& dialog, const ScriptBinding& binding,
                                    const std::string& answer) {
    const int id = FindChoice(binding.choices, answer);
    if (id == 0)
        return Misfit(dialog, "the answer \"" + answer + "\" is not one of " +
                                  JoinChoices(binding.choices));
    if (!HasControl(dialog, id))
        return false;
    for (const auto& choice : binding.choices)
        dialog.SetChecked(choice.second, choice.second == id);
    dialog.Notify(id, Notification::Clicked);
    return true;
}

bool ScriptedPlatform::AnswerChecks(Dialog& dialog, const ScriptBinding& binding,
                                    const std::string& answer) {
    std::set<int> wanted;
    if (answer != "none") {
        size_t start = 0;
        for (;;) {
            const size_t plus = answer.find('+', start);
            const std::string word = answer.substr(start, plus - start);
            const int id = FindChoice(binding.choices, word);
            if (id == 0)
                return Misfit(dialog, "\"" + word + "\" is not one of none, " +
                                          JoinChoices(binding.choices));
            wanted.insert(id);
            if (plus == std::string::npos)
                break;
            start = plus + 1;
        }
    }
    for (const auto& choice : binding.choices) {
        if (!HasControl(dialog, choice.second))
            return false;
    }
    // Only boxes whose state differs are clicked, as a user ticking them would.
    for (const auto& choice : binding.choices) {
        const bool tick = wanted.count(choice.second) != 0;
        if (dialog.Checked(choice.second) != tick) {
            dialog.SetChecked(choice.second, tick);
            dialog.Notify(choice.second, Notification::Clicked);
        }
    }
    return true;
}

bool ScriptedPlatform::AnswerField(Dialog& dialog, const ScriptBinding& binding,
                                   const std::string& answer) {
    if (!HasControl(dialog, binding.fieldId))
        return false;
    dialog.Type(binding.fieldId, answer);
    return true;
}

void ScriptedPlatform::RunActions(Dialog& dialog, const ScriptBinding& binding,
                                  std::string answer) {
    for (;;) {
        if (answer == kStopAnswer) {
            dialog.Click(binding.stopId);
            return;
        }
        if (answer == kOkAnswer || answer == kCancelAnswer) {
            dialog.Click(answer == kOkAnswer ? kIdOk : kIdCancel);
            return;
        }
        const ActionAnswer taken = TakeActionAnswer(binding, answer);
        if (taken.action == nullptr || !dialog.HasControl(taken.action->id)) {
            Misfit(dialog,
                   "the answer \"" + answer + "\" does not fit; it takes " + ActionList(binding));
            return;
        }
        RunAction(dialog, *taken.action, taken.text);
        if (dialog.Ended())
            return;
        if (!NextAnswer(answer)) {
            dialog.Click(binding.stopId);
            return;
        }
    }
}

void ScriptedPlatform::RunAction(Dialog& dialog, const ScriptAction& action,
                                 const std::string& text) {
    switch (action.op) {
    case ScriptAction::Op::SetField:
        dialog.Type(action.id, text);
        break;
    case ScriptAction::Op::Click:
        dialog.Click(action.id);
        break;
    case ScriptAction::Op::ClickNested: {
        answers_.push_front(text);
        const long taken = answersTaken_;
        dialog.Click(action.id);
        // The click may open no dialog (the model can refuse); its answer must not then be
        // taken for the next action.
        if (answersTaken_ == taken && !answers_.empty())
            answers_.pop_front();
        break;
    }
    }
}

void ScriptedPlatform::SetCursor(Cursor cursor) {
    // Readers set the wait cursor once per line; only changes are worth a log entry.
    if (cursor != cursor_)
        Record(cursor == Cursor::Wait ? "cursor: wait" : "cursor: arrow");
    cursor_ = cursor;
}

bool ScriptedPlatform::ShowPicture(const std::string& svgPath, const std::string&) {
    Record("picture: " + svgPath);
    if (output_ != nullptr)
        *output_ << "picture: " << svgPath << '\n';
    return true;
}

bool ScriptedPlatform::StartProgram(const std::string& program, const std::string& folder) {
    Record("start: " + program + " in " + folder);
    if (!startPrograms_)
        return true;
    if (program.empty())
        return false;
    return StartDetachedProgram(program, folder);
}

std::string ScriptedPlatform::SettingsFolder() {
    return settingsFolder_.empty() ? DefaultSettingsFolder() : settingsFolder_;
}

} // namespace corelith
