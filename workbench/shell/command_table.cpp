#include "shell/command_table.h"

#include "analogproject/analog_project.h"
#include "converters/converters.h"
#include "counting/counting.h"
#include "plotting/plot_command.h"
#include "ranking/ranking.h"
#include "shell/commands.h"
#include "shell/messages.h"
#include "shell/option_dialogs.h"
#include "tfproject/tf_project.h"
#include "workbench.h"

#include <algorithm>
#include <string>

namespace corelith {

namespace {

// How a command appears and where it runs.
constexpr bool kGrayed = true;
constexpr bool kActive = false;
constexpr bool kBatch = true;
constexpr bool kDesktopOnly = false;

constexpr Command kSeparator{};

// The Options menu and the info commands act on project slot 1 and the message catalogue.
int FormatOfSpeciesCommand(Workbench& wb) {
    return FormatOfSpecies(wb, wb.settings.slots[1].speciesFormat);
}
int FormatOfDataCommand(Workbench& wb) {
    return FormatOfData(wb, wb.settings.slots[1].dataFormat);
}
int CapFacOptionsCommand(Workbench& wb) {
    return CapFacOptions(wb, 1);
}
int RegressOptionsCommand(Workbench& wb) {
    return RegressOptions(wb, 1);
}
int UsedToolsCommand(Workbench& wb) {
    ProjectSlot& slot = wb.settings.slots[1];
    return UsedTools(wb, slot.usedCapFac, slot.usedRegress, slot.usedThread);
}
int TransferFunctionProjectCommand(Workbench& wb) {
    return RunProjectCommand(wb, BuildTransferFunctionProject);
}
int VelmarProjectCommand(Workbench& wb) {
    return RunProjectCommand(wb, BuildAnalogProject);
}
int InfoCommand(Workbench& wb) {
    ShowInformation(wb.platform, kMsgInfo);
    return 0;
}
int VersionCommand(Workbench& wb) {
    ShowInformation(wb.platform, kMsgVersion);
    return 0;
}
int HelpCommand(Workbench& wb) {
    ShowInformation(wb.platform, kMsgHelp);
    return 0;
}

} // namespace

const std::vector<CommandMenu>& CommandMenus() {
    static const std::vector<CommandMenu> menus = {
        {"&File",
         {{kCmdTransferFunctionProject, "New Transfer Function Project...",
           TransferFunctionProjectCommand, kActive, kBatch},
          {kCmdVelmarProject, "New Velmar Project...", VelmarProjectCommand, kActive, kBatch},
          kSeparator,
          {kCmdExecuteQuillon, "Execute Quillon", ExecuteQuillon, kActive, kBatch},
          {kCmdExecuteMarvane, "Execute Marvane", ExecuteMarvane, kActive, kBatch},
          kSeparator,
          {kCmdExit, "E&xit", nullptr, kActive, kDesktopOnly}}},
        {"&Edit",
         {{21, "&Undo\tCtrl+Z", nullptr, kGrayed, kDesktopOnly},
          {22, "Cu&t\tCtrl+X", nullptr, kGrayed, kDesktopOnly},
          {23, "&Copy\tCtrl+C", nullptr, kGrayed, kDesktopOnly},
          {24, "&Paste", nullptr, kGrayed, kDesktopOnly},
          {25, "De&lete\tDel", nullptr, kGrayed, kDesktopOnly},
          {26, "&Select All", nullptr, kGrayed, kDesktopOnly}}},
        {"Options",
         {{31, "Format of species...", FormatOfSpeciesCommand, kActive, kBatch},
          {32, "Format of data...", FormatOfDataCommand, kActive, kBatch},
          kSeparator,
          {33, "CapFac...", CapFacOptionsCommand, kActive, kBatch},
          {34, "Regress...", RegressOptionsCommand, kActive, kBatch},
          {35, "Thread....", nullptr, kGrayed, kBatch},
          {36, "Velmar...", nullptr, kActive, kBatch},
          kSeparator,
          {37, "Program...", UsedToolsCommand, kActive, kBatch},
          kSeparator,
          {kCmdSetupQuillon, "Setup Quillon.exe...", SetupQuillon, kActive, kBatch},
          {kCmdSetupMarvane, "Setup Marvane.exe...", SetupMarvane, kActive, kBatch}}},
        {"Ranking",
         {{41, "Create stepwise ranking system...", CreateStepwiseRanking, kActive, kBatch},
          {42, "Create database...", CreateRankDatabase, kActive, kBatch},
          {43, "Create continuous (logarithmic) ranking system...", CreateLogarithmicRanking,
           kActive, kBatch}}},
        {"Converter",
         {{51, "Raw data -> Frequency Matrix...", ConvertRawToFrequencyMatrix, kActive, kBatch},
          {54, "%-database -> Frequency Matrix...", ConvertPercentToFrequencyMatrix, kActive,
           kBatch},
          {53, "Frequency Matrix -> database...", ConvertFrequencyMatrixToDatabase, kActive,
           kBatch}}},
        {"&Tools",
         {{64, "Counting...", CountSpecimens, kActive, kBatch},
          {65, "Plot estimates...", PlotEstimates, kActive, kBatch}}},
        {"&?",
         {{71, "Info", InfoCommand, kActive, kBatch},
          {72, "Version", VersionCommand, kActive, kBatch},
          kSeparator,
          {kCmdHelp, "&Help", HelpCommand, kActive, kBatch},
          {kCmdAbout, "&About Corelith...", ShowAboutBox, kActive, kBatch}}},
    };
    return menus;
}

const Command* FindCommand(int id) {
    if (id == 0)
        return nullptr;
    for (const CommandMenu& menu : CommandMenus()) {
        for (const Command& command : menu.commands) {
            if (command.id == id)
                return &command;
        }
    }
    return nullptr;
}

std::vector<Menu> MainMenu() {
    std::vector<Menu> bar;
    for (const CommandMenu& menu : CommandMenus()) {
        Menu& shown = bar.emplace_back();
        shown.title = menu.title;
        for (const Command& command : menu.commands)
            shown.items.push_back({command.id, std::string(command.text), command.grayed});
    }
    return bar;
}

std::vector<int> BatchCommands() {
    std::vector<int> ids;
    for (const CommandMenu& menu : CommandMenus()) {
        for (const Command& command : menu.commands) {
            if (command.inBatch)
                ids.push_back(command.id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace corelith
