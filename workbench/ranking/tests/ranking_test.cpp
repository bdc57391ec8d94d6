#include "ranking/ranking.h"

#include "../../converters/tests/conversion_test_support.h"
#include "converters/converters.h"
#include "resources/dialog_templates.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace corelith {
namespace {

using testing::ExpectGolden;
using testing::WorkbenchFixture;

// Counts whose last species is the total: "Rare" reaches 1.5%, "Common" 50%; X2 has no
// specimens.
constexpr char kReferenceInColumn[] = "Corner\tTaxa\tX1\tX2\n"
                                      "\tRare\t3\t0\n"
                                      "\tCommon\t100\t0\n"
                                      "\tTotal\t200\t0\n";
constexpr char kReferenceInLine[] = "Corner\t\t\t\n"
                                    "Taxa\tRare\tCommon\tTotal\n"
                                    "X1\t3\t100\t200\n"
                                    "X2\t0\t0\t0\n";

// Down-core counts of the same species: percentages 0, 0.5, 1.5 and 5 of "Rare", 0.5, 2,
// 40 and 60 of "Common"; Y5 has no specimens.
constexpr char kCoreInColumn[] = "Core\tTaxa\tY1\tY2\tY3\tY4\tY5\n"
                                 "\tRare\t0\t1\t3\t10\t0\n"
                                 "\tCommon\t1\t4\t80\t120\t0\n"
                                 "\tTotal\t200\t200\t200\t200\t0\n";
constexpr char kCoreInLine[] = "Core\t\t\t\n"
                               "Taxa\tRare\tCommon\tTotal\n"
                               "Y1\t0\t1\t200\n"
                               "Y2\t1\t4\t200\n"
                               "Y3\t3\t80\t200\n"
                               "Y4\t10\t120\t200\n"
                               "Y5\t0\t0\t0\n";

// With the certain factor 10: 1% gives 1, 0.01% gives -1, 50% gives log10(500).
constexpr char kLogarithmicInColumn[] = "Corner\tTaxa\tL1\tL2\tL3\n"
                                        "\tA\t100\t0\t0\n"
                                        "\tB\t1\t0\t50\n"
                                        "\tTotal\t10000\t0\t100\n";
constexpr char kLogarithmicInLine[] = "Corner\t\t\t\n"
                                      "Taxa\tA\tB\tTotal\n"
                                      "L1\t100\t1\t10000\n"
                                      "L2\t0\t0\t0\n"
                                      "L3\t0\t50\t100\n";

class RankingTest : public WorkbenchFixture {
  protected:
    void MakeRankingSystem(const char* text) {
        Answer({Put("ref.txt", text), ":ok"});
        ASSERT_EQ(CreateStepwiseRanking(wb_), kRankingDone);
    }
    // The database of `core` against "ref.txt.RS", saved under the proposed name.
    int MakeDatabase(const char* core) {
        Answer({Put("core.txt", core), PathOf("ref.txt.RS"), ":ok"});
        return CreateRankDatabase(wb_);
    }
};

TEST_F(RankingTest, StepwiseSystemHasTwoLimitsBelowTwoPercentAndFourAbove) {
    MakeRankingSystem(kReferenceInColumn);
    EXPECT_EQ(Proposal(1), "ref.txt.RS");
    EXPECT_EQ(Dialogs(),
              (std::vector<std::string>{"open: Select data file", "save: Save *.RS file"}));
    ExpectGolden(Get("ref.txt.RS"), "ref.RS");
    const std::string text = Get("ref.txt.RS");
    EXPECT_NE(text.find("\tRare\t0.3\t1.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tCommon\t0.3\t2\t26\t50\n"), std::string::npos) << text;
}

TEST_F(RankingTest, StepwiseSystemIsTheSameFromATableInLine) {
    SetLayout(SpeciesLayout::InLine);
    MakeRankingSystem(kReferenceInLine);
    ExpectGolden(Get("ref.txt.RS"), "ref.RS");
}

TEST_F(RankingTest, SingleSpeciesGivesHeaderLinesOnly) {
    Answer({Put("one.txt", "C\tN\tX\n\tTotal\t5\n"), ":ok"});
    CreateStepwiseRanking(wb_);
    EXPECT_EQ(Get("one.txt.RS"), "Flag\tTaxa / Rankstufe\tRank 0\t Rank 1\tRank 2\tRank 3\n");

    Answer({":ok", PathOf("one.txt"), ":ok"});
    CreateLogarithmicRanking(wb_);
    EXPECT_EQ(Get("one.txt.RLG"), "Flag\tN\tX\n");
    SetLayout(SpeciesLayout::InLine);
    Answer({":ok", Put("one-line.txt", "C\t\nN\tTotal\nX\t5\n"), ":ok"});
    CreateLogarithmicRanking(wb_);
    EXPECT_EQ(Get("one-line.txt.RLG"), "Flag\nN\nX\n");
}

TEST_F(RankingTest, LogarithmicRankingInColumn) {
    Answer({":ok", Put("log.txt", kLogarithmicInColumn), ":ok"});
    EXPECT_EQ(CreateLogarithmicRanking(wb_), kRankingDone);
    EXPECT_EQ(Dialogs(),
              (std::vector<std::string>{"dialog: CERTAINFACTOR", "open: Select data file",
                                        "save: Save *.RLG file"}));
    EXPECT_EQ(Proposal(1), "log.txt.RLG");
    ExpectGolden(Get("log.txt.RLG"), "log_in_column.RLG");
    // 1% gives 1, 0.01% gives -1, no specimen or no total an empty cell.
    const std::string text = Get("log.txt.RLG");
    EXPECT_NE(text.find("\tA\t1\t\t\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tB\t-1\t\t2.69897\n"), std::string::npos) << text;
}

TEST_F(RankingTest, LogarithmicRankingInLineHasTheSameSpecies) {
    SetLayout(SpeciesLayout::InLine);
    Answer({":ok", Put("log.txt", kLogarithmicInLine), ":ok"});
    EXPECT_EQ(CreateLogarithmicRanking(wb_), kRankingDone);
    ExpectGolden(Get("log.txt.RLG"), "log_in_line.RLG");
}

TEST_F(RankingTest, CertainFactorScalesTheLogarithm) {
    Answer({"100", Put("log.txt", kLogarithmicInColumn), ":ok"});
    CreateLogarithmicRanking(wb_);
    const std::string text = Get("log.txt.RLG");
    EXPECT_NE(text.find("\tA\t2\t\t\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t3.69897\n"), std::string::npos) << text;
    EXPECT_FLOAT_EQ(wb_.settings.certainFactor, 100.0f);
    EXPECT_NE(SettingsFile().find("\t100.000000\t"), std::string::npos);
}

TEST_F(RankingTest, CertainFactorWithDecimalCommaIsTakenAndSaved) {
    wb_.tables.decimalCommaFlag = 0;
    Answer({"3,5", ":cancel"});
    EXPECT_EQ(CreateLogarithmicRanking(wb_), kRankingDone);
    EXPECT_FLOAT_EQ(wb_.settings.certainFactor, 3.5f);
    EXPECT_EQ(wb_.tables.decimalCommaFlag, 1);
    EXPECT_NE(SettingsFile().find("\t3.500000\t"), std::string::npos);
}

TEST_F(RankingTest, CertainFactorKeepsItsValueOnCancelAndOnText) {
    wb_.settings.certainFactor = 7.0f; // not yet in the settings file
    Answer({":cancel"});
    EXPECT_EQ(CreateLogarithmicRanking(wb_), kRankingDone);
    EXPECT_FLOAT_EQ(wb_.settings.certainFactor, 7.0f);
    EXPECT_NE(SettingsFile().find("\t10.000000\t"), std::string::npos);
    EXPECT_EQ(platform_.FileRequests().size(), 0u);

    Answer({"abc", ":cancel"});
    CreateLogarithmicRanking(wb_);
    EXPECT_FLOAT_EQ(wb_.settings.certainFactor, 7.0f);
    Answer({"0", ":cancel"}); // no logarithm of a zero factor
    CreateLogarithmicRanking(wb_);
    EXPECT_FLOAT_EQ(wb_.settings.certainFactor, 7.0f);
    EXPECT_NE(SettingsFile().find("\t7.000000\t"), std::string::npos);
}

TEST_F(RankingTest, CertainFactorThatIsNotPositiveIsNotConfirmed) {
    wb_.settings.certainFactor = 0.0f; // as a damaged settings file may give it
    Answer({":ok", Put("log.txt", kLogarithmicInColumn), ":ok"});
    EXPECT_EQ(CreateLogarithmicRanking(wb_), kRankingDone);
    EXPECT_EQ(platform_.BeepCount(), 1);
    EXPECT_FALSE(Exists("log.txt.RLG"));
    EXPECT_NE(SettingsFile().find("\t10.000000\t"), std::string::npos);

    // The writer itself gives no logarithm of a zero product either.
    LineWriter out(PathOf("zero.RLG"));
    wb_.tables.reference.names[0] = "Taxa";
    wb_.tables.reference.names[1] = "L1";
    wb_.tables.species.names[1] = "A";
    wb_.tables.reference.Value(1, 1) = 1.0f;
    wb_.tables.reference.Value(1, 2) = 4.0f;
    EXPECT_EQ(WriteLogarithmicRanking(out, SpeciesLayout::InColumn, 0.0f, 2, 1, wb_.tables.species,
                                      wb_.tables.reference),
              0);
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(Get("zero.RLG"), "Flag\tTaxa\tL1\n\tA\t\n");
}

TEST(CertainFactorDialogTest, FieldShowsTheValueAndABlankClearsIt) {
    class Controls : public DialogControls {
      public:
        std::string Text(int id) const override { return id == kCertainFactorField ? text : ""; }
        void SetText(int, const std::string& t) override { text = t; }
        bool Checked(int) const override { return false; }
        void SetChecked(int, bool) override {}
        void FocusDialog() override {}
        void FocusControl(int) override {}
        void Beep() override {}
        void End(int r) override { result = r; }
        std::string text;
        int result = -1;
    } controls;
    int decimalComma = 0;
    CertainFactorDialog dialog(12.5f, decimalComma);
    dialog.OnInit(controls);
    EXPECT_EQ(controls.text, "12.5");
    controls.text = " ";
    dialog.OnCommand(controls, kCertainFactorField, Notification::Changed);
    EXPECT_EQ(controls.text, "");
    EXPECT_FLOAT_EQ(dialog.Value(), 12.5f);
    controls.text = "22.5";
    dialog.OnCommand(controls, kCertainFactorField, Notification::Changed);
    EXPECT_FLOAT_EQ(dialog.Value(), 22.5f);
    dialog.OnCommand(controls, kIdOk, Notification::Clicked);
    EXPECT_EQ(controls.result, 1);
}

TEST(CertainFactorDialogTest, TemplateHasLabelFieldOkAndCancel) {
    const DialogTemplate* t = FindDialogTemplate(kCertainFactorResource);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->controls.size(), 4u);
    EXPECT_EQ(t->controls[0].text, "certain factor");
    EXPECT_EQ(t->controls[1].kind, ControlKind::Edit);
    EXPECT_EQ(t->controls[1].id, kCertainFactorField);
    EXPECT_EQ(t->controls[2].text, "Cancel");
    EXPECT_EQ(t->controls[2].id, kIdCancel);
    EXPECT_EQ(t->controls[3].text, "OK");
    EXPECT_EQ(t->controls[3].id, kIdOk);
}

