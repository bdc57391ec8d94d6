#include "shell/command_table.h"

#include "resources/accelerators.h"
#include "shell/commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace corelith {
namespace {

TEST(MenuTable, EveryCommandOfTheMenuIsDispatchedOrDeliberatelyInactive) {
    // The menu items that act, as the menu table lists them.
    std::vector<int> acting;
    std::vector<int> grayed;
    for (const Menu& menu : MainMenu()) {
        for (const MenuItem& item : menu.items) {
            if (item.grayed)
                grayed.push_back(item.id);
            else if (item.id != 0)
                acting.push_back(item.id);
        }
    }
    EXPECT_EQ(grayed, (std::vector<int>{21, 22, 23, 24, 25, 26, 35}));
    EXPECT_EQ(acting, (std::vector<int>{11, 12, 16, 17, 18, 31, 32, 33, 34, 36, 37, 38, 39,
                                        41, 42, 43, 51, 54, 53, 64, 65, 71, 72, 73, 74}));
    EXPECT_EQ(MainMenu().back().title, "&?");
    ASSERT_NE(FindCommand(43), nullptr);
    EXPECT_EQ(FindCommand(43)->text, "Create continuous (logarithmic) ranking system...");
    EXPECT_EQ(FindCommand(0), nullptr);
    EXPECT_EQ(FindCommand(19), nullptr);
}

TEST(MenuTable, SeparatorsStandWhereTheMenuHasThem) {
    auto itemsBeforeSeparators = [](const Menu& menu) {
        std::vector<int> ids;
        for (size_t i = 1; i < menu.items.size(); ++i) {
            if (menu.items[i].id == 0)
                ids.push_back(menu.items[i - 1].id);
        }
        return ids;
    };
    const auto& menus = MainMenu();
    ASSERT_EQ(menus.size(), 7u);
    EXPECT_EQ(itemsBeforeSeparators(menus[0]), (std::vector<int>{12, 17}));
    EXPECT_EQ(itemsBeforeSeparators(menus[1]), std::vector<int>{});
    EXPECT_EQ(itemsBeforeSeparators(menus[2]), (std::vector<int>{32, 36, 37}));
    EXPECT_EQ(itemsBeforeSeparators(menus[6]), std::vector<int>{72});
}

TEST(MenuTable, EachIdAppearsOnceAndEveryAcceleratorNamesACommand) {
    std::set<int> ids;
    for (const CommandMenu& menu : CommandMenus()) {
        for (const Command& command : menu.commands) {
            if (command.id != 0) {
                EXPECT_TRUE(ids.insert(command.id).second) << command.id;
            }
        }
    }
    for (const Accelerator& accelerator : Accelerators())
        EXPECT_NE(FindCommand(accelerator.command), nullptr) << accelerator.keys;
}

TEST(MenuTable, TheBatchRunsEveryCommandButExitAndTheEditItems) {
    EXPECT_EQ(BatchCommands(), (std::vector<int>{11, 12, 16, 17, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                                                 41, 42, 43, 51, 53, 54, 64, 65, 71, 72, 73, 74}));
}

TEST(MenuTable, OnlyCommandsWithoutAHandlerHaveNoAction) {
    // The ones the shell leaves without an action: Exit (the front end's), the grayed Edit
    // items, "Thread...." and "Velmar...".
    std::vector<int> inactive;
    for (const CommandMenu& menu : CommandMenus()) {
        for (const Command& command : menu.commands) {
            if (command.id != 0 && command.handler == nullptr)
                inactive.push_back(command.id);
        }
    }
    EXPECT_EQ(inactive, (std::vector<int>{18, 21, 22, 23, 24, 25, 26, 35, 36}));
}

} // namespace
} // namespace corelith
