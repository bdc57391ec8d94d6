#include "plotting/plot_command.h"

#include "platform/scripted/scripted_platform.h"
#include "plotting/svg_writer.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace corelith {
namespace {

constexpr char kAnalog[] = "Sample\tDissimilarity\tT1\tT1_SD\tT2\tT2_SD\tPercentile\tFlag\n"
                           "10\t0.1\t24.1\t0.5\t27.0\t0.4\t20\t\n"
                           "20\t0.9\t\t\t\t\t99\tno analog\n"
                           "30\t0.2\t23.2\t0.7\t26.1\t0.6\t40\t\n";
constexpr char kFactor[] = "Sample\tCommunality\tWinSST\tWinSST_SE\tSumSST\tSumSST_SE\t"
                           "Percentile\tFlag\n"
                           "10\t0.9\t24.5\t1.4\t27.2\t1.3\t20\t\n"
                           "20\t0.8\t23.9\t1.4\t26.7\t1.3\t30\t\n"
                           "30\t0.9\t23.0\t1.5\t26.0\t1.3\t50\t\n";
constexpr char kDepths[] = "Sample\tDepth_cm\n10\t5\n20\t15\n30\t25\n";

class PlotCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_.SetSettingsFolder(folder_.Folder());
        StartWorkbench(wb_);
        wb_.workingFolder = folder_.Folder();
        folder_.Write("analog_estimates.tsv", kAnalog);
        folder_.Write("core_tf_estimates.tsv", kFactor);
        folder_.Write("depths.txt", kDepths);
    }
    void TearDown() override { EXPECT_EQ(platform_.UsageError(), ""); }

    int Run(std::initializer_list<std::string> answers) {
        for (const std::string& answer : answers)
            platform_.AddAnswer(answer);
        const int result = PlotEstimates(wb_);
        EXPECT_EQ(platform_.AnswersLeft(), 0u);
        return result;
    }
    // The dialogs, messages and pictures of the run, without the cursor changes.
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown;
        for (const std::string& entry : platform_.Log()) {
            if (entry.rfind("cursor: ", 0) != 0)
                shown.push_back(entry);
        }
        return shown;
    }

    testsupport::TempDir folder_;
    ScriptedPlatform platform_;
    Workbench wb_{platform_};
};

TEST_F(PlotCommandTest, BothTablesAndADepthTableGiveThePictureBesideTheFirst) {
    EXPECT_EQ(Run({"analog_estimates.tsv", "core_tf_estimates.tsv", "depths.txt", ":ok"}),
              kPlotDone);
    const std::string picture = folder_.File("analog_estimates_plot.svg");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"open: Select analog estimates",
                                                 "open: Select transfer-function estimates",
                                                 "open: Select depth table", "save: Save plot as",
                                                 "picture: " + picture}));
    const std::vector<FileDialogRequest>& requests = platform_.FileRequests();
    EXPECT_EQ(requests[3].initialPath, picture);
    EXPECT_EQ(requests[3].filters.at(0).description, "SVG pictures (*.svg)");
    EXPECT_EQ(requests[0].filters.at(0).description, "All Files (*.*)");
    EXPECT_EQ(wb_.current.fullPath, picture);
    const std::string svg = folder_.Read("analog_estimates_plot.svg");
    for (const char* part : {">WinSST<", ">SumSST<", ">Depth (cm)<", kAnalogLegend, kFactorLegend,
                             "Analog estimates: analog_estimates.tsv; transfer-function "
                             "estimates: core_tf_estimates.tsv"})
        EXPECT_NE(svg.find(part), std::string::npos) << part;
    EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

TEST_F(PlotCommandTest, EitherTableAloneIsPlottedAndANameWithoutExtensionGetsSvg) {
    EXPECT_EQ(Run({":cancel", "core_tf_estimates.tsv", ":cancel", "tf"}), kPlotDone);
    EXPECT_EQ(platform_.FileRequests()[3].initialPath, folder_.File("core_tf_estimates_plot.svg"));
    EXPECT_TRUE(folder_.Has("tf.svg"));
    EXPECT_EQ(folder_.Read("tf.svg").find("Analog"), std::string::npos);
}

TEST_F(PlotCommandTest, CancellingBothTablesEndsQuietly) {
    EXPECT_EQ(Run({":cancel", ":cancel"}), kPlotDone);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"open: Select analog estimates",
                                                 "open: Select transfer-function estimates"}));
}

TEST_F(PlotCommandTest, CancellingTheSaveDialogWritesNothing) {
    EXPECT_EQ(Run({"analog_estimates.tsv", ":cancel", ":cancel", ":cancel"}), kPlotDone);
    EXPECT_FALSE(folder_.Has("analog_estimates_plot.svg"));
    EXPECT_EQ(Shown().back(), "save: Save plot as");
}

TEST_F(PlotCommandTest, ProblemsAreShownWithTheFileAndTheLine) {
    folder_.Write("bad.tsv", std::string(kAnalog) + "40\t0.1\tx\t0.5\t27.0\t0.4\t20\t\n");
    folder_.Write("short_depths.txt", "10\t5\n30\t25\n");
    const struct {
        std::vector<std::string> answers;
        std::string message;
    } cases[] = {
        {{"bad.tsv"},
         "message 0: Cannot plot this file:\\n>" + folder_.File("bad.tsv") +
             "<\\nLine 5: column 3 (T1) holds \"x\", which is not a number."},
        {{"core_tf_estimates.tsv"},
         "message 0: Cannot plot this file:\\n>" + folder_.File("core_tf_estimates.tsv") +
             "<\\nLine 1: this is Quillon's table of estimates, expected the header of "
             "Marvane's summary table (SAMPLE, DISS, SD, T1, SD, T2, SD) or of its estimates "
             "(Sample, Dissimilarity, T1, T1_SD, T2, T2_SD, Percentile, Flag)."},
        {{":cancel", "missing.tsv"},
         "message 136: Could not find file:\\n>" + folder_.File("missing.tsv") + "<"},
        {{"analog_estimates.tsv", ":cancel", "short_depths.txt"},
         "message 0: Cannot plot with this depth table:\\n>" + folder_.File("short_depths.txt") +
             "<\\nIt has no depth for the sample >20<."},
    };
    for (const auto& c : cases) {
        ScriptedPlatform platform(c.answers);
        platform.SetSettingsFolder(folder_.Folder());
        Workbench wb(platform);
        StartWorkbench(wb);
        wb.workingFolder = folder_.Folder();
        EXPECT_EQ(PlotEstimates(wb), kPlotNoInput) << c.message;
        EXPECT_EQ(platform.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(platform.BeepCount(), 1);
        EXPECT_EQ(platform.Log().back().rfind("message", 0), 0u) << "no further dialog";
    }
}

TEST_F(PlotCommandTest, APictureThatCannotBeWrittenIsReported) {
    EXPECT_EQ(Run({"analog_estimates.tsv", ":cancel", ":cancel", "no/such/folder/p.svg"}),
              kPlotNoOutput);
    ASSERT_EQ(platform_.Messages().size(), 1u);
    EXPECT_EQ(platform_.Messages()[0].rfind("message 0: Could not write the picture:\\n>" +
                                                folder_.File("no/such/folder/p.svg") + "<\\n",
                                            0),
              0u)
        << platform_.Messages()[0];
    EXPECT_EQ(Shown().back().rfind("message", 0), 0u) << "nothing is shown";
}

} // namespace
} // namespace corelith
