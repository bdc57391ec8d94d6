#include "plotting/nice_ticks.h"
#include "plotting/plot_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace corelith {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

TEST(NiceTicks, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
    const std::pair<double, double> cases[] = {{0.13, 0.1}, {0.17, 0.2}, {0.4, 0.5},  {0.8, 1.0},
                                               {3.0, 5.0},  {7.0, 10.0}, {109, 100},  {1e-7, 1e-7},
                                               {0.0, 1.0},  {-2.0, 1.0}, {kNone, 1.0}};
    for (const auto& [rough, nice] : cases)
        EXPECT_DOUBLE_EQ(NiceStep(rough), nice) << rough;
}

TEST(NiceTicks, AxesStartAndEndOnRoundTicks) {
    const struct {
        double low, high;
        int intervals;
        double minimumStep;
        double first, last, step;
        int decimals;
        size_t count;
    } cases[] = {
        {0, 1090, 10, 0, 0, 1100, 100, 0, 12},
        {20.1, 28.7, 4, 0, 20, 30, 2, 0, 6},
        {35.5, 36.9, 4, 0, 35.5, 37, 0.5, 1, 4},
        {0.1, 0.3, 2, 0, 0.1, 0.3, 0.1, 1, 3}, // 0.3 / 0.1 is just below 3 in binary
        {-0.35, 0.35, 4, 0, -0.4, 0.4, 0.2, 1, 5},
        {28.7, 20.1, 4, 0, 20, 30, 2, 0, 6}, // given the wrong way round
        {5, 5, 4, 0, 4.4, 5.6, 0.2, 1, 7},   // one value: widened by a tenth
        {0, 0, 4, 0, -1, 1, 0.5, 1, 5},
        {1, 110, 10, 1, 0, 110, 10, 0, 12},
        {1, 3, 10, 1, 1, 3, 1, 0, 3}, // counted things never get a step below 1
        {kNone, 3, 4, 0, 0, 1, 0.2, 1, 6},
        {0.0012, 0.0047, 4, 0, 0.001, 0.005, 0.001, 3, 5},
    };
    for (const auto& c : cases) {
        const AxisTicks ticks = NiceTicks(c.low, c.high, c.intervals, c.minimumStep);
        const std::string where = std::to_string(c.low) + " to " + std::to_string(c.high);
        EXPECT_NEAR(ticks.first, c.first, 1e-12) << where;
        EXPECT_NEAR(ticks.last, c.last, 1e-12) << where;
        EXPECT_NEAR(ticks.step, c.step, 1e-12) << where;
        EXPECT_EQ(ticks.decimals, c.decimals) << where;
        ASSERT_EQ(ticks.values.size(), c.count) << where;
        EXPECT_EQ(ticks.values.front(), ticks.first);
        EXPECT_EQ(ticks.values.back(), ticks.last);
    }
    // Far beyond a double's precision the count of ticks stays bounded.
    EXPECT_LE(NiceTicks(1e17, 1e17 + 10, 4).values.size(), 1001u);
}

TEST(NiceTicks, LabelsHaveFixedDecimalsAndNoNegativeZero) {
    EXPECT_EQ(FormatFixed(1234.5678, 2), "1234.57");
    EXPECT_EQ(FormatFixed(0.30000000000000004, 1), "0.3");
    EXPECT_EQ(FormatFixed(-0.04, 1), "0.0");
    EXPECT_EQ(FormatFixed(-0.0, 0), "0");
    EXPECT_EQ(FormatFixed(-3.25, 0), "-3");
    EXPECT_EQ(FormatFixed(20, 0), "20");
}

TEST(PlotModel, TheLastNumberInANameIsItsDepth) {
    const std::pair<const char*, double> found[] = {{"1050", 1050},
                                                    {"V12-122 1050cm", 1050},
                                                    {"V12-122_1050", 1050},
                                                    {"MD95-2040 25.5", 25.5},
                                                    {"S3a", 3},
                                                    {"core 12.", 12},
                                                    {"0", 0}};
    for (const auto& [name, depth] : found) {
        double number = -1;
        EXPECT_TRUE(LastNumberInName(name, number)) << name;
        EXPECT_EQ(number, depth) << name;
    }
    for (const char* name : {"", "top", "V-", "."}) {
        double number = -1;
        EXPECT_FALSE(LastNumberInName(name, number)) << name;
        EXPECT_EQ(number, -1);
    }
}

