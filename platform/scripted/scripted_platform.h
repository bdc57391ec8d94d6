// A platform backend without any window: it answers every dialog from a list of answers
// and records what it was shown. Used by the tests and by the batch front end.
//
// Answers, one per dialog in the order the dialogs open:
//   file dialogs   a path as typed into the dialog (relative to the request's current
//                  folder; a name without extension gets the default extension), or ":ok"
//                  for the proposed name; overwrite and create prompts count as confirmed
//   any dialog     ":ok" (confirm unchanged) or ":cancel"
//   other dialogs  as the dialog's ScriptBinding says (radio choice, ticked boxes,
//                  field text, or a run of actions)
// Once the answers run out every further dialog is cancelled (an Actions dialog gets a
// click on its stop button instead).
//
// A dialog that the model does not end after the final OK, Cancel or stop click is ended
// with 0, so a script can never hang. Text the model sets with SetText sends no Changed
// notification; only typed answers do.
#pragma once

#include "platform/dialog_template.h"
#include "platform/platform.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace corelith {

class ScriptedPlatform : public Platform {
  public:
    ScriptedPlatform() = default;
    explicit ScriptedPlatform(std::vector<std::string> answers);

    void AddAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
    size_t AnswersLeft() const { return answers_.size(); }

    // Where the batch lines go: "message CODE: TEXT" and "beep" to `errors`, the texts of
    // echoed dialog labels ("ID: TEXT") to `output`. Either may be null.
    void SetStreams(std::ostream* output, std::ostream* errors);
    // Without a call the settings folder is DefaultSettingsFolder().
    void SetSettingsFolder(std::string folder) { settingsFolder_ = std::move(folder); }
    // With a lookup, dialogs start with their templates' texts, a click on a check box or
    // radio button toggles it first, and a dialog without a template is a usage error.
    // Without one every control starts empty and unchecked.
    void SetDialogLookup(DialogTemplateLookup lookup) { lookup_ = std::move(lookup); }

    // What happened, one entry each, e.g. "message 147: Something is wrong.\nProject ...",
    // "beep", "open: Select data file", "save: Save project as", "dialog: FORMATSPECIES",
    // "cursor: wait", "start: /path/prog in /folder", "picture: /path/plot.svg".
    const std::vector<std::string>& Log() const { return log_; }
    std::vector<std::string> Messages() const; // the "message ..." entries only
    int BeepCount() const { return beeps_; }
    Cursor CurrentCursor() const { return cursor_; }
    const std::vector<FileDialogRequest>& FileRequests() const { return fileRequests_; }

    // An answer did not fit its dialog (or a dialog has no template): the text says why.
    // The dialog is cancelled and the batch front end reports a usage error.
    const std::string& UsageError() const { return usageError_; }

    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override;
    void Beep() override;
    bool SelectFile(const FileDialogRequest& request, std::string& chosenPath) override;
    int RunDialog(DialogModel& model) override;
    void SetCursor(Cursor cursor) override;
    bool StartProgram(const std::string& program, const std::string& folder) override;
    // Logged as "picture: PATH" and written so to the output stream; returns true.
    bool ShowPicture(const std::string& svgPath, const std::string& title) override;
    std::string SettingsFolder() override;

  private:
    class Dialog;
    friend class Dialog;
    bool NextAnswer(std::string& answer);
    void SetUsageError(const std::string& text);
    // One answer to an open dialog; the kind of answer is the binding's.
    void RunAnswer(Dialog& dialog, const ScriptBinding& binding, const std::string& answer);
    // Each applies an answer that is not ":ok" or ":cancel" and returns true, or reports the
    // misfit, cancels the dialog and returns false.
    bool AnswerChoice(Dialog& dialog, const ScriptBinding& binding, const std::string& answer);
    bool AnswerChecks(Dialog& dialog, const ScriptBinding& binding, const std::string& answer);
    bool AnswerField(Dialog& dialog, const ScriptBinding& binding, const std::string& answer);
    // Actions, one answer each, until the dialog ends or the answers run out.
    void RunActions(Dialog& dialog, const ScriptBinding& binding, std::string answer);
    void RunAction(Dialog& dialog, const ScriptAction& action, const std::string& text);
    // A misfit answer: the usage error names the dialog and `why`; the dialog is cancelled.
    bool Misfit(Dialog& dialog, const std::string& why);
    // False after a misfit when the template of the open dialog lacks control `id`.
    bool HasControl(Dialog& dialog, int id);
    void Record(std::string entry);

    std::deque<std::string> answers_;
    long answersTaken_ = 0;
    DialogTemplateLookup lookup_;
    std::ostream* output_ = nullptr;
    std::ostream* errors_ = nullptr;
    std::string settingsFolder_;
    std::vector<std::string> log_;
    std::vector<FileDialogRequest> fileRequests_;
    int beeps_ = 0;
    Cursor cursor_ = Cursor::Arrow;
    std::string usageError_;
    bool startPrograms_ = false;

  public:
    // Tests leave programs unstarted (only logged); the batch front end starts them.
    void SetStartPrograms(bool start) { startPrograms_ = start; }
};

} // namespace corelith
