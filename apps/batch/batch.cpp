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

    ScriptedPlatform platform(std::vector<std::string>(args.begin() + 1, args.end()));
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
    if (platform.AnswersLeft() > 0)
        return UsageError(err, std::to_string(platform.AnswersLeft()) +
                                   (platform.AnswersLeft() == 1 ? " answer" : " answers") +
                                   " left over when the command ended");
    return result < 0 ? 1 : 0;
}

} // namespace corelith
