#include "plotting/svg_writer.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace corelith {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// A small checker of well-formed XML, enough for what an SVG writer could get wrong:
// unbalanced or crossed tags, unquoted or repeated attributes, a raw "<" or "&" in text or
// attribute values, unknown entities, more than one root element. Returns "" when the
// document is well-formed, else what is wrong and where.
class XmlChecker {
  public:
    explicit XmlChecker(std::string text) : text_(std::move(text)) {}

    std::string Check() {
        if (text_.rfind("<?xml ", 0) != 0)
            return "no XML declaration";
        at_ = text_.find("?>") + 2;
        int roots = 0;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '<') {
                const bool wasEmpty = open_.empty();
                if (!Tag())
                    return problem_ + " at " + std::to_string(at_);
                if (wasEmpty && !open_.empty())
                    ++roots;
            } else if (c == '&') {
                if (!Entity())
                    return "bad entity at " + std::to_string(at_);
            } else {
                if (open_.empty() && c != '\n' && c != ' ')
                    return "text outside the root at " + std::to_string(at_);
                ++at_;
            }
        }
        if (!open_.empty())
            return "<" + open_.back() + "> is not closed";
        return roots == 1 ? "" : std::to_string(roots) + " root elements";
    }

  private:
    static bool NameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
               c == '.';
    }
    std::string Name() {
        const size_t start = at_;
        while (at_ < text_.size() && NameChar(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }
    void Blanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }
    bool Fail(const std::string& why) {
        problem_ = why;
        return false;
    }
    bool Entity() {
        const size_t end = text_.find(';', at_);
        if (end == std::string::npos || end - at_ > 10)
            return false;
        const std::string name = text_.substr(at_ + 1, end - at_ - 1);
        at_ = end + 1;
        if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos")
            return true;
        return name.size() > 1 && name[0] == '#' &&
               name.find_first_not_of("0123456789", 1) == std::string::npos;
    }
    bool Tag() {
        ++at_;
        const bool closing = at_ < text_.size() && text_[at_] == '/';
        if (closing)
            ++at_;
        const std::string name = Name();
        if (name.empty())
            return Fail("a tag without a name");
        if (closing) {
            Blanks();
            if (open_.empty() || open_.back() != name || text_[at_] != '>')
                return Fail("</" + name + "> does not close the open element");
            open_.pop_back();
            ++at_;
            return true;
        }
        std::vector<std::string> attributes;
        while (true) {
            Blanks();
            if (at_ >= text_.size())
                return Fail("the document ends inside <" + name + ">");
            if (text_.compare(at_, 2, "/>") == 0) {
                at_ += 2;
                return true;
            }
            if (text_[at_] == '>') {
                ++at_;
                open_.push_back(name);
                return true;
            }
            const std::string attribute = Name();
            if (attribute.empty() || text_[at_] != '=' || at_ + 1 >= text_.size() ||
                text_[at_ + 1] != '"')
                return Fail("a badly written attribute in <" + name + ">");
            for (const std::string& seen : attributes) {
                if (seen == attribute)
                    return Fail("attribute " + attribute + " twice");
            }
            attributes.push_back(attribute);
            at_ += 2;
            while (at_ < text_.size() && text_[at_] != '"') {
                if (text_[at_] == '<')
                    return Fail("a raw < in an attribute value");
                if (text_[at_] == '&') {
                    if (!Entity())
                        return Fail("a bad entity in an attribute value");
                    continue;
                }
                ++at_;
            }
            ++at_;
        }
    }

    std::string text_;
    size_t at_ = 0;
    std::vector<std::string> open_;
    std::string problem_;
};

TEST(XmlChecker, FindsWhatMakesADocumentIllFormed) {
    const std::string head = "<?xml version=\"1.0\"?>\n";
    EXPECT_EQ(XmlChecker(head + "<a x=\"1\"><b/>t &amp; &#177;</a>\n").Check(), "");
    for (const char* bad : {"<a><b></a></b>", "<a>", "<a x=1/>", "<a x=\"<\"/>", "<a>&</a>",
                            "<a>&nbsp;</a>", "<a/><b/>", "<a x=\"1\" x=\"2\"/>", "text<a/>"})
        EXPECT_NE(XmlChecker(head + bad).Check(), "") << bad;
    EXPECT_NE(XmlChecker("<a/>").Check(), "");
}

TEST(SvgWriter, EscapesWhatXmlReservesAndKeepsEveryTextUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"S&P <psu> \"a\" 'b'", "S&amp;P &lt;psu&gt; &quot;a&quot; &apos;b&apos;"},
        {"\xC2\xB1 \xE2\x80\x93 \xF0\x9F\x8C\x8A", "\xC2\xB1 \xE2\x80\x93 \xF0\x9F\x8C\x8A"},
        {"K\xF6ln 5\xB0", "K\xC3\xB6ln 5\xC2\xB0"}, // Latin-1 bytes
        {"\xC0\xAF \xED\xA0\x80",
         "\xC3\x80\xC2\xAF \xC3\xAD\xC2\xA0\xC2\x80"}, // overlong, surrogate
        {"\xE2\x80", "\xC3\xA2\xC2\x80"},              // cut short at the end
        {"a\x01\tb", "a?\tb"},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(EscapeXml(text), escaped) << text;
}

