// The desktop workbench end to end on the Win32 backend: the main window it asks for, its
// commands from menu items and keys, every dialog of the workbench opened for real and
// driven by messages (pictured when CORELITH_SCREENSHOT_DIR asks for pictures), the settings
// file in the user's application data, and the corelith program itself.
#include "apps/desktop/desktop_workbench.h"

#include "corelith_version.h"
#include "counting/counting.h"
#include "platform/wide_text.h"
#include "platform/win32/accelerators.h"
#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/win32_platform.h"
#include "ranking/ranking.h"
#include "resources/dialog_templates.h"
#include "shell/command_table.h"
#include "shell/settings.h"
#include "testing/test_support.h"
#include "textio/paths.h"
#include "workbench.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corelith {
namespace {

using namespace wintest;

// Windows line ends in place of "\n".
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

class DesktopWorkbenchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wb_ = std::make_unique<Workbench>(platform_);
        StartWorkbench(*wb_);
        wb_->workingFolder = dir_.Folder();
        dispatch_ = std::make_unique<CommandDispatch>(*wb_, platform_);
    }

    // Runs the workbench's main window; `withWindow` gets it once it is shown.
    int Run(std::function<void(HWND)> withWindow) {
        WhenWindow([this] { return platform_.Owner(); }, std::move(withWindow));
        return platform_.RunMainWindow(WorkbenchWindowLayout(),
                                       [this](int id) { (*dispatch_)(id); });
    }

    // Runs `command` from the menu; when the dialog captioned `caption` opens, checks it with
    // `check`, takes its picture as `picture` and presses control `closeWith`.
    void ShowsDialog(int command, const std::wstring& caption, const std::string& picture,
                     std::function<void(HWND)> check, int closeWith = kIdCancel) {
        Run([&, command](HWND window) {
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
    }

    std::string SettingsFile() const { return settingsFolder_ + "Corelith\\Corelith.INI"; }

    testsupport::TempDir dir_;
    // The user's application data, in a folder whose name is outside ASCII.
    std::string settingsFolder_ = dir_.File("Anwendungsdaten J\xC3\xBCrgen") + "\\";
    testsupport::ScopedEnv appData_{"APPDATA", settingsFolder_};
    Win32Platform platform_{FindDialogTemplate};
    std::unique_ptr<Workbench> wb_;
    std::unique_ptr<CommandDispatch> dispatch_;
};

TEST_F(DesktopWorkbenchTest, TheSettingsFileIsWrittenToApplicationDataWithWindowsLineEnds) {
    const std::string expected = WithCrLf(testsupport::ReadFile(testsupport::PathOf(
        CORELITH_SOURCE_ROOT "/workbench/shell/tests/golden/settings_defaults.ini")));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(SettingsFilePath(*wb_), SettingsFile());
    EXPECT_EQ(testsupport::ReadBytes(testsupport::PathOf(SettingsFile())), expected);
}

TEST_F(DesktopWorkbenchTest, FormatOfSpeciesStoresAndSavesOnOk) {
    Run([&](HWND window) {
        WhenWindow([] { return FindDialog(L"Format of species"); },
                   [&](HWND dialog) {
                       EXPECT_EQ(IsDlgButtonChecked(dialog, 1164), BST_CHECKED);
                       SendMessageW(GetDlgItem(dialog, 1165), BM_CLICK, 0, 0);
                       SendMessageW(GetDlgItem(dialog, kIdOk), BM_CLICK, 0, 0);
                       Later([&] { platform_.CloseMainWindow(); });
                   });
        PostMessageW(window, WM_COMMAND, 31, 0);
    });
    EXPECT_EQ(wb_->settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(dispatch_->LastResult(), 1);
    const std::string saved = testsupport::ReadBytes(testsupport::PathOf(SettingsFile()));
    EXPECT_EQ(testsupport::LineOf(saved, 2).substr(0, 4), "0\t1\t");
    EXPECT_EQ(saved.substr(0, 10), "19990518\r\n");
}

TEST_F(DesktopWorkbenchTest, MenuItemsAndKeysReachTheirCommandsAndExitClosesTheWindow) {
    std::vector<int> heard;
    dispatch_->SetRunner([&](int id) {
        heard.push_back(id);
        return 0;
    });
    std::vector<int> expected;
    const int status = Run([&](HWND window) {
        for (const Menu& menu : WorkbenchWindowLayout().menus) {
            for (const MenuItem& item : menu.items) {
                if (item.id != 0 && !item.grayed && item.id != kCmdExit) {
                    PostMessageW(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
                    expected.push_back(item.id);
                }
            }
        }
        SetFocus(window);
        Steps({[] { PressKey('N', true); }, [] { PressKey('R', true); }, [] { PressKey(VK_F1); },
               [window] { PostMessageW(window, WM_COMMAND, MAKEWPARAM(kCmdExit, 0), 0); }});
    });
    EXPECT_EQ(status, 0);
    expected.insert(expected.end(), {kCmdTransferFunctionProject, kCmdVelmarProject, kCmdHelp});
    EXPECT_EQ(heard, expected);
}

TEST_F(DesktopWorkbenchTest, EveryAcceleratorOfTheWorkbenchParses) {
    const std::vector<Accelerator> accelerators = WorkbenchWindowLayout().accelerators;
    ASSERT_FALSE(accelerators.empty());
    for (const Accelerator& accelerator : accelerators) {
        ACCEL accel{};
        EXPECT_TRUE(ParseAccelerator(accelerator.keys, accelerator.command, accel))
            << accelerator.keys;
    }
    HACCEL table = CreateAccelerators(accelerators);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CopyAcceleratorTableW(table, nullptr, 0), static_cast<int>(accelerators.size()));
    DestroyAcceleratorTable(table);
}

TEST_F(DesktopWorkbenchTest, F1ShowsTheHelpMessage) {
    Run([&](HWND window) {
        WhenWindow([] { return FindDialog(L"Corelith"); },
                   [&](HWND box) {
                       bool found = false;
                       for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
                            child = GetWindow(child, GW_HWNDNEXT))
                           found = found || TextOf(child) == "Help not yet implemented!";
                       EXPECT_TRUE(found);
                       PostMessageW(box, WM_COMMAND, IDOK, 0);
                       Later([&] { platform_.CloseMainWindow(); });
                   });
        SetFocus(window);
        PressKey(VK_F1);
    });
}

// A dialog model that only names its template.
class Shown : public DialogModel {
  public:
    explicit Shown(std::string resource) : resource_(std::move(resource)) {}
    std::string Resource() const override { return resource_; }
    void OnInit(DialogControls&) override {}
    void OnCommand(DialogControls&, int, Notification) override {}

  private:
    std::string resource_;
};

TEST_F(DesktopWorkbenchTest, EveryTemplateOpensWithAllItsControlsInside) {
    for (const auto* group : {&ShellDialogTemplates(), &TfProjectDialogTemplates(),
                              &RankingDialogTemplates(), &CountingDialogTemplates()}) {
        for (const DialogTemplate& t : *group) {
            Shown model(t.resource);
            WhenWindow(
                [this] { return platform_.ModalParent(); },
                [&](HWND dialog) {
                    EXPECT_EQ(TextOf(dialog), t.caption);
                    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
                    EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, !t.caption.empty()) << t.resource;
                    RECT client{};
                    GetClientRect(dialog, &client);
                    int children = 0;
                    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                         child = GetWindow(child, GW_HWNDNEXT)) {
                        ++children;
                        RECT placed{};
                        GetWindowRect(child, &placed);
                        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
                        EXPECT_TRUE(placed.left >= 0 && placed.top >= 0 &&
                                    placed.right <= client.right && placed.bottom <= client.bottom)
                            << t.resource << " control " << GetDlgCtrlID(child);
                    }
                    EXPECT_EQ(children, static_cast<int>(t.controls.size())) << t.resource;
                    for (const ControlTemplate& c : t.controls) {
                        if (c.id >= 0) {
                            EXPECT_EQ(ControlText(dialog, c.id), c.text) << t.resource << c.id;
                        }
                    }
                    EndDialog(dialog, 0);
                });
            platform_.RunDialog(model);
        }
    }
}

