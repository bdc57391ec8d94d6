#include "plotting/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace corelith {

namespace {

// Layout in SVG user units (pixels at 100 %).
constexpr double kPanelWidth = 190.0;
constexpr double kPanelGap = 34.0;
constexpr double kLeftMargin = 78.0;
constexpr double kRightMargin = 24.0;
constexpr double kHeadingX = 12.0;
constexpr double kHeadingY = 22.0;
constexpr double kTitleY = 54.0;
constexpr double kPlotTop = 84.0;
constexpr double kPlotHeight = 560.0;
constexpr double kTickLength = 5.0;
constexpr double kDepthTitleX = 20.0;
constexpr double kLegendGap = 32.0;
constexpr double kLegendLine = 20.0;
constexpr double kLegendSwatch = 24.0;
constexpr double kLegendItemGap = 26.0;
constexpr double kBottomMargin = 12.0;
// Rough widths of a character of the legend (11 units) and of the heading (12 units),
// enough to keep texts apart and inside the picture.
constexpr double kLegendCharWidth = 6.2;
constexpr double kHeadingCharWidth = 6.6;
// Markers: dots of sparse records are larger than those of dense ones.
constexpr double kDotRadius = 2.6;
constexpr double kSmallDotRadius = 1.6;
constexpr size_t kDenseRecord = 150;
constexpr double kCrossHalf = 3.5;
constexpr double kCrossInset = 7.0; // a cross without an estimate stands at the left edge

constexpr char kAnalogColor[] = "#1f6fb4";
constexpr char kFactorColor[] = "#d0621b";
constexpr char kNoAnalogColor[] = "#b00020";
constexpr char kAxisColor[] = "#333333";
constexpr char kGridColor[] = "#e2e2e2";
constexpr char kNoteColor[] = "#555555";
constexpr char kBandOpacity[] = "0.2";

std::string Num(double value) {
    return FormatFixed(value, 1);
}

const char* ColorOf(EstimatesMethod method) {
    return method == EstimatesMethod::Analog ? kAnalogColor : kFactorColor;
}

// Characters, not bytes, of a UTF-8 text.
size_t CharacterCount(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

double TextWidth(std::string_view text, double charWidth) {
    return static_cast<double>(CharacterCount(text)) * charWidth;
}

// The length of the well-formed UTF-8 sequence of two to four bytes at `at`, or 0.
size_t Utf8SequenceLength(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    unsigned int code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and values beyond U+10FFFF are not characters.
    const unsigned int smallest = length == 3 ? 0x800u : length == 4 ? 0x10000u : 0x80u;
    if (code < smallest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

// Where things go on the page.
struct Frame {
    const Plot& plot;
    double PanelLeft(size_t panel) const {
        return kLeftMargin + static_cast<double>(panel) * (kPanelWidth + kPanelGap);
    }
    double PanelsRight() const {
        return plot.panels.empty() ? kLeftMargin + kPanelWidth
                                   : PanelLeft(plot.panels.size() - 1) + kPanelWidth;
    }
    double DepthY(double depth) const {
        const AxisTicks& axis = plot.depthAxis;
        return kPlotTop + (depth - axis.first) / (axis.last - axis.first) * kPlotHeight;
    }
    static double ValueX(const PlotPanel& panel, double left, double value) {
        return left +
               (value - panel.axis.first) / (panel.axis.last - panel.axis.first) * kPanelWidth;
    }
};

void AddText(std::string& svg, double x, double y, std::string_view text,
             std::string_view attributes = {}) {
    svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\"";
    if (!attributes.empty()) {
        svg += ' ';
        svg += attributes;
    }
    svg += '>' + EscapeXml(text) + "</text>\n";
}

void AddPath(std::string& svg, const std::string& data, std::string_view attributes) {
    if (!data.empty())
        svg += "<path d=\"" + data + "\" " + std::string(attributes) + "/>\n";
}

// One step of a path's data: `op` and the point. Appended piece by piece: a literal prefixed
// to a temporary makes mingw's GCC 12 warn of an overlapping copy (-Wrestrict).
std::string PathStep(char op, double x, double y) {
    std::string step(1, op);
    step += Num(x);
    step += ' ';
    step += Num(y);
    return step;
}
std::string MoveTo(double x, double y) {
    return PathStep('M', x, y);
}
std::string LineTo(double x, double y) {
    return PathStep('L', x, y);
}

std::string Cross(double x, double y) {
    return MoveTo(x - kCrossHalf, y - kCrossHalf) + LineTo(x + kCrossHalf, y + kCrossHalf) +
           MoveTo(x - kCrossHalf, y + kCrossHalf) + LineTo(x + kCrossHalf, y - kCrossHalf);
}

bool HasValue(const PlotPoint& point) {
    return std::isfinite(point.value);
}
bool HasBand(const PlotPoint& point) {
    return HasValue(point) && std::isfinite(point.spread);
}

// Runs of consecutive points that pass `keep`, as [begin, end) index pairs.
template <typename Keep>
std::vector<std::pair<size_t, size_t>> Runs(const std::vector<PlotPoint>& points, Keep keep) {
    std::vector<std::pair<size_t, size_t>> runs;
    size_t i = 0;
    while (i < points.size()) {
        if (!keep(points[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < points.size() && keep(points[end]))
            ++end;
        runs.emplace_back(i, end);
        i = end;
    }
    return runs;
}

// How one series is drawn in its panel.
struct SeriesPen {
    const Frame& frame;
    const PlotPanel& panel;
    double left;
    const PlotSeries& series;

    double X(double value) const { return Frame::ValueX(panel, left, value); }
    double Y(const PlotPoint& point) const { return frame.DepthY(point.depth); }
    std::string Color() const { return ColorOf(series.method); }

    // The band: down the low side, back up the high side. A single sample between gaps
    // gets a bar.
    void Band(std::string& svg) const {
        const std::vector<PlotPoint>& points = series.points;
        std::string band;
        std::string bars;
        for (const auto& [begin, end] : Runs(points, HasBand)) {
            if (end - begin == 1) {
                const PlotPoint& p = points[begin];
                bars += MoveTo(X(p.value - std::fabs(p.spread)), Y(p)) +
                        LineTo(X(p.value + std::fabs(p.spread)), Y(p));
                continue;
            }
            for (size_t i = begin; i < end; ++i) {
                const PlotPoint& p = points[i];
                const double x = X(p.value - std::fabs(p.spread));
                band += i == begin ? MoveTo(x, Y(p)) : LineTo(x, Y(p));
            }
            for (size_t i = end; i-- > begin;) {
                const PlotPoint& p = points[i];
                band += LineTo(X(p.value + std::fabs(p.spread)), Y(p));
            }
            band += "Z";
        }
        AddPath(svg, band, "fill=\"" + Color() + "\" fill-opacity=\"" + kBandOpacity + "\"");
        AddPath(svg, bars,
                "stroke=\"" + Color() +
                    "\" stroke-opacity=\"0.4\" stroke-width=\"3\" fill=\"none\"");
    }

    // The estimates: a line through each run of samples that have one, and a dot each.
    void Line(std::string& svg) const {
        const std::vector<PlotPoint>& points = series.points;
        std::string line;
        for (const auto& [begin, end] : Runs(points, HasValue)) {
            for (size_t i = begin; i < end && end - begin > 1; ++i)
                line += i == begin ? MoveTo(X(points[i].value), Y(points[i]))
                                   : LineTo(X(points[i].value), Y(points[i]));
        }
        AddPath(svg, line,
                "stroke=\"" + Color() +
                    "\" stroke-width=\"1.4\" stroke-linejoin=\"round\" fill=\"none\"");
        const double radius = points.size() > kDenseRecord ? kSmallDotRadius : kDotRadius;
        svg += "<g fill=\"" + Color() + "\">\n";
        for (const PlotPoint& p : points) {
            if (HasValue(p))
                svg += "<circle cx=\"" + Num(X(p.value)) + "\" cy=\"" + Num(Y(p)) + "\" r=\"" +
                       Num(radius) + "\"/>\n";
        }
        svg += "</g>\n";
    }

    // Samples without analogs: a cross on the estimate, or at the panel's left edge for a
    // sample without one.
    void Crosses(std::string& svg) const {
        std::string crosses;
        for (const PlotPoint& p : series.points) {
            if (p.noAnalog)
                crosses += Cross(HasValue(p) ? X(p.value) : left + kCrossInset, Y(p));
        }
        AddPath(svg, crosses,
                std::string("stroke=\"") + kNoAnalogColor +
                    "\" stroke-width=\"1.5\" fill=\"none\"");
    }
};

void AddPanel(std::string& svg, const Frame& frame, const PlotPanel& panel, double left) {
    const double right = left + kPanelWidth;
    const double bottom = kPlotTop + kPlotHeight;
    svg += "<g>\n";
    AddText(svg, left + kPanelWidth / 2, kTitleY, panel.title,
            "text-anchor=\"middle\" font-size=\"13\" font-weight=\"bold\"");

    std::string grid;
    for (double depth : frame.plot.depthAxis.values)
        grid += MoveTo(left, frame.DepthY(depth)) + "H" + Num(right);
    std::string ticks;
    for (double value : panel.axis.values) {
        const double x = Frame::ValueX(panel, left, value);
        grid += MoveTo(x, kPlotTop) + "V" + Num(bottom);
        ticks += MoveTo(x, kPlotTop - kTickLength) + "V" + Num(kPlotTop);
        AddText(svg, x, kPlotTop - kTickLength - 4, FormatFixed(value, panel.axis.decimals),
                "text-anchor=\"middle\"");
    }
    AddPath(svg, grid, std::string("stroke=\"") + kGridColor + "\" stroke-width=\"0.8\"");
    AddPath(svg, ticks, std::string("stroke=\"") + kAxisColor + "\"");

    // Bands under every line, crosses over every dot.
    for (const PlotSeries& series : panel.series)
        SeriesPen{frame, panel, left, series}.Band(svg);
    for (const PlotSeries& series : panel.series)
        SeriesPen{frame, panel, left, series}.Line(svg);
    for (const PlotSeries& series : panel.series)
        SeriesPen{frame, panel, left, series}.Crosses(svg);
    if (!panel.hasValues)
        AddText(svg, left + kPanelWidth / 2, kPlotTop + kPlotHeight / 2, "no estimates",
                std::string("text-anchor=\"middle\" fill=\"") + kNoteColor + "\"");
    svg += "<rect x=\"" + Num(left) + "\" y=\"" + Num(kPlotTop) + "\" width=\"" + Num(kPanelWidth) +
           "\" height=\"" + Num(kPlotHeight) + "\" fill=\"none\" stroke=\"" + kAxisColor + "\"/>\n";
    svg += "</g>\n";
}

void AddDepthAxis(std::string& svg, const Frame& frame) {
    const Plot& plot = frame.plot;
    std::string ticks;
    for (double depth : plot.depthAxis.values) {
        const double y = frame.DepthY(depth);
        ticks += MoveTo(kLeftMargin - kTickLength, y) + "H" + Num(kLeftMargin);
        AddText(svg, kLeftMargin - kTickLength - 3, y + 4,
                FormatFixed(depth, plot.depthAxis.decimals), "text-anchor=\"end\"");
    }
    AddPath(svg, ticks, std::string("stroke=\"") + kAxisColor + "\"");
    const double middle = kPlotTop + kPlotHeight / 2;
    svg += "<text transform=\"translate(" + Num(kDepthTitleX) + " " + Num(middle) +
           ") rotate(-90)\" text-anchor=\"middle\" font-size=\"12\">" + EscapeXml(plot.depthLabel) +
           "</text>\n";
}

// One legend entry: what its swatch shows and its text.
struct LegendItem {
    enum class Swatch { Series, Cross, None } swatch = Swatch::None;
    EstimatesMethod method = EstimatesMethod::Analog;
    std::string text;
};

std::vector<LegendItem> LegendItems(const Plot& plot) {
    std::vector<LegendItem> items;
    if (plot.hasAnalog)
        items.push_back({LegendItem::Swatch::Series, EstimatesMethod::Analog, kAnalogLegend});
    if (plot.hasFactor)
        items.push_back({LegendItem::Swatch::Series, EstimatesMethod::Factor, kFactorLegend});
    if (plot.hasFactor || plot.analogFlagsKnown)
        items.push_back({LegendItem::Swatch::Cross, EstimatesMethod::Analog, kNoAnalogLegend});
    if (plot.hasAnalog && !plot.analogFlagsKnown)
        items.push_back({LegendItem::Swatch::None, EstimatesMethod::Analog, kSummaryFlagsNote});
    return items;
}

double ItemWidth(const LegendItem& item) {
    const double swatch = item.swatch == LegendItem::Swatch::None ? 0.0 : kLegendSwatch + 6;
    return swatch + TextWidth(item.text, kLegendCharWidth);
}

// The legend's lines: items left to right, a new line when the next would not fit.
std::vector<std::vector<LegendItem>> LegendLines(const Plot& plot, double width) {
    std::vector<std::vector<LegendItem>> lines;
    double x = kLeftMargin;
    for (LegendItem& item : LegendItems(plot)) {
        const double itemWidth = ItemWidth(item);
        if (lines.empty() || (x + itemWidth > width - kRightMargin && !lines.back().empty())) {
            lines.emplace_back();
            x = kLeftMargin;
        }
        x += itemWidth + kLegendItemGap;
        lines.back().push_back(std::move(item));
    }
    return lines;
}

void AddLegend(std::string& svg, const std::vector<std::vector<LegendItem>>& lines) {
    double y = kPlotTop + kPlotHeight + kLegendGap;
    for (const std::vector<LegendItem>& line : lines) {
        double x = kLeftMargin;
        for (const LegendItem& item : line) {
            if (item.swatch == LegendItem::Swatch::Series) {
                const std::string color = ColorOf(item.method);
                svg += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y - 9) + "\" width=\"" +
                       Num(kLegendSwatch) + "\" height=\"10\" fill=\"" + color +
                       "\" fill-opacity=\"" + kBandOpacity + "\"/>\n";
                AddPath(svg, MoveTo(x, y - 4) + "H" + Num(x + kLegendSwatch),
                        "stroke=\"" + color + "\" stroke-width=\"1.4\"");
                svg += "<circle cx=\"" + Num(x + kLegendSwatch / 2) + "\" cy=\"" + Num(y - 4) +
                       "\" r=\"" + Num(kDotRadius) + "\" fill=\"" + color + "\"/>\n";
            } else if (item.swatch == LegendItem::Swatch::Cross) {
                AddPath(svg, Cross(x + kLegendSwatch / 2, y - 4),
                        std::string("stroke=\"") + kNoAnalogColor +
                            "\" stroke-width=\"1.5\" fill=\"none\"");
            }
            const double textX =
                item.swatch == LegendItem::Swatch::None ? x : x + kLegendSwatch + 6;
            AddText(svg, textX, y, item.text,
                    item.swatch == LegendItem::Swatch::None
                        ? std::string("fill=\"") + kNoteColor + "\" font-style=\"italic\""
                        : std::string());
            x += ItemWidth(item) + kLegendItemGap;
        }
        y += kLegendLine;
    }
}

} // namespace

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const size_t length = Utf8SequenceLength(text, i);
            if (length > 0) {
                out += text.substr(i, length);
                i += length;
            } else {
                // Not UTF-8: a table saved in a one-byte code page. Taken as Latin-1, so
                // the picture stays well-formed and shows the likely character.
                out += static_cast<char>(0xC0 | (byte >> 6));
                out += static_cast<char>(0x80 | (byte & 0x3F));
                ++i;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            // Control characters other than the tab are not allowed in XML 1.0 at all.
            out += byte < 0x20 && c != '\t' ? '?' : c;
        }
    }
    return out;
}

std::string PlotToSvg(const Plot& plot) {
    const Frame frame{plot};
    // Wide enough for the panels, the heading and the widest legend entry.
    double width = std::max(frame.PanelsRight() + kRightMargin,
                            2 * kHeadingX + TextWidth(plot.heading, kHeadingCharWidth));
    for (const LegendItem& item : LegendItems(plot))
        width = std::max(width, kLeftMargin + ItemWidth(item) + kRightMargin);
    const std::vector<std::vector<LegendItem>> legend = LegendLines(plot, width);
    const double height = kPlotTop + kPlotHeight + kLegendGap +
                          static_cast<double>(legend.size()) * kLegendLine + kBottomMargin;
    const std::string w = Num(width);
    const std::string h = Num(height);

    std::string svg;
    svg.reserve(4096 + plot.sampleCount * plot.panels.size() * 160);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
           "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<title>" + EscapeXml(plot.heading) + "</title>\n";
    svg += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"white\"/>\n";
    AddText(svg, kHeadingX, kHeadingY, plot.heading,
            std::string("font-size=\"12\" fill=\"") + kNoteColor + "\"");
    AddDepthAxis(svg, frame);
    for (size_t i = 0; i < plot.panels.size(); ++i)
        AddPanel(svg, frame, plot.panels[i], frame.PanelLeft(i));
    AddLegend(svg, legend);
    svg += "</svg>\n";
    return svg;
}

} // namespace corelith
