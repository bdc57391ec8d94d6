#include "platform/qt/template_dialog.h"

#include "qt_test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corelith {
namespace {

// Records every notification; clicks on the ids in `endOn` end the dialog with that id.
class RecordingModel : public DialogModel {
  public:
    std::string Resource() const override { return "TEST"; }
    void OnInit(DialogControls& dlg) override {
        if (onInit)
            onInit(dlg);
    }
    void OnCommand(DialogControls& dlg, int id, Notification what) override {
        std::string event = what == Notification::Clicked ? "clicked " : "changed ";
        event += std::to_string(id);
        events.push_back(event);
        if (onCommand)
            onCommand(dlg, id, what);
        for (int end : endOn) {
            if (id == end && what == Notification::Clicked)
                dlg.End(id);
        }
    }

    std::vector<std::string> events;
    std::vector<int> endOn;
    std::function<void(DialogControls&)> onInit;
    std::function<void(DialogControls&, int, Notification)> onCommand;
};

DialogTemplate Sample(bool withDefault = true) {
    DialogTemplate t{"TEST", "Test dialog", 200, 100, {}};
    t.controls = {
        {ControlKind::Group, 300, "Choices", 4, 4, 90, 50},
        {ControlKind::Radio, 301, "first", 10, 14, 80, 10},
        {ControlKind::Radio, 302, "second", 10, 28, 80, 10},
        {ControlKind::Check, 303, "tick", 10, 40, 80, 10},
        {ControlKind::Label, -1, "Field", 100, 8, 40, 8},
        {ControlKind::Edit, 304, "", 140, 6, 50, 13},
        {ControlKind::Label, 305, "result", 100, 30, 90, 8},
        {ControlKind::Button, 306, "Other", 100, 80, 40, 14},
        {ControlKind::Button, 2, "Cancel", 10, 80, 40, 14},
        {withDefault ? ControlKind::DefaultButton : ControlKind::Button, 1, "OK", 150, 80, 40, 14},
    };
    return t;
}

template <class T> T* Find(QWidget* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id));
}

TEST(TemplateDialog, PlacesControlsInDialogUnitsOfItsFont) {
    RecordingModel model;
    TemplateDialog dialog(Sample(), model, nullptr);
    const DialogBaseUnits base = dialog.BaseUnits();
    EXPECT_GT(base.x, 2);
    EXPECT_GT(base.y, 6);
    EXPECT_EQ(dialog.size(), QSize((200 * base.x + 2) / 4, (100 * base.y + 4) / 8));
    QWidget* edit = dialog.Control(304);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), QRect((140 * base.x + 2) / 4, (6 * base.y + 4) / 8,
                                      (50 * base.x + 2) / 4, (13 * base.y + 4) / 8));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Test dialog"));
    EXPECT_EQ(dialog.objectName(), QStringLiteral("TEST"));
    EXPECT_NE(Find<QGroupBox>(&dialog, 300), nullptr);
    EXPECT_NE(Find<QLabel>(&dialog, 305), nullptr);
    EXPECT_EQ(dialog.findChildren<QLabel*>().size(), 2) << "the static caption has no id";
}

TEST(TemplateDialog, UnitsRoundAsTheWindowsConversion) {
    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(UnitsToPixelsX(123, base), 185); // 184.5 rounds up
    EXPECT_EQ(UnitsToPixelsY(74, base), 120);  // 120.25
    EXPECT_EQ(UnitsToPixelsY(3, base), 5);     // 4.875
    EXPECT_EQ(UnitsToPixelsX(0, base), 0);
}

