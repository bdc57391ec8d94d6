#include "plotting/plot_model.h"

#include "plotting/table_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_map>

namespace corelith {

namespace {

constexpr int kDepthIntervals = 10;
constexpr int kValueIntervals = 5;
// About 30 characters of tick labels fit across a panel, each label with a blank beside it.
constexpr size_t kLabelCharactersAcross = 30;
constexpr char kOrderLabel[] = "Sample";
constexpr char kNamesLabel[] = "Depth";

// A sample of the plot: its key in every table, its name and its depth.
struct Sample {
    std::string key;
    std::string name;
    double depth = 0.0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Samples are matched across the tables by name. The summary table cuts names to 12
// columns, so while it takes part every name is compared by its first 12 characters. The
// k-th sample of a name in one table is the k-th sample of that name in another.
std::vector<std::string> KeysOf(const std::vector<std::string>& names, size_t width) {
    std::vector<std::string> keys;
    keys.reserve(names.size());
    std::unordered_map<std::string, int> seen;
    for (const std::string& name : names) {
        std::string key(TrimBlanks(std::string_view(name).substr(0, width)));
        const int occurrence = seen[key]++;
        // Names never hold a line end, so it separates the name from its occurrence.
        keys.push_back(key + '\n' + std::to_string(occurrence));
    }
    return keys;
}

std::vector<std::string> NamesOf(const EstimatesTable& table) {
    std::vector<std::string> names;
    names.reserve(table.rows.size());
    for (const EstimateRow& row : table.rows)
        names.push_back(row.sample);
    return names;
}

// Adds the samples of a second table to `samples`, keeping the order of both: a sample
// only the second table has comes right after the last one before it that both have.
void MergeSamples(std::vector<Sample>& samples, const std::vector<std::string>& keys,
                  const std::vector<std::string>& names) {
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; i < samples.size(); ++i)
        index.emplace(samples[i].key, i);
    // before[i]: the new samples that go before samples[i] (the last entry: at the end).
    std::vector<std::vector<Sample>> before(samples.size() + 1);
    size_t next = 0;
    for (size_t j = 0; j < keys.size(); ++j) {
        const auto found = index.find(keys[j]);
        if (found == index.end()) {
            before[next].push_back({keys[j], names[j], 0.0});
            continue;
        }
        Sample& known = samples[found->second];
        // The full name, where one table has it cut.
        if (names[j].size() > known.name.size())
            known.name = names[j];
        next = found->second + 1;
    }
    std::vector<Sample> merged;
    merged.reserve(samples.size() + keys.size());
    for (size_t i = 0; i <= samples.size(); ++i) {
        for (Sample& added : before[i])
            merged.push_back(std::move(added));
        if (i < samples.size())
            merged.push_back(std::move(samples[i]));
    }
    samples = std::move(merged);
}

// Depths from the depth table; false with `missing` naming a sample it lacks.
bool DepthsFromTable(const DepthTable& table, size_t width, std::vector<Sample>& samples,
                     std::string& missing) {
    std::vector<std::string> names;
    for (const SampleDepth& entry : table.depths)
        names.push_back(entry.sample);
    const std::vector<std::string> keys = KeysOf(names, width);
    std::unordered_map<std::string, double> depthOf;
    for (size_t i = 0; i < keys.size(); ++i)
        depthOf.emplace(keys[i], table.depths[i].depth);
    for (Sample& sample : samples) {
        const auto found = depthOf.find(sample.key);
        if (found == depthOf.end()) {
            missing = sample.name;
            return false;
        }
        sample.depth = found->second;
    }
    return true;
}

// Depths from the samples' names when each has a number and they are not all one;
// otherwise the samples' order.
DepthSource DepthsFromNames(std::vector<Sample>& samples) {
    std::vector<double> numbers;
    for (const Sample& sample : samples) {
        double number = 0.0;
        if (!LastNumberInName(sample.name, number))
            break;
        numbers.push_back(number);
    }
    const bool useNames =
        numbers.size() == samples.size() &&
        std::any_of(numbers.begin(), numbers.end(), [&](double n) { return n != numbers[0]; });
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i].depth = useNames ? numbers[i] : static_cast<double>(i + 1);
    return useNames ? DepthSource::SampleNames : DepthSource::Order;
}

PlotSeries SeriesOf(const EstimatesTable& table, EstimatesMethod method, size_t variable,
                    const std::vector<std::string>& keys,
                    const std::unordered_map<std::string, double>& depthOf) {
    PlotSeries series;
    series.method = method;
    series.points.reserve(table.rows.size());
    for (size_t j = 0; j < table.rows.size(); ++j) {
        const EstimateRow& row = table.rows[j];
        series.points.push_back(
            {depthOf.at(keys[j]), row.values[variable], row.spreads[variable], row.noAnalog});
    }
    std::stable_sort(series.points.begin(), series.points.end(),
                     [](const PlotPoint& a, const PlotPoint& b) { return a.depth < b.depth; });
    return series;
}

// The value axis of a panel: every estimate with its spread on both sides.
void FitValueAxis(PlotPanel& panel) {
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const PlotSeries& series : panel.series) {
        for (const PlotPoint& point : series.points) {
            if (!std::isfinite(point.value))
                continue;
            const double spread = std::isfinite(point.spread) ? std::fabs(point.spread) : 0.0;
            low = std::min(low, point.value - spread);
            high = std::max(high, point.value + spread);
        }
    }
    panel.hasValues = low <= high;
    if (!panel.hasValues) {
        low = 0.0;
        high = 1.0;
    }
    // As many ticks as the labels leave room for.
    for (int intervals = kValueIntervals; intervals >= 1; --intervals) {
        panel.axis = NiceTicks(low, high, intervals);
        size_t widest = 0;
        for (double value : panel.axis.values)
            widest = std::max(widest, FormatFixed(value, panel.axis.decimals).size());
        if ((widest + 1) * (panel.axis.values.size() - 1) <= kLabelCharactersAcross)
            break;
    }
}