TEST_F(DesktopWorkbenchTest, TheMainWindowWithAMenuDroppedDown) {
    EXPECT_EQ(Run([&](HWND window) {
                  SetFocus(window);
                  // F opens "File"; two steps right reach "Options".
                  PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 'f');
                  Steps({[] { PressKey(VK_RIGHT); }, [] { PressKey(VK_RIGHT); },
                         [] { Snapshot("main_window_options_menu"); }, [] { EndMenu(); },
                         [&] {
                             Snapshot("main_window");
                             platform_.CloseMainWindow();
                         }});
              }),
              0);
}

TEST_F(DesktopWorkbenchTest, OptionDialogsShowTheirSettings) {
    wb_->settings.slots[1].speciesFormat = 1;
    ShowsDialog(31, L"Format of species", "format_of_species", [](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1165), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1164), BST_UNCHECKED);
    });
    ShowsDialog(32, L"Format of data", "format_of_data",
                [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, 1164), BST_CHECKED); });
    ShowsDialog(37, L"Used tools", "used_tools", [](HWND dialog) {
        for (int id : {1161, 1162, 1163})
            EXPECT_EQ(IsDlgButtonChecked(dialog, id), BST_CHECKED) << id;
    });
    ShowsDialog(33, L"CapFac options", "capfac_options", nullptr);
    ShowsDialog(34, L"Regress options", "regress_options", nullptr);
    ShowsDialog(74, L"", "about_box", nullptr, kIdOk);
}