TEST(TemplateDialog, EditFieldsReportEveryTypedChangeButNotTheModelsOwn) {
    RecordingModel model;
    model.onInit = [](DialogControls& dlg) { dlg.SetText(304, "7"); };
    model.endOn = {1, 2};
    TemplateDialog dialog(Sample(), model, nullptr);
    testing::WhenModal(QStringLiteral("TEST"), [&](QWidget* open) {
        auto* edit = Find<QLineEdit>(open, 304);
        EXPECT_EQ(edit->text(), QStringLiteral("7"));
        edit->selectAll();
        QTest::keyClicks(edit, "12");
        EXPECT_EQ(dialog.Text(304), "12");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.Run(), 1);
    EXPECT_EQ(model.events, (std::vector<std::string>{"changed 304", "changed 304", "clicked 1"}));
}

TEST(TemplateDialog, EnterPressesTheDefaultButtonWhereverTheFocusIs) {
    RecordingModel model;
    TemplateDialog dialog(Sample(), model, nullptr);
    testing::WhenModal(QStringLiteral("TEST"), [&](QWidget* open) {
        auto* other = Find<QPushButton>(open, 306);
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Return);
        auto* check = Find<QCheckBox>(open, 303);
        check->setFocus();
        QTest::keyClick(check, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(other, Qt::Key_Space); // Space presses the focused button
        model.endOn = {1};
        QTest::keyClick(Find<QLineEdit>(open, 304), Qt::Key_Return);
    });
    dialog.Run();
    EXPECT_EQ(model.events,
              (std::vector<std::string>{"clicked 1", "clicked 1", "clicked 306", "clicked 1"}));
}

TEST(TemplateDialog, WithoutADefaultButtonEnterStillSendsOk) {
    RecordingModel model;
    model.endOn = {1};
    TemplateDialog dialog(Sample(false), model, nullptr);
    testing::WhenModal(QStringLiteral("TEST"), [&](QWidget* open) {
        QTest::keyClick(Find<QLineEdit>(open, 304), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.Run(), 1);
    EXPECT_EQ(model.events, std::vector<std::string>{"clicked 1"});
}

TEST(TemplateDialog, EscapeAndTheCloseBoxAskTheModel) {
    RecordingModel model;
    TemplateDialog dialog(Sample(), model, nullptr);
    bool stayedOpen = false;
    testing::WhenModal(QStringLiteral("TEST"), [&](QWidget* open) {
        QTest::keyClick(open, Qt::Key_Escape);
        open->close();
        stayedOpen = open->isVisible();
        model.endOn = {2};
        QTest::keyClick(open, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.Run(), 2);
    EXPECT_TRUE(stayedOpen) << "a model that does not end the dialog keeps it open";
    EXPECT_EQ(model.events, (std::vector<std::string>{"clicked 2", "clicked 2", "clicked 2"}));
}

TEST(TemplateDialog, AutoButtonsToggleBeforeTheModelHears) {
    RecordingModel model;
    std::vector<bool> seen;
    model.onCommand = [&](DialogControls& dlg, int, Notification) {
        seen.push_back(dlg.Checked(301));
        seen.push_back(dlg.Checked(302));
        seen.push_back(dlg.Checked(303));
    };
    model.endOn = {1};
    TemplateDialog dialog(Sample(), model, nullptr);
    testing::WhenModal(QStringLiteral("TEST"), [&](QWidget* open) {
        QTest::mouseClick(Find<QRadioButton>(open, 301), Qt::LeftButton);
        QTest::mouseClick(Find<QRadioButton>(open, 302), Qt::LeftButton);
        // A click at the far right of a check box, away from its text, still counts.
        auto* check = Find<QCheckBox>(open, 303);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(check->width() - 2, 3));
        QTest::mouseClick(Find<QPushButton>(open, 1), Qt::LeftButton);
    });
    dialog.Run();
    EXPECT_EQ(model.events,
              (std::vector<std::string>{"clicked 301", "clicked 302", "clicked 303", "clicked 1"}));
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false, false, true, false, false, true, true,
                                       false, true, true}));
}

TEST(TemplateDialog, TheModelCanUncheckEveryRadioButtonOfAGroup) {
    RecordingModel model;
    model.onInit = [](DialogControls& dlg) {
        dlg.SetChecked(302, true);
        dlg.SetChecked(302, false);
        dlg.SetChecked(303, true);
        dlg.End(5);
    };
    TemplateDialog dialog(Sample(), model, nullptr);
    EXPECT_EQ(dialog.Run(), 5) << "a dialog ended while opening never shows";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Checked(301));
    EXPECT_FALSE(dialog.Checked(302));
    EXPECT_TRUE(dialog.Checked(303));
    EXPECT_FALSE(dialog.Checked(304)) << "an edit field is never checked";
}

TEST(TemplateDialog, LabelsShowTextAsItIs) {
    RecordingModel model;
    TemplateDialog dialog(Sample(), model, nullptr);
    dialog.SetText(305, "<b>G. ruber</b> & more");
    EXPECT_EQ(dialog.Text(305), "<b>G. ruber</b> & more");
    EXPECT_EQ(Find<QLabel>(&dialog, 305)->textFormat(), Qt::PlainText);
    dialog.SetText(999, "nowhere");
    EXPECT_EQ(dialog.Text(999), "");
    EXPECT_EQ(dialog.Text(1), "OK");
    dialog.SetText(304, "\xC3\xA4");
    EXPECT_EQ(dialog.Text(304), "\xC3\xA4") << "texts are UTF-8";
}

TEST(TemplateDialog, ADialogWithoutCaptionHasNoTitleBar) {
    RecordingModel model;
    DialogTemplate t = Sample();
    t.caption.clear();
    TemplateDialog dialog(t, model, nullptr);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
}

} // namespace
} // namespace corelith
