// The one table of the workbench's menu commands: id, menu text, handler, grayed or not,
// and whether the batch front end runs it, in the menus, order and separators of the menu
// bar. The menu bar, the dispatch of RunCommand and the batch front end's list of
// commands are all derived from it, so they cannot disagree.
#pragma once

#include "platform/menu.h"

#include <string_view>
#include <vector>

namespace corelith {

struct Workbench;

// Command ids the front ends and tests know by name.
enum CommandId {
    kCmdTransferFunctionProject = 11,
    kCmdVelmarProject = 12,
    kCmdExecuteQuillon = 16,
    kCmdExecuteMarvane = 17,
    kCmdExit = 18, // handled by the front end: closes the main window
    kCmdSetupQuillon = 38,
    kCmdSetupMarvane = 39,
    kCmdHelp = 73,
    kCmdAbout = 74,
};

// Runs a command on the workbench; returns its signed result.
using CommandHandler = int (*)(Workbench& wb);

struct Command {
    int id = 0;            // 0 for a separator
    std::string_view text; // "&" marks the mnemonic, "\t" starts the shortcut shown on the right
    CommandHandler handler = nullptr; // nullptr: the command has no action in the workbench
    bool grayed = false;              // shown disabled
    bool inBatch = false;             // the batch front end runs it
};

struct CommandMenu {
    std::string_view title;
    std::vector<Command> commands; // in menu order
};

// The menus of the menu bar in their order, "&?" last.
const std::vector<CommandMenu>& CommandMenus();

// The command with id `id`, or nullptr when the table has none (separators included).
const Command* FindCommand(int id);

// The menu bar as plain data for the desktop backend.
std::vector<Menu> MainMenu();

// The ids of the commands the batch front end runs, in ascending order.
std::vector<int> BatchCommands();

} // namespace corelith
