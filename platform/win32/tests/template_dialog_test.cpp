// Dialogs built from templates, opened for real and driven by the messages a user's mouse
// and keyboard send.
#include "platform/win32/template_dialog.h"

#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corelith {
namespace {

using namespace wintest;
using K = ControlKind;

const DialogTemplate kTest{"TEST",
                           "Test dialog",
                           200,
                           100,
                           {
                               {K::Label, 100, "Name & more", 7, 7, 50, 8},
                               {K::Edit, 101, "", 60, 5, 100, 12},
                               {K::Radio, 102, "first", 7, 25, 60, 10},
                               {K::Radio, 103, "second", 7, 37, 60, 10},
                               {K::Check, 104, "tick", 7, 50, 60, 10},
                               {K::Radio, 105, "third", 80, 25, 60, 10},
                               {K::Group, 107, "Group", 75, 20, 80, 30},
                               {K::Button, 2, "Cancel", 7, 80, 50, 14},
                               {K::Button, 106, "Other", 70, 80, 50, 14},
                               {K::DefaultButton, 1, "OK", 143, 80, 50, 14},
                           }};
const DialogTemplate kNoDefault{"NODEFAULT", "", 100, 40, {{K::Edit, 101, "", 5, 5, 90, 12}}};

// A model that writes down what it hears ("1 clicked", "101 changed: TEXT") and does what
// the test gives it to do.
class Script : public DialogModel {
  public:
    explicit Script(std::string resource = "TEST") : resource_(std::move(resource)) {}
    std::string Resource() const override { return resource_; }
    void OnInit(DialogControls& controls) override {
        if (init)
            init(controls);
    }
    void OnCommand(DialogControls& controls, int id, Notification what) override {
        heard.push_back(std::to_string(id) + (what == Notification::Clicked
                                                  ? " clicked"
                                                  : " changed: " + controls.Text(id)));
        if (command)
            command(controls, id);
    }

    std::function<void(DialogControls&)> init;
    std::function<void(DialogControls&, int)> command; // default: nothing ends the dialog
    std::vector<std::string> heard;

  private:
    std::string resource_;
};

class TemplateDialogTest : public ::testing::Test {
  protected:
    Win32Platform platform_{[](std::string_view name) -> const DialogTemplate* {
        if (name == "TEST")
            return &kTest;
        if (name == "NODEFAULT")
            return &kNoDefault;
        return nullptr;
    }};

