#include "apps/batch/batch.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/commands.h"
#include "workbench.h"

#include <charconv>

namespace corelith {

namespace {

constexpr int kUsageStatus = 2;

bool ParseCommand(const std::string& text, int& id) {
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, id);
    return !text.empty() && error == std::errc() && end == last;
}

int UsageError(std::ostream& err, const std::string& text) {
    err << "corelith: " << text << '\n' << kBatchUsage << '\n';
    return kUsageStatus;
}

std::string CommandList() {
    std::string list;
    for (int id : BatchCommands()) {
        if (!list.empty())
            list += ' ';
        list += std::to_string(id);
    }
    return list;
}

// The scripted backend that also notes whether an error box was shown: a command that
// reported a failure of its data or files ends with status 1, even when the failure left
// answers unused.
class BatchPlatform final : public ScriptedPlatform {
  public:
    using ScriptedPlatform::ScriptedPlatform;

    void ShowMessage(int code, const std::string& caption, const std::string& text,
                     MessageIcon icon, bool beep) override {
        if (icon == MessageIcon::Stop)
            errorShown_ = true;
        ScriptedPlatform::ShowMessage(code, caption, text, icon, beep);
    }
    bool ErrorShown() const { return errorShown_; }

  private:
    bool errorShown_ = false;
};

} // namespace

bool IsBatchCommand(int id) {
    const Command* command = FindCommand(id);
    return command != nullptr && command->inBatch;
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunBatch(args, out, err, BatchOptions{});
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchOptions& options) {
    if (args.empty())
        return UsageError(err, "no command given");
    int id = 0;
    if (!ParseCommand(args[0], id) || !IsBatchCommand(id))
        return UsageError(err,
                          "unknown command \"" + args[0] + "\" (commands: " + CommandList() + ")");

    BatchPlatform platform(std::vector<std::string>(args.begin() + 1, args.end()));
    platform.SetStreams(&out, &err);
    platform.SetStartPrograms(true);
    platform.SetDialogLookup(FindDialogTemplate);
    if (!options.settingsFolder.empty())
        platform.SetSettingsFolder(options.settingsFolder);
    Workbench wb(platform);
    StartWorkbench(wb);
    if (!options.workingFolder.empty())
        wb.workingFolder = options.workingFolder;
    wb.programFolder = options.programFolder;
    const int result = RunCommand(wb, id);
    out << "result " << result << '\n';

    if (!platform.UsageError().empty())
        return UsageError(err, platform.UsageError());
    // A failure ends a command before it has asked all its questions; the answers left
    // over are its consequence, not a fault of the command line.
    if (result < 0 || (platform.AnswersLeft() > 0 && platform.ErrorShown()))
        return 1;
    if (platform.AnswersLeft() > 0)
        return UsageError(err, std::to_string(platform.AnswersLeft()) +
                                   (platform.AnswersLeft() == 1 ? " answer" : " answers") +
                                   " left over when the command ended");
    return result < 0 ? 1 : 0;
}

} // namespace corelith