TEST_F(RankingTest, DatabaseClassifiesAgainstTheStepwiseSystem) {
    MakeRankingSystem(kReferenceInColumn);
    EXPECT_EQ(MakeDatabase(kCoreInColumn), kRankingDone);
    EXPECT_EQ(Proposal(4), PathOf("core.txt") + ".R");
    EXPECT_EQ(FirstFilter(3), "RS files (*.RS)");
    EXPECT_EQ(FirstFilter(4), "R files (*.R)");
    EXPECT_EQ(Dialogs(),
              (std::vector<std::string>{"open: Select data file", "save: Save *.RS file",
                                        "open: Select data file", "open: Select *.RS file",
                                        "save: Select *.R file"}));
    ExpectGolden(Get("core.txt.R"), "core.R");
    // Limits equal to a percentage keep it in the lower class; above M is class 4 also
    // for a species with only two limits; no positive total is class 0.
    EXPECT_EQ(Get("core.txt.R"), "Flag\tTaxa / Probe\tY1\tY2\tY3\tY4\tY5\n"
                                 "\tRare\t0\t1\t1\t4\t0\n"
                                 "\tCommon\t1\t1\t3\t4\t0\n");
    ExpectGolden(Get("HMatrix.tmp"), "core_HMatrix.tmp");
}