    // The innermost dialog the platform has open.
    std::function<HWND()> OpenDialog() {
        return [this] { return platform_.ModalParent(); };
    }
};

std::wstring ClassOf(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

// Pixels of a place and size in dialog units, each converted on its own as the dialog
// manager converts them.
RECT DialogRect(HWND dialog, int x, int y, int width, int height) {
    RECT rect{x, y, width, height};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

TEST_F(TemplateDialogTest, ControlsHaveTheirClassesStylesAndPlacesInDialogUnits) {
    Script model;
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), "Test dialog");
        const LONG style = GetWindowLongW(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        RECT client{};
        GetClientRect(dialog, &client);
        const RECT expected = DialogRect(dialog, 0, 0, 200, 100);
        EXPECT_EQ(client.right, expected.right);
        EXPECT_EQ(client.bottom, expected.bottom);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_STREQ(font.lfFaceName, kDialogFont);

        struct Expected {
            int id;
            const wchar_t* windowClass;
            LONG type;     // the low style bits that name the kind
            LONG required; // further style bits
            LONG absent;
        };
        const Expected controls[] = {
            {100, L"Static", SS_LEFT, SS_NOPREFIX, WS_TABSTOP},
            {101, L"Edit", ES_LEFT, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 0},
            {102, L"Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP, 0},
            {103, L"Button", BS_AUTORADIOBUTTON, 0, WS_GROUP | WS_TABSTOP},
            {104, L"Button", BS_AUTOCHECKBOX, WS_GROUP | WS_TABSTOP, 0},
            {105, L"Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP, 0},
            {107, L"Button", BS_GROUPBOX, 0, WS_TABSTOP},
            {2, L"Button", BS_PUSHBUTTON, WS_TABSTOP, 0},
            {1, L"Button", BS_DEFPUSHBUTTON, WS_TABSTOP, 0},
        };
        for (const Expected& c : controls) {
            HWND control = GetDlgItem(dialog, c.id);
            ASSERT_NE(control, nullptr) << c.id;
            EXPECT_EQ(ClassOf(control), c.windowClass) << c.id;
            const LONG bits = GetWindowLongW(control, GWL_STYLE);
            EXPECT_EQ(bits & 0x0F, c.type) << c.id;
            EXPECT_EQ(bits & c.required, c.required) << c.id;
            EXPECT_EQ(bits & c.absent, 0) << c.id;
        }
        for (const ControlTemplate& c : kTest.controls) {
            RECT placed{};
            GetWindowRect(GetDlgItem(dialog, c.id), &placed);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
            const RECT wanted = DialogRect(dialog, c.x, c.y, c.width, c.height);
            EXPECT_EQ(placed.left, wanted.left) << c.id;
            EXPECT_EQ(placed.top, wanted.top) << c.id;
            EXPECT_EQ(placed.right, wanted.right) << c.id;
            EXPECT_EQ(placed.bottom, wanted.bottom) << c.id;
        }
        EXPECT_EQ(ControlText(dialog, 100), "Name & more");
        EndDialog(dialog, 0);
    });
    platform_.RunDialog(model);
}

TEST_F(TemplateDialogTest, EditFieldsReportTypedChangesButNotTheModelsOwn) {
    Script model;
    model.init = [](DialogControls& controls) { controls.SetText(101, "set by the model"); };
    model.command = [](DialogControls& controls, int id) {
        if (id == kIdOk)
            controls.End(1);
    };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        EXPECT_TRUE(model.heard.empty());
        EXPECT_EQ(ControlText(dialog, 101), "set by the model");
        SetDlgItemTextW(dialog, 101, L"Z\u00FCrich \u03BB");
        SendMessageW(GetDlgItem(dialog, kIdOk), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(platform_.RunDialog(model), 1);
    EXPECT_EQ(model.heard,
              (std::vector<std::string>{"101 changed: Z\xC3\xBCrich \xCE\xBB", "1 clicked"}));
}

TEST_F(TemplateDialogTest, EnterPressesTheDefaultButtonWhereverTheFocusIs) {
    Script model;
    model.command = [](DialogControls& controls, int id) {
        if (id == 106)
            controls.End(106);
    };
    HWND open = nullptr;
    auto focus = [&](int id) {
        return [&, id] { SendMessageW(open, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(open, id), TRUE); };
    };
    auto enter = [] { PressKey(VK_RETURN); };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        open = dialog;
        Steps(
            {focus(106), enter, focus(kIdCancel), enter, focus(101), enter, focus(104), enter, [&] {
                 // Space presses the button that has the focus.
                 SendMessageW(open, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(open, 106), TRUE);
                 PressKey(VK_SPACE);
             }});
    });
    EXPECT_EQ(platform_.RunDialog(model), 106);
    EXPECT_EQ(model.heard, (std::vector<std::string>{"1 clicked", "1 clicked", "1 clicked",
                                                     "1 clicked", "106 clicked"}));
}

TEST_F(TemplateDialogTest, WithoutADefaultButtonEnterStillSendsOk) {
    Script model("NODEFAULT");
    model.command = [](DialogControls& controls, int id) { controls.End(id); };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        SetFocus(GetDlgItem(dialog, 101));
        PressKey(VK_RETURN);
    });
    EXPECT_EQ(platform_.RunDialog(model), kIdOk);
}

