#include "shell/field_helpers.h"

#include "shell_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace corelith {
namespace {

using FakeControls = testing::MapControls;

TEST(CheckBoxField, ShowChecksForAnyNonZeroFlagAndNormalisesIt) {
    FakeControls dlg;
    int flag = 7;
    CheckBoxField(dlg, 10, kShow, flag);
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(dlg.Checked(10));
    flag = 0;
    CheckBoxField(dlg, 10, kShow, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(dlg.Checked(10));
}

TEST(CheckBoxField, TakeTogglesTheFlagAndShowsIt) {
    FakeControls dlg;
    int flag = 0;
    CheckBoxField(dlg, 10, kTake, flag);
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(dlg.Checked(10));
    flag = 5;
    CheckBoxField(dlg, 10, kTake, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(dlg.Checked(10));
}

TEST(CheckBoxField, OtherModesDoNothing) {
    FakeControls dlg;
    int flag = 3;
    CheckBoxField(dlg, 10, 1, flag);
    EXPECT_EQ(flag, 3);
    EXPECT_TRUE(dlg.checks.empty());
}

TEST(RadioGroup, ChecksOnlyTheChosenButton) {
    FakeControls dlg;
    dlg.checks = {{1, true}, {2, true}, {3, false}};
    EXPECT_EQ(RadioGroup(dlg, {1, 2, 3}, 3), 3);
    EXPECT_FALSE(dlg.Checked(1));
    EXPECT_FALSE(dlg.Checked(2));
    EXPECT_TRUE(dlg.Checked(3));
}

TEST(RadioGroup, AChoiceOutsideTheListOnlyUnchecks) {
    FakeControls dlg;
    dlg.checks = {{1, true}, {2, false}};
    EXPECT_EQ(RadioGroup(dlg, {1, 2}, 3), 3);
    EXPECT_EQ(RadioGroup(dlg, {1, 2}, 0), 0);
    EXPECT_FALSE(dlg.Checked(1));
    EXPECT_FALSE(dlg.Checked(2));
    EXPECT_EQ(dlg.checks.size(), 2u);
}

TEST(IntegerField, ShowWritesTheFormattedValueOrTheBlankPlaceholder) {
    FakeControls dlg;
    EXPECT_EQ(IntegerField(dlg, 5, kShow, "%d", -42, 1), -42);
    EXPECT_EQ(dlg.Text(5), "-42");
    EXPECT_EQ(IntegerField(dlg, 5, kShow, "%d", 17, 0), 17);
    EXPECT_EQ(dlg.Text(5), " ");
}

TEST(IntegerField, TakeReadsAWholeNumber) {
    FakeControls dlg;
    dlg.texts[5] = "123";
    EXPECT_EQ(IntegerField(dlg, 5, kTake, "%d", 9, 1), 123);
    dlg.texts[5] = "  -8";
    EXPECT_EQ(IntegerField(dlg, 5, kTake, "%d", 9, 1), -8);
}

TEST(IntegerField, TakeKeepsTheValueForTextThatIsNoWholeNumber) {
    FakeControls dlg;
    for (const char* text : {"", " ", "abc", "12abc", "1.5", "-", "99999999999", "0x10"}) {
        dlg.texts[5] = text;
        EXPECT_EQ(IntegerField(dlg, 5, kTake, "%d", 9, 1), 9) << '"' << text << '"';
    }
}

TEST(IntegerField, OtherModesReturnTheValueUntouched) {
    FakeControls dlg;
    dlg.texts[5] = "123";
    EXPECT_EQ(IntegerField(dlg, 5, 1, "%d", 9, 1), 9);
    EXPECT_EQ(dlg.Text(5), "123");
}

TEST(RealField, ShowFormatsInTheCLocaleOrShowsNothing) {
    FakeControls dlg;
    int comma = 0;
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kShow, "%G", 1.5f, comma, 1), 1.5f);
    EXPECT_EQ(dlg.Text(7), "1.5");
    RealField(dlg, 7, kShow, "%G", 1.0f, comma, 1);
    EXPECT_EQ(dlg.Text(7), "1");
    RealField(dlg, 7, kShow, "%G", 1.5f, comma, 0);
    EXPECT_EQ(dlg.Text(7), "");
}

TEST(RealField, ACommaIsADecimalSeparatorAndSetsTheFlag) {
    FakeControls dlg;
    int comma = 0;
    dlg.texts[7] = "3,5";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 1.0f, comma, 1), 3.5f);
    EXPECT_EQ(comma, 1);
    dlg.texts[7] = "2.25";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 1.0f, comma, 1), 2.25f);
    EXPECT_EQ(comma, 1) << "the flag is never reset";
}