EstimateRow Row(const std::string& name, std::vector<double> values, std::vector<double> spreads,
                bool noAnalog = false) {
    return {name, 0, std::move(values), std::move(spreads), noAnalog};
}

EstimatesTable Analog(std::vector<EstimateRow> rows,
                      EstimatesKind kind = EstimatesKind::AnalogEstimates) {
    return {kind, {"T1", "T2"}, std::move(rows)};
}

EstimatesTable Factor(std::vector<EstimateRow> rows) {
    return {EstimatesKind::FactorEstimates, {"WinSST", "SumSST", "Salinity"}, std::move(rows)};
}

Plot Build(const EstimatesTable* analog, const EstimatesTable* factor,
           const DepthTable* depths = nullptr) {
    PlotInputs inputs;
    if (analog != nullptr)
        inputs.analog = {analog, "a.tsv"};
    if (factor != nullptr)
        inputs.factor = {factor, "f.tsv"};
    inputs.depths = depths;
    Plot plot;
    std::string missing;
    EXPECT_EQ(BuildPlot(inputs, plot, missing), 0) << missing;
    return plot;
}

std::vector<double> Depths(const PlotSeries& series) {
    std::vector<double> depths;
    for (const PlotPoint& p : series.points)
        depths.push_back(p.depth);
    return depths;
}

TEST(PlotModel, PanelsOverlayTheMethodsByPositionUnderTheFactorMethodsNames) {
    const EstimatesTable analog = Analog(
        {Row("20", {1, 2}, {0.1, 0.2}, true), Row("10", {kNone, kNone}, {kNone, kNone}, true)});
    const EstimatesTable factor =
        Factor({Row("10", {3, 4, 35}, {1, 1, 0.5}), Row("20", {5, 6, 36}, {1, 1, 0.5})});
    const Plot plot = Build(&analog, &factor);
    ASSERT_EQ(plot.panels.size(), 3u);
    EXPECT_EQ(plot.panels[0].title, "WinSST");
    EXPECT_EQ(plot.panels[2].title, "Salinity");
    ASSERT_EQ(plot.panels[1].series.size(), 2u);
    EXPECT_EQ(plot.panels[1].series[0].method, EstimatesMethod::Analog);
    EXPECT_EQ(plot.panels[2].series.size(), 1u);
    EXPECT_EQ(plot.panels[2].series[0].method, EstimatesMethod::Factor);
    // Sorted by depth, whatever the file order.
    const PlotSeries& t2 = plot.panels[1].series[0];
    EXPECT_EQ(Depths(t2), (std::vector<double>{10, 20}));
    EXPECT_TRUE(std::isnan(t2.points[0].value));
    EXPECT_TRUE(t2.points[0].noAnalog);
    EXPECT_EQ(t2.points[1].value, 2);
    EXPECT_EQ(t2.points[1].spread, 0.2);
    // The value axis holds every estimate with its spread: 1.8 to 7.
    EXPECT_EQ(plot.panels[1].axis.first, 1);
    EXPECT_EQ(plot.panels[1].axis.last, 7);
    EXPECT_EQ(plot.depthSource, DepthSource::SampleNames);
    EXPECT_EQ(plot.depthLabel, "Depth");
    EXPECT_EQ(plot.depthAxis.first, 10);
    EXPECT_EQ(plot.depthAxis.last, 20);
    EXPECT_TRUE(plot.hasAnalog && plot.hasFactor && plot.analogFlagsKnown);
    EXPECT_EQ(plot.heading, "Analog estimates: a.tsv; transfer-function estimates: f.tsv");
}

TEST(PlotModel, WideTickLabelsGetFewerTicks) {
    const EstimatesTable narrow = Factor(
        {Row("a", {18.9, 100, 0.00135}, {0.7, 0, 0}), Row("b", {29.2, 1000, 0.0046}, {0.7, 0, 0})});
    const Plot plot = Build(nullptr, &narrow);
    const struct {
        double first, last, step;
    } axes[] = {{18, 30, 2}, {0, 1000, 200}, {0.001, 0.005, 0.001}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(plot.panels[i].axis.first, axes[i].first, 1e-12) << i;
        EXPECT_NEAR(plot.panels[i].axis.last, axes[i].last, 1e-12) << i;
        EXPECT_NEAR(plot.panels[i].axis.step, axes[i].step, 1e-12) << i;
    }
}