EstimateRow Row(const std::string& name, std::vector<double> values, std::vector<double> spreads,
                bool noAnalog = false) {
    return {name, 0, std::move(values), std::move(spreads), noAnalog};
}

Plot BuildOrFail(const PlotInputs& inputs) {
    Plot plot;
    std::string missing;
    EXPECT_EQ(BuildPlot(inputs, plot, missing), 0);
    return plot;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Both methods on a depth table, with what a plot must cope with: a sample without an
// estimate, a lone estimate between gaps, a spread lost to asterisks, no-analog samples
// with and without estimates, names that XML reserves characters of.
TEST(SvgWriter, TheGoldenPlotOfASmallRecord) {
    const EstimatesTable analog{
        EstimatesKind::AnalogEstimates,
        {"T1", "T2"},
        {Row("top", {24.5, 27.1}, {0.4, 0.3}), Row("s<2>", {23.0, 26.2}, {1.1, kNone}),
         Row("s&3", {kNone, kNone}, {kNone, kNone}, true), Row("s4", {21.8, 25.0}, {0.9, 0.6}),
         Row("s5", {22.6, 25.9}, {0.5, 0.4}, true)}};
    const EstimatesTable factor{EstimatesKind::FactorEstimates,
                                {"WinSST", "SumSST", "S&P \"psu\""},
                                {Row("top", {25.2, 27.4, 36.0}, {1.4, 1.3, 0.5}),
                                 Row("s<2>", {24.1, 26.8, 36.1}, {1.4, 1.3, 0.5}),
                                 Row("s&3", {23.3, 26.7, 35.2}, {1.4, 1.3, 0.6}, true),
                                 Row("s4", {22.0, 25.5, 36.3}, {1.5, 1.3, 0.5}),
                                 Row("s5", {22.9, 26.1, 36.2}, {1.4, 1.2, 0.5})}};
    const DepthTable depths{"Depth (cm)",
                            {{"top", 0}, {"s<2>", 12.5}, {"s&3", 30}, {"s4", 41}, {"s5", 58}}};
    PlotInputs inputs;
    inputs.analog = {&analog, "core & co_estimates.tsv"};
    inputs.factor = {&factor, "core_tf_estimates.tsv"};
    inputs.depths = &depths;
    const std::string svg = PlotToSvg(BuildOrFail(inputs));
    EXPECT_EQ(XmlChecker(svg).Check(), "");
    testsupport::ExpectGolden(std::filesystem::path(CORELITH_TEST_DIR) / "golden" / "small.svg",
                              svg);
}

TEST(SvgWriter, TheSummaryTableAloneSaysItsSamplesAreNotMarked) {
    const EstimatesTable summary{
        EstimatesKind::AnalogSummary,
        {"T1", "T2"},
        {Row("10", {24.5, 27.1}, {0.4, 0.3}), Row("20", {23.0, kNone}, {1.1, kNone})}};
    PlotInputs inputs;
    inputs.analog = {&summary, "SST_short.txt"};
    const std::string svg = PlotToSvg(BuildOrFail(inputs));
    EXPECT_EQ(XmlChecker(svg).Check(), "");
    EXPECT_EQ(Count(svg, EscapeXml(kSummaryFlagsNote)), 1u);
    EXPECT_EQ(Count(svg, kAnalogLegend), 1u);
    EXPECT_EQ(Count(svg, kFactorLegend), 0u);
    std::string noAnalogLabel = ">"; // appended, not prefixed: a false -Wrestrict of GCC 12
    noAnalogLabel += kNoAnalogLegend;
    noAnalogLabel += '<';
    EXPECT_EQ(Count(svg, noAnalogLabel), 0u);
    EXPECT_EQ(Count(svg, "<circle"), 3u + 1u) << "three estimates and the legend's dot";
    EXPECT_EQ(Count(svg, ">Depth<"), 1u);
}

TEST(SvgWriter, ALongRecordIsWellFormedWithEveryEstimateDrawn) {
    EstimatesTable factor{EstimatesKind::FactorEstimates, {"WinSST"}, {}};
    for (int i = 0; i < 1000; ++i)
        factor.rows.push_back(Row("V12-122 " + std::to_string(i * 2) + "cm",
                                  {20 + 5 * std::sin(i / 30.0)}, {1.2}, i % 97 == 0));
    PlotInputs inputs;
    inputs.factor = {&factor, "long.tsv"};
    const Plot plot = BuildOrFail(inputs);
    EXPECT_EQ(plot.depthSource, DepthSource::SampleNames);
    EXPECT_EQ(plot.depthAxis.last, 2000);
    const std::string svg = PlotToSvg(plot);
    EXPECT_EQ(XmlChecker(svg).Check(), "");
    EXPECT_EQ(Count(svg, "<circle"), 1000u + 1u);
    EXPECT_EQ(Count(svg, "r=\"1.6\""), 1000u) << "small dots for a dense record";
    EXPECT_EQ(svg, PlotToSvg(plot)) << "the same plot gives the same text";
}

} // namespace
} // namespace corelith