TEST_F(TemplateDialogTest, EscapeAndTheCloseBoxAskTheModel) {
    Script model; // hears Cancel but does not end: only OK closes it
    model.command = [](DialogControls& controls, int id) {
        if (id == kIdOk)
            controls.End(kIdOk);
    };
    HWND open = nullptr;
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        open = dialog;
        Steps({[] { PressKey(VK_ESCAPE); }, [&] { PostMessageW(open, WM_CLOSE, 0, 0); },
               [&] {
                   EXPECT_TRUE(IsWindowVisible(open));
                   SendMessageW(GetDlgItem(open, kIdOk), BM_CLICK, 0, 0);
               }});
    });
    EXPECT_EQ(platform_.RunDialog(model), kIdOk);
    EXPECT_EQ(model.heard, (std::vector<std::string>{"2 clicked", "2 clicked", "1 clicked"}));
}

TEST_F(TemplateDialogTest, AutoButtonsToggleBeforeTheModelHears) {
    Script model;
    std::vector<std::string> seen;
    model.init = [](DialogControls& controls) {
        controls.SetChecked(102, true);
        controls.SetChecked(105, true);
    };
    model.command = [&](DialogControls& controls, int id) {
        seen.push_back(std::to_string(id) + ":" + std::to_string(controls.Checked(102)) +
                       std::to_string(controls.Checked(103)) +
                       std::to_string(controls.Checked(104)) +
                       std::to_string(controls.Checked(105)));
        if (id == 103)
            controls.End(0);
    };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, 104), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(dialog, 103), BM_CLICK, 0, 0);
    });
    platform_.RunDialog(model);
    // The check box ticked itself; the second radio button took the first one's place in
    // its run, and the radio button of another run kept its own.
    EXPECT_EQ(seen, (std::vector<std::string>{"104:1011", "103:0111"}));
}

TEST_F(TemplateDialogTest, TheModelCanUncheckEveryRadioButtonAndPlaceTheFocus) {
    Script model;
    model.init = [](DialogControls& controls) {
        controls.SetChecked(102, true);
        controls.SetChecked(102, false);
        controls.FocusControl(101);
    };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, 102), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, 103), BST_UNCHECKED);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 101));
        EndDialog(dialog, 0);
    });
    platform_.RunDialog(model);

    Script second;
    second.init = [](DialogControls& controls) { controls.FocusDialog(); };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kIdOk)) << "the default button has the focus";
        EndDialog(dialog, 0);
    });
    platform_.RunDialog(second);
}

TEST_F(TemplateDialogTest, AModelThatEndsWhileOpeningReturnsItsResult) {
    Script model;
    model.init = [](DialogControls& controls) { controls.End(5); };
    EXPECT_EQ(platform_.RunDialog(model), 5);
    Script unknown("NOSUCHDIALOG");
    EXPECT_EQ(platform_.RunDialog(unknown), 0);
}

TEST_F(TemplateDialogTest, BoxesAndDialogsOpenedByADialogBelongToIt) {
    Script inner("NODEFAULT");
    inner.command = [](DialogControls& controls, int id) { controls.End(id); };
    Script outer;
    HWND outerWindow = nullptr;
    outer.command = [&](DialogControls& controls, int id) {
        if (id == 106) {
            WhenWindow(OpenDialog(), [&](HWND nested) {
                EXPECT_NE(nested, outerWindow);
                EXPECT_EQ(GetWindow(nested, GW_OWNER), outerWindow);
                EXPECT_FALSE(IsWindowEnabled(outerWindow));
                PostMessageW(nested, WM_COMMAND, kIdCancel, 0);
            });
            EXPECT_EQ(platform_.RunDialog(inner), kIdCancel);
            WhenWindow([] { return FindDialog(L"Box"); },
                       [&](HWND box) {
                           EXPECT_EQ(GetWindow(box, GW_OWNER), outerWindow);
                           PostMessageW(box, WM_COMMAND, IDOK, 0);
                       });
            platform_.ShowMessage(0, "Box", "text", MessageIcon::Information, false);
            controls.End(3);
        }
    };
    WhenWindow(OpenDialog(), [&](HWND dialog) {
        outerWindow = dialog;
        PostMessageW(GetDlgItem(dialog, 106), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(platform_.RunDialog(outer), 3);
    EXPECT_EQ(platform_.ModalParent(), nullptr);
}

} // namespace
} // namespace corelith
