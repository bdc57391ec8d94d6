// The counting dialog on the desktop: a person counting under the microscope presses Enter
// hundreds of times without looking at the screen, so Enter must count whatever was done
// last and wherever the focus went.
#include "counting/counting.h"
#include "counting/counting_messages.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/template_dialog.h"
#include "platform/qt/tests/qt_test_support.h"
#include "resources/dialog_templates.h"
#include "workbench.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corelith {
namespace {

using testing::TestFolder;
using testing::WhenModal;

TemplateDialog* AsTemplateDialog(QWidget* modal) {
    auto* dialog = dynamic_cast<TemplateDialog*>(modal);
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

// Enter, sent where a keyboard sends it: to the widget that has the focus.
void PressEnter(QWidget* dialog) {
    QWidget* focus = dialog->focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Return);
}

void Retype(QWidget* dialog, int id, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::number(id));
    ASSERT_NE(edit, nullptr) << id;
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void Click(QWidget* dialog, int id) {
    auto* button = dialog->findChild<QPushButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// A picture of `widget` in the screenshot folder, when the run asks for pictures.
void SaveScreenshot(QWidget* widget, const std::string& name) {
    const std::filesystem::path folder = testsupport::ScreenshotFolder();
    if (folder.empty())
        return;
    const std::filesystem::path file = folder / (name + ".png");
    EXPECT_TRUE(widget->grab().save(QString::fromStdString(file.string())));
}

QString LabelText(QWidget* dialog, int id) {
    auto* label = dialog->findChild<QLabel*>(QString::number(id));
    return label == nullptr ? QString() : label->text();
}

class CountingViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AllocateTables(wb_.tables);
        wb_.workingFolder = folder_.Path();
        Tables& t = wb_.tables;
        t.cornerLabel = "Species";
        t.reference.names[0] = "Name";
        t.reference.names[1] = "GeoB 1501-1 0-1 cm";
        t.reference.names[2] = "GeoB 1501-1 5-6 cm";
        t.species.names[1] = "Globigerinoides ruber (white)";
        t.species.names[2] = "Neogloboquadrina pachyderma (sinistral)";
        t.reference.Value(1, 1) = 31;
        t.reference.Value(1, 2) = 12;
        t.reference.totals[1] = 43;
        state_.sampleCount = 2;
        state_.speciesCount = 2;
    }

    float Count(int sample, int species) const {
        return wb_.tables.reference.Value(sample, species);
    }

    TestFolder folder_;
    QtPlatform platform_{FindDialogTemplate};
    Workbench wb_{platform_};
    CountingState state_;
};

TEST_F(CountingViewTest, EnterCountsWhereverTheFocusIsAfterAnyAction) {
    CountingDialog model(wb_, state_);
    bool finished = false;
    WhenModal("COUNTINGDIALOG", [&](QWidget* modal) {
        TemplateDialog* dialog = AsTemplateDialog(modal);
        ASSERT_NE(dialog, nullptr);
        // Opening: Enter counts sample 1, species 1.
        PressEnter(dialog);
        EXPECT_EQ(Count(1, 1), 32);

        // Typing a number leaves the focus in the field; Enter still counts.
        Retype(dialog, kIdSampleNumber, "2");
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 1), 1);
        Retype(dialog, kIdSpeciesNumber, "2");
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 2), 1);
        Retype(dialog, kIdIncrement, "3");
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 2), 4);

        // A mouse click on Save writes an interim file; Enter then counts, not saves.
        Click(dialog, kIdSave);
        EXPECT_EQ(wb_.interimFileCounter, 1);
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 2), 7);
        EXPECT_EQ(wb_.interimFileCounter, 1);

        // Edit... opens the name dialog, with the focus in its name field; Enter confirms
        // it, and the next Enter counts in the counting dialog.
        WhenModal("EDITSAMPLENAME", [&](QWidget* nested) {
            TemplateDialog* names = AsTemplateDialog(nested);
            ASSERT_NE(names, nullptr);
            EXPECT_EQ(names->focusWidget(), names->Control(kIdSampleName));
            auto* edit = qobject_cast<QLineEdit*>(names->Control(kIdSampleName));
            edit->selectAll();
            QTest::keyClicks(edit, "GeoB 1501-1 5.5 cm");
            SaveScreenshot(names, "counting_edit_sample_dialog");
            PressEnter(names);
        });
        Click(dialog, kIdEditSample);
        EXPECT_EQ(wb_.tables.reference.names[2], "GeoB 1501-1 5.5 cm");
        EXPECT_EQ(LabelText(dialog, kIdSampleName), "GeoB 1501-1 5.5 cm");
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 2), 10);

        // New... species left with Escape: back on species 2, and Enter counts it.
        WhenModal("NEWSPECIES", [&](QWidget* nested) {
            EXPECT_EQ(LabelText(nested, kIdSpeciesNumber), "3");
            QTest::keyClick(nested->focusWidget(), Qt::Key_Escape);
        });
        Click(dialog, kIdNewSpecies);
        EXPECT_EQ(state_.speciesCount, 2);
        PressEnter(dialog);
        EXPECT_EQ(Count(2, 2), 13);

        // Tabbing onto Save, Stop, New... or Edit... does not turn Enter into that button.
        for (int tab = 0; tab < 12; ++tab) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            PressEnter(dialog);
        }
        EXPECT_EQ(Count(2, 2), 49);
        EXPECT_EQ(wb_.interimFileCounter, 1);
        EXPECT_EQ(state_.speciesCount, 2);
        EXPECT_EQ(state_.sampleCount, 2);

        // Back to increment 1 on the first sample, for the picture.
        Retype(dialog, kIdIncrement, "1");
        Retype(dialog, kIdSampleNumber, "1");
        Retype(dialog, kIdSpeciesNumber, "1");
        PressEnter(dialog);
        EXPECT_EQ(LabelText(dialog, kIdCountLine),
                  "Counted individuals of Globigerinoides ruber (white) in sample GeoB 1501-1 "
                  "0-1 cm: 33");
        SaveScreenshot(dialog, "counting_dialog");

        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        finished = true;
    });
    platform_.RunDialog(model);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() + "Temp1.txt"));
}

