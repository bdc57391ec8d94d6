// The platform calls of the Win32 backend: message boxes, the common file dialogs (names
// outside ASCII included), the wait cursor, starting programs and the settings folder.
#include "platform/win32/win32_platform.h"

#include "platform/settings_folder.h"
#include "platform/wide_text.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/tests/win32_test_support.h"
#include "testing/test_support.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace corelith {
namespace {

using namespace wintest;
namespace fs = std::filesystem;

// The texts of a window's children, in their order.
std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(TextOf(child));
    return texts;
}

// The icon a message box shows.
HICON IconOf(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

TEST(Win32Platform, MessagesHaveTheirIconCaptionTextAndOwner) {
    Win32Platform platform(nullptr);
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    platform.SetOwner(owner);
    struct Case {
        MessageIcon icon;
        LPCWSTR systemIcon;
    };
    for (const Case& c :
         {Case{MessageIcon::Information, IDI_ASTERISK}, Case{MessageIcon::Stop, IDI_HAND}}) {
        bool seen = false;
        WhenWindow(
            [] { return FindDialog(L"Corelith"); },
            [&](HWND box) {
                seen = true;
                EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
                const std::vector<std::string> texts = ChildTexts(box);
                EXPECT_NE(std::find(texts.begin(), texts.end(),
                                    "The names of species are not equal:\n>G. ruber<\n>G. r\xC3\xBC"
                                    "ber<"),
                          texts.end());
                EXPECT_EQ(IconOf(box), LoadIconW(nullptr, c.systemIcon));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            });
        platform.ShowMessage(138, "Corelith",
                             "The names of species are not equal:\n>G. ruber<\n>G. r\xC3\xBC"
                             "ber<",
                             c.icon, c.icon == MessageIcon::Stop);
        EXPECT_TRUE(seen);
    }
    platform.SetOwner(nullptr);
    DestroyWindow(owner);
}

TEST(Win32Platform, TheFilterListEndsEachPartAndTheListWithNul) {
    const std::wstring list = FilterList(
        {{"Text files (*.txt)", "*.txt"}, {"", "*.skipped"}, {"All files (*.*)", "*.*"}});
    EXPECT_EQ(list, std::wstring(L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0\0", 46));
    EXPECT_EQ(FilterList({}), std::wstring(1, L'\0'));
}

// Types `name` into the file-name field of a common dialog and presses OK.
void TypeNameAndConfirm(HWND dialog, const std::wstring& name) {
    HWND field = GetDlgItem(dialog, cmb13);
    if (field == nullptr)
        field = GetDlgItem(dialog, edt1);
    ASSERT_NE(field, nullptr) << "no file-name field";
    SetWindowTextW(field, name.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

class FileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = dir_.File("Daten \xC3\xA4\xCE\xBB") + "\\";
        fs::create_directories(testsupport::PathOf(folder_));
    }

    FileDialogRequest Request(bool save, const std::string& title) const {
        FileDialogRequest request;
        request.save = save;
        request.title = title;
        request.filters = {{"Text files (*.txt)", "*.txt"},
                           {"Text files (*.csv)", "*.csv"},
                           {"All files (*.*)", "*.*"}};
        request.currentFolder = folder_;
        return request;
    }

    static std::function<HWND()> Titled(const std::string& title) {
        return [title] { return FindDialog(Widen(title)); };
    }

    testsupport::TempDir dir_;
    std::string folder_;
    Win32Platform platform_{nullptr};
};

TEST_F(FileDialogTest, ASaveDialogTakesANameOutsideAsciiAndAddsTheDefaultExtension) {
    // The filter list that starts with all files: a name typed without extension gets the
    // request's default one (under a filter of one extension, Windows takes that one).
    FileDialogRequest request = Request(true, "Save as");
    request.filters = {{"All Files (*.*)", "*.*"},
                       {"Text files (*.txt)", "*.txt"},
                       {"Text files (*.csv)", "*.csv"}};
    std::string chosen = "unchanged";
    WhenWindow(Titled("Save as"), [&](HWND dialog) {
        HWND types = GetDlgItem(dialog, cmb1);
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(TextOf(types), "All Files (*.*)");
        TypeNameAndConfirm(dialog, L"Kern Z\u00FCrich \u03BB\u65E5");
    });
    ASSERT_TRUE(platform_.SelectFile(request, chosen));
    EXPECT_EQ(chosen, folder_ + "Kern Z\xC3\xBCrich \xCE\xBB\xE6\x97\xA5.csv");
    // The name is good for the file functions.
    FILE* file = _wfopen(Widen(chosen).c_str(), L"w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(fs::exists(fs::path(Widen(chosen))));
}

TEST_F(FileDialogTest, ASaveDialogAsksBeforeReplacingAFile) {
    testsupport::WriteFile(testsupport::PathOf(folder_ + "old.txt"), "x\n");
    std::string chosen;
    int prompts = 0;
    WhenWindow(Titled("Save project as"), [&](HWND dialog) {
        TypeNameAndConfirm(dialog, L"old.txt");
        // No: the dialog stays open. Asked again, Yes takes the name.
        WhenWindow([dialog] { return FindDialogOwnedBy(dialog); },
                   [&, dialog](HWND prompt) {
                       ++prompts;
                       PostMessageW(prompt, WM_COMMAND, IDNO, 0);
                       Later(
                           [&, dialog] {
                               EXPECT_TRUE(IsWindowVisible(dialog));
                               TypeNameAndConfirm(dialog, L"old.txt");
                               WhenWindow([dialog] { return FindDialogOwnedBy(dialog); },
                                          [&](HWND again) {
                                              ++prompts;
                                              PostMessageW(again, WM_COMMAND, IDYES, 0);
                                          });
                           },
                           200);
                   });
    });
    ASSERT_TRUE(platform_.SelectFile(Request(true, "Save project as"), chosen));
    EXPECT_EQ(chosen, folder_ + "old.txt");
    EXPECT_EQ(prompts, 2);
}

TEST_F(FileDialogTest, AnOpenDialogAsksToCreateAMissingFile) {
    std::string chosen;
    bool asked = false;
    WhenWindow(Titled("Select data file"), [&](HWND dialog) {
        TypeNameAndConfirm(dialog, L"neu.txt");
        WhenWindow([dialog] { return FindDialogOwnedBy(dialog); },
                   [&](HWND prompt) {
                       asked = true;
                       PostMessageW(prompt, WM_COMMAND, IDYES, 0);
                   });
    });
    ASSERT_TRUE(platform_.SelectFile(Request(false, "Select data file"), chosen));
    EXPECT_TRUE(asked);
    EXPECT_EQ(chosen, folder_ + "neu.txt");
}

TEST_F(FileDialogTest, AnOpenDialogStartsWithTheProposedFile) {
    testsupport::WriteFile(testsupport::PathOf(folder_ + "core 1.txt"), "x\n");
    FileDialogRequest request = Request(false, "Open");
    request.initialPath = folder_ + "core 1.txt";
    request.currentFolder.clear();
    std::string chosen;
    WhenWindow(Titled("Open"), [&](HWND dialog) {
        HWND field = GetDlgItem(dialog, cmb13) != nullptr ? GetDlgItem(dialog, cmb13)
                                                          : GetDlgItem(dialog, edt1);
        EXPECT_EQ(TextOf(field), "core 1.txt");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    ASSERT_TRUE(platform_.SelectFile(request, chosen));
    EXPECT_EQ(chosen, folder_ + "core 1.txt");
}

TEST_F(FileDialogTest, CancelLeavesThePathAlone) {
    std::string chosen = "before";
    WhenWindow(Titled("Open"), [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(platform_.SelectFile(Request(false, "Open"), chosen));
    EXPECT_EQ(chosen, "before");
}

TEST(Win32Platform, TheWaitCursorGivesWayToBoxesAndComesBack) {
    Win32Platform platform(nullptr);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    platform.SetCursor(Cursor::Wait);
    EXPECT_TRUE(platform.Waiting());
    EXPECT_EQ(GetCursor(), wait);
    WhenWindow([] { return FindDialog(L"Corelith"); },
               [&](HWND box) {
                   EXPECT_EQ(GetCursor(), arrow);
                   PostMessageW(box, WM_COMMAND, IDOK, 0);
               });
    platform.ShowMessage(135, "Corelith", "Info not yet implemented!", MessageIcon::Information,
                         false);
    EXPECT_EQ(GetCursor(), wait);
    platform.SetCursor(Cursor::Arrow);
    EXPECT_FALSE(platform.Waiting());
    EXPECT_EQ(GetCursor(), arrow);
}

// This test program started again as an outside program reports its folder and console
// (see main.cpp).
TEST(Win32Platform, ProgramsStartInTheGivenFolderWithAConsoleOfTheirOwn) {
    testsupport::TempDir dir;
    const std::string folder = dir.File("Ordner \xC3\xA4");
    fs::create_directories(testsupport::PathOf(folder));
    const std::string report = dir.File("report.txt");
    testsupport::ScopedEnv reportTo("CORELITH_TEST_REPORT", report);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);

    Win32Platform platform(nullptr);
    for (bool console : {false, true}) {
        fs::remove(testsupport::PathOf(report));
        ASSERT_TRUE(console ? platform.StartConsoleProgram(Narrow(self), folder)
                            : platform.StartProgram(Narrow(self), folder));
        std::string text;
        for (int i = 0; i < 200 && text.find("\n", text.find('\n') + 1) == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            text = testsupport::ReadFile(testsupport::PathOf(report));
        }
        const std::wstring reported = Widen(text.substr(0, text.find('\n')));
        EXPECT_EQ(CompareStringOrdinal(reported.c_str(), -1, Widen(folder).c_str(), -1, TRUE),
                  CSTR_EQUAL)
            << text;
        EXPECT_NE(text.find("\nown\n"), std::string::npos) << text;
    }
    EXPECT_FALSE(platform.StartProgram(dir.File("missing.exe"), folder));
    EXPECT_FALSE(platform.StartProgram("", folder));
    EXPECT_FALSE(platform.StartConsoleProgram(Narrow(self), dir.File("no such folder")));
}

TEST(Win32Platform, APictureThatIsNotThereIsNotShown) {
    testsupport::TempDir dir;
    Win32Platform platform(nullptr);
    EXPECT_FALSE(platform.ShowPicture(dir.File("Kurve \xC3\xBC.svg"), "Plot"));
    EXPECT_FALSE(platform.ShowPicture("", "Plot"));
}

TEST(Win32Platform, KeepsItsSettingsWhereTheBatchFrontEndDoes) {
    Win32Platform platform(nullptr);
    testsupport::ScopedEnv appData("APPDATA", "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming");
    EXPECT_EQ(platform.SettingsFolder(), DefaultSettingsFolder());
    EXPECT_EQ(platform.SettingsFolder(), "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming\\Corelith\\");
}

} // namespace
} // namespace corelith