TEST(PlotModel, AnalogAloneHasItsTwoPanels) {
    const EstimatesTable analog =
        Analog({Row("a", {1, kNone}, {0, kNone}), Row("b", {2, kNone}, {0, kNone})},
               EstimatesKind::AnalogSummary);
    const Plot plot = Build(&analog, nullptr);
    ASSERT_EQ(plot.panels.size(), 2u);
    EXPECT_EQ(plot.panels[0].title, "T1");
    EXPECT_TRUE(plot.panels[0].hasValues);
    EXPECT_FALSE(plot.panels[1].hasValues);
    EXPECT_FALSE(plot.analogFlagsKnown);
    EXPECT_FALSE(plot.hasFactor);
    EXPECT_EQ(plot.heading, "Analog estimates: a.tsv");
}

TEST(PlotModel, WithoutNumbersInEveryNameOrWithOneNumberForAllTheOrderIsTheDepth) {
    for (const auto& names : std::vector<std::vector<std::string>>{
             {"top", "10", "20"}, {"V12-122 a", "V12-122 b", "V12-122 c"}}) {
        const EstimatesTable factor =
            Factor({Row(names[0], {1, 1, 1}, {0, 0, 0}), Row(names[1], {1, 1, 1}, {0, 0, 0}),
                    Row(names[2], {1, 1, 1}, {0, 0, 0})});
        const Plot plot = Build(nullptr, &factor);
        EXPECT_EQ(plot.depthSource, DepthSource::Order) << names[0];
        EXPECT_EQ(plot.depthLabel, "Sample");
        EXPECT_EQ(Depths(plot.panels[0].series[0]), (std::vector<double>{1, 2, 3}));
        EXPECT_EQ(plot.depthAxis.step, 1);
        EXPECT_EQ(plot.heading, "Transfer-function estimates: f.tsv");
    }
}

TEST(PlotModel, SamplesOfBothTablesKeepTheirOrderAndMeetByName) {
    // The summary table lacks the samples without analogs and cuts names to 12 columns.
    const EstimatesTable summary =
        Analog({Row("x", {1, 1}, {0, 0}), Row("core 12 left", {1, 1}, {0, 0}),
                Row("only analog", {1, 1}, {0, 0}), Row("x", {1, 1}, {0, 0})},
               EstimatesKind::AnalogSummary);
    const EstimatesTable factor =
        Factor({Row("x", {1, 1, 1}, {0, 0, 0}), Row("no analogs", {1, 1, 1}, {0, 0, 0}),
                Row("core 12 left half", {1, 1, 1}, {0, 0, 0}), Row("x", {1, 1, 1}, {0, 0, 0})});
    const Plot plot = Build(&summary, &factor);
    EXPECT_EQ(plot.sampleCount, 5u);
    EXPECT_EQ(plot.depthSource, DepthSource::Order);
    EXPECT_EQ(Depths(plot.panels[0].series[0]), (std::vector<double>{1, 3, 4, 5}));
    EXPECT_EQ(Depths(plot.panels[0].series[1]), (std::vector<double>{1, 2, 3, 5}));
}

TEST(PlotModel, TheDepthTableGivesTheDepthsOrNamesTheSampleItLacks) {
    const EstimatesTable analog =
        Analog({Row("s1", {1, 1}, {0, 0}), Row("s2", {2, 2}, {0, 0}), Row("s1", {3, 3}, {0, 0})});
    DepthTable depths{"Depth (cm)", {{"s2", 5.5}, {"s1", 12}, {"s1", 2}, {"other", 1}}};
    const Plot plot = Build(&analog, nullptr, &depths);
    EXPECT_EQ(plot.depthSource, DepthSource::Table);
    EXPECT_EQ(plot.depthLabel, "Depth (cm)");
    const PlotSeries& t1 = plot.panels[0].series[0];
    EXPECT_EQ(Depths(t1), (std::vector<double>{2, 5.5, 12}));
    EXPECT_EQ(t1.points[0].value, 3);

    depths.depths.pop_back();
    depths.depths.pop_back();
    PlotInputs inputs;
    inputs.analog = {&analog, "a.tsv"};
    inputs.depths = &depths;
    Plot plot2;
    std::string missing;
    EXPECT_EQ(BuildPlot(inputs, plot2, missing), -1);
    EXPECT_EQ(missing, "s1") << "the second s1 has no depth";
    EXPECT_EQ(BuildPlot(PlotInputs{}, plot2, missing), -1);
}

} // namespace
} // namespace corelith