TEST_F(CountingViewTest, TheDialogHasTheSizeOfItsTemplateAndRoomForLongNames) {
    // Names of the longest kind the tables hold (63 characters).
    wb_.tables.reference.names[1] =
        "GeoB 1501-1 gravity core, 0-1 cm below sea floor, split half A1";
    wb_.tables.species.names[1] = "Neogloboquadrina pachyderma (sinistral, encrusted morphotypes).";
    wb_.tables.reference.Value(1, 1) = 12345;
    wb_.tables.reference.totals[1] = 12357;
    CountingDialog model(wb_, state_);
    WhenModal("COUNTINGDIALOG", [&](QWidget* modal) {
        TemplateDialog* dialog = AsTemplateDialog(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Counting dialog");
        EXPECT_EQ(dialog->width(), UnitsToPixelsX(288, dialog->BaseUnits()));
        EXPECT_EQ(dialog->height(), UnitsToPixelsY(237, dialog->BaseUnits()));
        for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(dialog->rect().contains(child->geometry()))
                << child->objectName().toStdString();
        }
        // Each result line fits its label when wrapped at the label's width.
        for (int id : {kIdSampleName, kIdSpeciesName, kIdCountLine, kIdTotalLine}) {
            auto* label = dialog->findChild<QLabel*>(QString::number(id));
            ASSERT_NE(label, nullptr);
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << label->text().toStdString();
        }
        SaveScreenshot(dialog, "counting_dialog_long_names");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    platform_.RunDialog(model);
}

// The question about an unfinished session: Enter recovers it (the safe answer, which
// loses nothing), Escape and the close box keep it for later, and only a click starts anew.
TEST(RecoveryView, EnterRecoversEscapeKeepsAndStartAnewIsAClick) {
    QtPlatform platform(FindDialogTemplate);
    const std::string question =
        RecoveryQuestion("/data/cores/Newcore GeoB 1501-1 gravity core.txt",
                         "/data/cores/core GeoB 1501-1 gravity core.txt", 1234, 0);
    const struct {
        const char* how;
        int result;
    } answers[] = {{"enter", RecoveryDialog::kRecover},
                   {"escape", RecoveryDialog::kCancelled},
                   {"start anew", RecoveryDialog::kStartAnew}};
    for (const auto& answer : answers) {
        RecoveryDialog model(question);
        WhenModal("RECOVERCOUNTING", [&](QWidget* modal) {
            TemplateDialog* dialog = AsTemplateDialog(modal);
            ASSERT_NE(dialog, nullptr);
            auto* label = dialog->findChild<QLabel*>(QString::number(kIdRecoveryText));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text().toStdString(), question);
            EXPECT_LE(label->heightForWidth(label->width()), label->height());
            SaveScreenshot(dialog, "counting_recovery_question");
            const std::string how = answer.how;
            if (how == "enter")
                PressEnter(dialog);
            else if (how == "escape")
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
            else
                Click(dialog, kIdStartAnew);
        });
        EXPECT_EQ(platform.RunDialog(model), answer.result) << answer.how;
    }
}

} // namespace
} // namespace corelith