TEST_F(DesktopWorkbenchTest, TheCertainFactorAndOpenDialogsOfTheirCommands) {
    wb_->settings.certainFactor = 2.5f;
    ShowsDialog(43, L"Certain factor", "certain_factor",
                [](HWND dialog) { EXPECT_EQ(ControlText(dialog, 1180), "2.5"); });
    testsupport::WriteFile(dir_.path() / "reference.txt", "x\n");
    wb_->current.folder = dir_.Folder();
    // The converter's open dialog in the current folder, with the remembered filter list.
    ShowsDialog(51, L"Select data file", "open_dialog", [](HWND dialog) {
        HWND types = GetDlgItem(dialog, cmb1);
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(TextOf(types), "Text files (*.txt)");
    });
}

TEST_F(DesktopWorkbenchTest, TheCountingDialogCounts) {
    Run([&](HWND) {
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
        WhenWindow([] { return FindDialog(L"Counting dialog"); },
                   [&](HWND dialog) {
                       PressKey(VK_RETURN);
                       Later([&, dialog] {
                           EXPECT_EQ(t.reference.Value(1, 1), 32);
                           EXPECT_EQ(ControlText(dialog, kIdCountLine),
                                     "Counted individuals of Globigerinoides ruber (white) in "
                                     "sample GeoB 1501-1 0-1 cm: 32");
                           Snapshot("counting_dialog");
                           PressKey(VK_ESCAPE);
                       });
                   });
        platform_.RunDialog(counting);
        platform_.CloseMainWindow();
    });
}

// The corelith program started as a user's script starts it: its standard output and error
// into a file, its arguments in UTF-16.
struct Outcome {
    DWORD status = 0;
    std::string output;
};

Outcome RunCorelith(const std::vector<std::string>& arguments, const std::string& folder) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string program = FolderOf(Narrow(self)) + "corelith.exe";
    std::wstring commandLine = L"\"" + Widen(program) + L"\"";
    for (const std::string& argument : arguments)
        commandLine += L" \"" + Widen(argument) + L"\"";
    const std::wstring outputName = Widen(folder + "output.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(outputName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(output, INVALID_HANDLE_VALUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    Outcome outcome;
    const std::wstring directory = Widen(folder);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       directory.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &outcome.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << program;
        outcome.status = 255;
    }
    CloseHandle(output);
    outcome.output = testsupport::ReadBytes(testsupport::PathOf(folder + "output.txt"));
    return outcome;
}

TEST(CorelithProgram, TellsItsVersion) {
    testsupport::TempDir dir;
    const Outcome outcome = RunCorelith({"--version"}, dir.Folder());
    EXPECT_EQ(outcome.status, 0u);
    EXPECT_EQ(outcome.output, std::string("corelith ") + CORELITH_VERSION + "\r\n");
}

// The version resource of each program, from the one version of the project.
TEST(CorelithProgram, EachProgramCarriesTheProjectsVersion) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (const char* name : {"corelith", "corelith-batch", "marvane", "quillon"}) {
        const std::wstring program = Widen(FolderOf(Narrow(self)) + name + ".exe");
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
        ASSERT_GT(size, 0u) << name;
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data())) << name;
        for (const auto& [key, expected] :
             {std::pair<const wchar_t*, std::string>{L"ProductVersion", CORELITH_VERSION},
              {L"OriginalFilename", std::string(name) + ".exe"},
              {L"ProductName", "Corelith"}}) {
            void* value = nullptr;
            UINT length = 0;
            const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
            ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), &value, &length)) << name;
            EXPECT_EQ(Narrow(static_cast<const wchar_t*>(value)), expected) << name;
        }
    }
}

TEST(CorelithProgram, RunsABatchCommandOnAFileNamedOutsideAscii) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv appData("APPDATA", dir.Folder());
    const std::string name = "Kern Z\xC3\xBCrich \xCE\xBB";
    dir.Copy(testsupport::PathOf(CORELITH_SOURCE_ROOT
                                 "/examples/tables/reference_species-in-column.txt"),
             name + ".txt");
    // Stepwise ranking system: the census table, then the proposed name of the ranking file.
    const Outcome outcome = RunCorelith({"--batch", "41", name + ".txt", ":ok"}, dir.Folder());
    EXPECT_EQ(outcome.status, 0u) << outcome.output;
    EXPECT_NE(outcome.output.find("result 0"), std::string::npos) << outcome.output;
    EXPECT_TRUE(dir.Has(name + ".txt.RS")) << outcome.output;
}

} // namespace
} // namespace corelith