TEST(RealField, ScansANumberAtTheStartLikePercentF) {
    FakeControls dlg;
    int comma = 0;
    dlg.texts[7] = "  -2.5e1xyz";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 1.0f, comma, 1), -25.0f);
    dlg.texts[7] = "+.5";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 1.0f, comma, 1), 0.5f);
    dlg.texts[7] = "7e";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 1.0f, comma, 1), 7.0f);
    EXPECT_EQ(comma, 0);
}

TEST(RealField, TextThatIsNoNumberKeepsTheValue) {
    FakeControls dlg;
    int comma = 0;
    for (const char* text :
         {"", " ", "abc", ".", "-", "inf", "nan", "INFINITY", "1e39", "-1e400"}) {
        dlg.texts[7] = text;
        EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 4.0f, comma, 1), 4.0f) << '"' << text << '"';
    }
    dlg.texts[7] = "0x1A";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 4.0f, comma, 1), 0.0f)
        << "a hexadecimal form is read as far as it is decimal";
}

TEST(RealField, ReadsOnlyTheFirst63Characters) {
    FakeControls dlg;
    int comma = 0;
    dlg.texts[7] = std::string(63, ' ') + "5";
    EXPECT_FLOAT_EQ(RealField(dlg, 7, kTake, "%G", 4.0f, comma, 1), 4.0f);
    dlg.texts[7] = std::string(63, '1') + ",";
    RealField(dlg, 7, kTake, "%G", 4.0f, comma, 1);
    EXPECT_EQ(comma, 0) << "a comma beyond the first 63 characters is not read";
}

TEST(TextField, ShowSetsTheTextAndTakeStoresExactlyTheTypedText) {
    FakeControls dlg;
    std::string name = "G. ruber";
    TextField(dlg, 3, kShow, name, 63);
    EXPECT_EQ(dlg.Text(3), "G. ruber");
    dlg.texts[3] = " G. ruber pink ";
    TextField(dlg, 3, kTake, name, 63);
    EXPECT_EQ(name, " G. ruber pink ");
    dlg.texts[3] = "";
    TextField(dlg, 3, kTake, name, 63);
    EXPECT_EQ(name, "");
}

TEST(TextField, TakeCutsToTheMaximumLength) {
    FakeControls dlg;
    std::string name;
    dlg.texts[3] = std::string(70, 'a');
    TextField(dlg, 3, kTake, name, 63);
    EXPECT_EQ(name, std::string(63, 'a'));
    dlg.texts[3] = std::string(300, 'b');
    TextField(dlg, 3, kTake, name, 1000);
    EXPECT_EQ(name, std::string(255, 'b'));
}

TEST(TextField, CuttingNeverSplitsACharacter) {
    FakeControls dlg;
    std::string name;
    dlg.texts[3] = std::string(62, 'a') + "\xC3\xA4" + "b"; // 'ä' across the limit
    TextField(dlg, 3, kTake, name, 63);
    EXPECT_EQ(name, std::string(62, 'a'));
}

TEST(TextField, OtherModesLeaveTheTextAlone) {
    FakeControls dlg;
    std::string name = "kept";
    dlg.texts[3] = "typed";
    TextField(dlg, 3, 1, name, 63);
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(dlg.Text(3), "typed");
}

TEST(FieldHasValue, OnlyASingleBlankCountsAsNoValue) {
    FakeControls dlg;
    dlg.texts[4] = " ";
    EXPECT_EQ(FieldHasValue(dlg, 4), 0);
    for (const char* text : {"", "  ", "1", " 1", "x"}) {
        dlg.texts[4] = text;
        EXPECT_EQ(FieldHasValue(dlg, 4), 1) << '"' << text << '"';
    }
}

} // namespace
} // namespace corelith
