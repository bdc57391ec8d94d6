// The main window for real: its frame, menus, status bar and icon, commands from menu items
// and keys, the wait cursor over it, and the workbench's own dialogs opened from its menu
// (pictured when CORELITH_SCREENSHOT_DIR asks for pictures).
#include "platform/win32/main_window.h"

#include "counting/counting.h"
#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "ranking/ranking.h"
#include "shell/commands.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

namespace corelith {
namespace {

using namespace wintest;

MainWindowSpec Spec() {
    MainWindowSpec spec;
    spec.title = "Corelith";
    spec.menus = MainMenu();
    spec.accelerators = Accelerators();
    return spec;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

TEST(MainWindow, HasItsFrameStatusBarIconAndTheMenusOfItsDescription) {
    Win32Platform platform(FindDialogTemplate);
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
            const std::vector<Menu>& table = MainMenu();
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
    EXPECT_EQ(platform.RunMainWindow(Spec(), [](int) {}), 0);
    EXPECT_EQ(platform.Owner(), nullptr);
}

TEST(MainWindow, MenuItemsAndKeysReachTheirCommands) {
    Win32Platform platform(FindDialogTemplate);
    std::vector<int> heard;
    std::vector<int> expected;
    HWND window = nullptr;
    WhenWindow([&] { return platform.Owner(); },
               [&](HWND main) {
                   window = main;
                   for (const Menu& menu : MainMenu()) {
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
    EXPECT_EQ(platform.RunMainWindow(Spec(), [&](int id) { heard.push_back(id); }), 0);
    expected.insert(expected.end(), {11, 12, 73});
    EXPECT_EQ(heard, expected);
}

TEST(MainWindow, TheWaitCursorShowsOverTheWindowUnlessABoxHasItDisabled) {
    Win32Platform platform(FindDialogTemplate);
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
    platform.RunMainWindow(Spec(), [](int) {});
}

// The workbench on the Win32 desktop: its option dialogs open from the menu with their
// settings, and each is pictured when pictures are asked for.
class WorkbenchScreens : public ::testing::Test {
  protected:
    void SetUp() override {
        appData_ = std::make_unique<testsupport::ScopedEnv>("APPDATA", dir_.Folder());
        wb_ = std::make_unique<Workbench>(platform_);
        StartWorkbench(*wb_);
        wb_->workingFolder = dir_.Folder();
    }

    // Runs `command` from the menu; when dialog `caption` opens, checks it with `check`,
    // takes its picture as `picture` and closes it with control `closeWith`.
    void ShowsDialog(int command, const std::wstring& caption, const std::string& picture,
                     std::function<void(HWND)> check, int closeWith = kIdCancel) {
        WhenWindow([&] { return platform_.Owner(); },
                   [&, command](HWND window) {
                       WhenWindow([&] { return FindDialog(caption); },
                                  [&](HWND dialog) {
                                      if (check)
                                          check(dialog);
                                      Snapshot(picture);
                                      SendMessageW(GetDlgItem(dialog, closeWith), BM_CLICK, 0, 0);
                                      Later([&] { platform_.CloseMainWindow(); });
                                  });
                       PostMessageW(window, WM_COMMAND, command, 0);
                   });
        platform_.RunMainWindow(Spec(), [&](int id) { RunCommand(*wb_, id); });
    }

    testsupport::TempDir dir_;
    std::unique_ptr<testsupport::ScopedEnv> appData_;
    Win32Platform platform_{FindDialogTemplate};
    std::unique_ptr<Workbench> wb_;
};

TEST_F(WorkbenchScreens, TheMainWindowWithAMenuDroppedDown) {
    WhenWindow([&] { return platform_.Owner(); },
               [&](HWND window) {
                   SetFocus(window);
                   // Alt+O would need a mnemonic; F opens "File" and two steps right reach
                   // "Options".
                   PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 'f');
                   Steps({[] { PressKey(VK_RIGHT); }, [] { PressKey(VK_RIGHT); },
                          [] { Snapshot("main_window_options_menu"); }, [] { EndMenu(); },
                          [&] {
                              Snapshot("main_window");
                              platform_.CloseMainWindow();
                          }});
               });
    EXPECT_EQ(platform_.RunMainWindow(Spec(), [](int) {}), 0);
}

TEST_F(WorkbenchScreens, OptionDialogsShowTheirSettings) {
    wb_->settings.slots[1].speciesFormat = 1;
    ShowsDialog(31, L"Format of species", "format_of_species", [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1165), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1164), BST_UNCHECKED);
    });
    ShowsDialog(32, L"Format of data", "format_of_data",
                [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, 1164), BST_CHECKED); });
    ShowsDialog(37, L"Used tools", "used_tools", nullptr);
    ShowsDialog(33, L"CapFac options", "capfac_options", nullptr);
    ShowsDialog(34, L"Regress options", "regress_options", nullptr);
    ShowsDialog(74, L"", "about_box", nullptr, kIdOk);
}

TEST_F(WorkbenchScreens, TheCertainFactorOpenAndCountingDialogs) {
    WhenWindow(
        [&] { return platform_.Owner(); },
        [&](HWND) {
            int decimalComma = 0;
            CertainFactorDialog certain(2.5f, decimalComma);
            WhenWindow([] { return FindDialog(L"Certain factor"); },
                       [](HWND dialog) {
                           EXPECT_EQ(ControlText(dialog, 1180), "2.5");
                           Snapshot("certain_factor");
                           SendMessageW(GetDlgItem(dialog, kIdCancel), BM_CLICK, 0, 0);
                       });
            platform_.RunDialog(certain);

            FileDialogRequest request;
            request.title = "Select the reference table";
            request.filters = {{"Text files (*.txt)", "*.txt"},
                               {"Text files (*.csv)", "*.csv"},
                               {"All files (*.*)", "*.*"}};
            request.currentFolder = dir_.Folder();
            testsupport::WriteFile(dir_.path() / "reference.txt", "x\n");
            std::string chosen;
            WhenWindow([] { return FindDialog(L"Select the reference table"); },
                       [](HWND dialog) {
                           Snapshot("open_dialog");
                           PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                       });
            platform_.SelectFile(request, chosen);

            Tables& t = wb_->tables;
            t.cornerLabel = "Species";
            t.reference.names[1] = "GeoB 1501-1 0-1 cm";
            t.species.names[1] = "Globigerinoides ruber (white)";
            t.reference.Value(1, 1) = 31;
            t.reference.totals[1] = 31;
            CountingState state;
            state.sampleCount = 1;
            state.speciesCount = 1;
            CountingDialog counting(*wb_, state);
            WhenWindow(
                [] { return FindDialog(L"Counting dialog"); },
                [&](HWND dialog) {
                    PressKey(VK_RETURN);
                    Later([&, dialog] {
                        EXPECT_EQ(t.reference.Value(1, 1), 32);
                        EXPECT_EQ(
                            ControlText(dialog, kIdCountLine),
                            "Counted individuals of Globigerinoides ruber (white) in sample GeoB "
                            "1501-1 0-1 cm: 32");
                        Snapshot("counting_dialog");
                        PressKey(VK_ESCAPE);
                    });
                });
            platform_.RunDialog(counting);
            platform_.CloseMainWindow();
        });
    platform_.RunMainWindow(Spec(), [](int) {});
}

} // namespace
} // namespace corelith