TEST_F(RankingTest, DatabaseDoesNotDependOnLimitsLeftInMemory) {
    MakeRankingSystem(kReferenceInColumn);
    // What an earlier command may have left in the third and fourth limit columns.
    for (int species = 1; species <= 2; ++species) {
        wb_.tables.core.Value(3, species) = 1000.0f;
        wb_.tables.core.Value(4, species) = 1000.0f;
    }
    ASSERT_EQ(MakeDatabase(kCoreInColumn), kRankingDone);
    EXPECT_NE(Get("core.txt.R").find("\tRare\t0\t1\t1\t4\t0\n"), std::string::npos);
}

TEST_F(RankingTest, DatabaseInLineReadsTheSystemInColumn) {
    SetLayout(SpeciesLayout::InLine);
    MakeRankingSystem(kReferenceInLine);
    ASSERT_EQ(MakeDatabase(kCoreInLine), kRankingDone);
    ExpectGolden(Get("core.txt.R"), "core.R");
    ExpectGolden(Get("HMatrix.tmp"), "core_line_HMatrix.tmp");
}

TEST_F(RankingTest, DatabaseOfOnlyATotalHasTheHeaderOnly) {
    Answer({Put("ref.txt", "C\tN\tX\n\tTotal\t5\n"), ":ok"});
    CreateStepwiseRanking(wb_);
    ASSERT_EQ(MakeDatabase("C\tN\tY1\tY2\n\tTotal\t5\t0\n"), kRankingDone);
    EXPECT_EQ(Get("core.txt.R"), "Flag\tTaxa / Probe\tY1\tY2\n");
}

