// The main window for real: its frame, menus, status bar and icon, commands from menu items
// and keys, and the wait cursor over it.
#include "platform/win32/main_window.h"

#include "platform/wide_text.h"
#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

namespace corelith {
namespace {

using namespace wintest;

// A menu bar with what a program's may hold: mnemonics, shortcuts shown after a tab,
// separators, grayed items, a name outside ASCII.
MainWindowLayout Layout() {
    MainWindowLayout layout;
    layout.title = "Corelith";
    layout.menus = {
        {"&File",
         {{11, "New..."},
          {12, "Open \xC3\x9C"
               "bersicht..."},
          {0, ""},
          {18, "E&xit"}}},
        {"&Edit", {{21, "&Undo\tCtrl+Z", true}, {25, "De&lete\tDel", true}}},
        {"&?", {{73, "&Help"}, {0, ""}, {74, "&About..."}}},
    };
    layout.accelerators = {{"Ctrl+N", 11}, {"Ctrl+R", 12}, {"F1", 73}, {"Ctrl+Z", 21}};
    return layout;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST(MainWindow, HasItsFrameStatusBarIconAndTheMenusOfItsDescription) {
    Win32Platform platform(nullptr);
    WhenWindow(
        [&] { return platform.Owner(); },
        [&](HWND window) {
            EXPECT_EQ(TextOf(window), "Corelith");
            EXPECT_EQ(ClassOf(window), L"Corelith");
            RECT frame{};
            GetWindowRect(window, &frame);
            EXPECT_EQ(frame.left, GetSystemMetrics(SM_CXSCREEN) / 20);
            EXPECT_EQ(frame.top, GetSystemMetrics(SM_CYSCREEN) / 20);
            EXPECT_EQ(frame.right - frame.left, 400);
            EXPECT_EQ(frame.bottom - frame.top, 200);
            const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
            EXPECT_EQ(exStyle & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
            EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND),
                      reinterpret_cast<ULONG_PTR>(GetStockObject(WHITE_BRUSH)));
            EXPECT_NE(GetClassLongPtrW(window, GCLP_HICON), 0u) << "the icon of the resources";
            EXPECT_NE(GetClassLongPtrW(window, GCLP_HICONSM), 0u);

            HWND status = GetDlgItem(window, kStatusBarId);
            ASSERT_NE(status, nullptr);
            EXPECT_EQ(ClassOf(status), STATUSCLASSNAMEW);
            EXPECT_NE(GetWindowLongW(status, GWL_STYLE) & SBARS_SIZEGRIP, 0);
            EXPECT_EQ(TextOf(status), "");
            RECT client{};
            RECT bar{};
            GetClientRect(window, &client);
            GetWindowRect(status, &bar);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
            EXPECT_EQ(bar.bottom, client.bottom);
            EXPECT_EQ(bar.right - bar.left, client.right);

            HMENU menu = GetMenu(window);
            const std::vector<Menu> table = Layout().menus;
            ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(table.size()));
            for (size_t m = 0; m < table.size(); ++m) {
                wchar_t text[128] = {};
                GetMenuStringW(menu, static_cast<UINT>(m), text, 128, MF_BYPOSITION);
                EXPECT_EQ(Narrow(text), table[m].title);
                HMENU popup = GetSubMenu(menu, static_cast<int>(m));
                ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(table[m].items.size()));
                for (size_t i = 0; i < table[m].items.size(); ++i) {
                    const MenuItem& item = table[m].items[i];
                    const UINT state = GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
                    EXPECT_EQ((state & MF_SEPARATOR) != 0, item.id == 0) << table[m].title << i;
                    if (item.id == 0)
                        continue;
                    EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)),
                              static_cast<UINT>(item.id));
                    GetMenuStringW(popup, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
                    EXPECT_EQ(Narrow(text), item.text);
                    EXPECT_EQ((state & MF_GRAYED) != 0, item.grayed) << item.text;
                }
            }
            platform.CloseMainWindow();
        });
    EXPECT_EQ(platform.RunMainWindow(Layout(), [](int) {}), 0);
    EXPECT_EQ(platform.Owner(), nullptr);
}

TEST(MainWindow, MenuItemsAndKeysReachTheirCommands) {
    Win32Platform platform(nullptr);
    std::vector<int> heard;
    std::vector<int> expected;
    HWND window = nullptr;
    WhenWindow([&] { return platform.Owner(); },
               [&](HWND main) {
                   window = main;
                   for (const Menu& menu : Layout().menus) {
                       for (const MenuItem& item : menu.items) {
                           if (item.id != 0 && !item.grayed) {
                               PostMessageW(main, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
                               expected.push_back(item.id);
                           }
                       }
                   }
                   SetFocus(main);
                   Steps({[] { PressKey('N', true); }, [] { PressKey('R', true); },
                          [] { PressKey(VK_F1); },
                          [] { PressKey('N'); }, // without Ctrl: no command
                          [&] {
                              // A click into the client area does nothing.
                              PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
                              PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
                          },
                          [&] { platform.CloseMainWindow(); }});
               });
    EXPECT_EQ(platform.RunMainWindow(Layout(), [&](int id) { heard.push_back(id); }), 0);
    expected.insert(expected.end(), {11, 12, 73});
    EXPECT_EQ(heard, expected);
}

TEST(MainWindow, TheWaitCursorShowsOverTheWindowUnlessABoxHasItDisabled) {
    Win32Platform platform(nullptr);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    WhenWindow([&] { return platform.Owner(); },
               [&](HWND window) {
                   const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
                   platform.SetCursor(Cursor::Wait);
                   SetCursor(arrow);
                   SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), overClient);
                   EXPECT_EQ(GetCursor(), wait);
                   EnableWindow(window, FALSE);
                   SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), overClient);
                   EXPECT_EQ(GetCursor(), arrow);
                   EnableWindow(window, TRUE);
                   platform.SetCursor(Cursor::Arrow);
                   SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), overClient);
                   EXPECT_EQ(GetCursor(), arrow);
                   platform.CloseMainWindow();
               });
    platform.RunMainWindow(Layout(), [](int) {});
}

} // namespace
} // namespace corelith