std::string Heading(const PlotInputs& inputs) {
    std::string heading;
    if (inputs.analog.table != nullptr)
        heading = "Analog estimates: " + inputs.analog.fileName;
    if (inputs.factor.table != nullptr) {
        if (!heading.empty())
            heading += "; transfer-function estimates: ";
        else
            heading = "Transfer-function estimates: ";
        heading += inputs.factor.fileName;
    }
    return heading;
}

} // namespace

bool LastNumberInName(std::string_view name, double& number) {
    size_t end = name.size();
    while (end > 0 && !IsDigit(name[end - 1]))
        --end;
    if (end == 0)
        return false;
    size_t start = end;
    while (start > 0 && IsDigit(name[start - 1]))
        --start;
    // A decimal part: digits, a point and the digits just found.
    if (start >= 2 && name[start - 1] == '.' && IsDigit(name[start - 2])) {
        start -= 1;
        while (start > 0 && IsDigit(name[start - 1]))
            --start;
    }
    double read = 0.0;
    const auto [stop, error] = std::from_chars(name.data() + start, name.data() + end, read);
    if (error != std::errc() || stop != name.data() + end || !std::isfinite(read))
        return false;
    number = read;
    return true;
}

int BuildPlot(const PlotInputs& inputs, Plot& plot, std::string& missingSample) {
    const EstimatesTable* analog = inputs.analog.table;
    const EstimatesTable* factor = inputs.factor.table;
    const bool summary = analog != nullptr && analog->kind == EstimatesKind::AnalogSummary;
    const size_t width = summary ? kSummaryNameWidth : std::string_view::npos;

    // The factor method's table lists every sample; the summary table lacks those without
    // analogs, so it is merged into the other one.
    const EstimatesTable* base = factor != nullptr ? factor : analog;
    if (base == nullptr)
        return -1;
    const EstimatesTable* other = factor != nullptr ? analog : nullptr;
    std::vector<Sample> samples;
    const std::vector<std::string> baseNames = NamesOf(*base);
    const std::vector<std::string> baseKeys = KeysOf(baseNames, width);
    for (size_t i = 0; i < baseKeys.size(); ++i)
        samples.push_back({baseKeys[i], baseNames[i], 0.0});
    std::vector<std::string> otherKeys;
    if (other != nullptr) {
        const std::vector<std::string> otherNames = NamesOf(*other);
        otherKeys = KeysOf(otherNames, width);
        MergeSamples(samples, otherKeys, otherNames);
    }

    Plot built;
    built.heading = Heading(inputs);
    built.sampleCount = samples.size();
    if (inputs.depths != nullptr) {
        if (!DepthsFromTable(*inputs.depths, width, samples, missingSample))
            return -1;
        built.depthSource = DepthSource::Table;
        built.depthLabel = inputs.depths->axisLabel;
    } else {
        built.depthSource = DepthsFromNames(samples);
        built.depthLabel =
            built.depthSource == DepthSource::SampleNames ? kNamesLabel : kOrderLabel;
    }
    std::unordered_map<std::string, double> depthOf;
    double shallowest = HUGE_VAL;
    double deepest = -HUGE_VAL;
    for (const Sample& sample : samples) {
        depthOf.emplace(sample.key, sample.depth);
        shallowest = std::min(shallowest, sample.depth);
        deepest = std::max(deepest, sample.depth);
    }
    built.depthAxis = NiceTicks(shallowest, deepest, kDepthIntervals,
                                built.depthSource == DepthSource::Order ? 1.0 : 0.0);

    built.hasAnalog = analog != nullptr;
    built.hasFactor = factor != nullptr;
    built.analogFlagsKnown = analog != nullptr && !summary;
    const std::vector<std::string>& analogKeys = factor != nullptr ? otherKeys : baseKeys;
    const size_t analogCount = analog != nullptr ? analog->variables.size() : 0;
    const size_t factorCount = factor != nullptr ? factor->variables.size() : 0;
    for (size_t i = 0; i < std::max(analogCount, factorCount); ++i) {
        PlotPanel& panel = built.panels.emplace_back();
        panel.title = i < factorCount ? factor->variables[i] : analog->variables[i];
        if (i < analogCount)
            panel.series.push_back(
                SeriesOf(*analog, EstimatesMethod::Analog, i, analogKeys, depthOf));
        if (i < factorCount)
            panel.series.push_back(
                SeriesOf(*factor, EstimatesMethod::Factor, i, baseKeys, depthOf));
        FitValueAxis(panel);
    }
    plot = std::move(built);
    return 0;
}

} // namespace corelith