TEST_F(RankingTest, SystemOfOtherSpeciesCountIsRefused) {
    MakeRankingSystem(kReferenceInColumn);
    Answer({Put("core.txt", "C\tN\tY\n\tRare\t1\n\tTotal\t5\n"), PathOf("ref.txt.RS"), ":ok"});
    EXPECT_EQ(CreateRankDatabase(wb_), kRankingMismatch);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0],
              "message 141: The number of species in core file\\nare not equal to the number "
              "of species\\nin the reference file.");
    EXPECT_FALSE(Exists("core.txt.R"));
}

TEST_F(RankingTest, CancelAtEachDialogEndsTheCommand) {
    MakeRankingSystem(kReferenceInColumn);
    Answer({":cancel"});
    EXPECT_EQ(CreateRankDatabase(wb_), kRankingDone);
    Answer({Put("core.txt", kCoreInColumn), ":cancel"});
    EXPECT_EQ(CreateRankDatabase(wb_), kRankingDone);
    EXPECT_TRUE(Exists("HMatrix.tmp")); // written before the ranking system is asked for
    Answer({PathOf("core.txt"), PathOf("ref.txt.RS"), ":cancel"});
    EXPECT_EQ(CreateRankDatabase(wb_), kRankingDone);
    EXPECT_FALSE(Exists("core.txt.R"));
    Answer({PathOf("core.txt"), PathOf("absent.RS")});
    EXPECT_EQ(CreateRankDatabase(wb_), kRankingNoInput);
    EXPECT_TRUE(platform_.Messages().empty());
}

TEST(RankClassTest, ClassesOfTheLimits) {
    const std::vector<float> limits{0.3f, 2.0f, 26.0f, 50.0f};
    EXPECT_EQ(RankClass(0.0f, limits), 0);
    EXPECT_EQ(RankClass(0.3f, limits), 0);
    EXPECT_EQ(RankClass(0.31f, limits), 1);
    EXPECT_EQ(RankClass(26.0f, limits), 2);
    EXPECT_EQ(RankClass(50.0f, limits), 3);
    EXPECT_EQ(RankClass(50.5f, limits), 4);
    EXPECT_EQ(RankClass(kUndefinedPercentage, {-1.0e6f, 0.0f}), 0);
    EXPECT_EQ(RankClass(7.0f, {}), 0);
}

} // namespace
} // namespace corelith
