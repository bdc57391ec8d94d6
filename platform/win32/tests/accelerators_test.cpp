#include "platform/win32/accelerators.h"

#include <gtest/gtest.h>

#include <vector>

namespace corelith {
namespace {

struct Case {
    const char* keys;
    BYTE modifiers;
    WORD key;
};

TEST(Accelerators, ParseModifiersAndKeys) {
    const Case cases[] = {
        {"Ctrl+N", FCONTROL, 'N'},
        {"ctrl+z", FCONTROL, 'Z'},
        {"Alt+Backspace", FALT, VK_BACK},
        {"Shift+Del", FSHIFT, VK_DELETE},
        {"Shift+Delete", FSHIFT, VK_DELETE},
        {"Shift+Ins", FSHIFT, VK_INSERT},
        {"Ctrl+Insert", FCONTROL, VK_INSERT},
        {"F1", 0, VK_F1},
        {"F12", 0, VK_F12},
        {"Ctrl+Shift+S", FCONTROL | FSHIFT, 'S'},
        {"Alt+4", FALT, '4'},
    };
    for (const Case& c : cases) {
        ACCEL accel{};
        ASSERT_TRUE(ParseAccelerator(c.keys, 42, accel)) << c.keys;
        EXPECT_EQ(accel.fVirt, FVIRTKEY | FNOINVERT | c.modifiers) << c.keys;
        EXPECT_EQ(accel.key, c.key) << c.keys;
        EXPECT_EQ(accel.cmd, 42) << c.keys;
    }
}

TEST(Accelerators, RefuseWhatNamesNoSingleKey) {
    for (const char* keys : {"", "Ctrl", "Ctrl+", "+N", "F0", "F25", "Fx", "Hyper+N", "N+Ctrl",
                             "Ctrl+NN", "Ctrl+N+M", "Ctrl+-"}) {
        ACCEL accel{};
        EXPECT_FALSE(ParseAccelerator(keys, 1, accel)) << keys;
    }
    ACCEL accel{};
    EXPECT_FALSE(ParseAccelerator("F1", 70000, accel)) << "a command id must fit 16 bits";
}

TEST(Accelerators, ATableHoldsEveryEntryThatParses) {
    const std::vector<Accelerator> entries = {
        {"Ctrl+N", 11}, {"Hyper+Q", 12}, {"F1", 73}, {"Alt+Backspace", 21}};
    HACCEL table = CreateAccelerators(entries);
    ASSERT_NE(table, nullptr);
    ACCEL kept[8] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, kept, 8), 3);
    EXPECT_EQ(kept[0].cmd, 11);
    EXPECT_EQ(kept[1].cmd, 73);
    EXPECT_EQ(kept[2].cmd, 21);
    DestroyAcceleratorTable(table);
    EXPECT_EQ(CreateAccelerators({{"Hyper+Q", 12}}), nullptr);
    EXPECT_EQ(CreateAccelerators({}), nullptr);
}

} // namespace
} // namespace corelith
