// Drawing probability paper. Everything is computed in plot units (x = ln(t - gamma) and the
// Weibull ordinate y, or another paper's x and y) and mapped to pixels only when written. Pixel numbers are written by this
// file's own fixed-point conversion, so the bytes do not depend on the C library or its locale.
#include "weibull_paper.h"
#include "paper_svg_parts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

#include "number_text.h"
#include "utf8_text.h"

namespace {

const double ln10 = std::log(10.0);

struct Range {
    double lo;
    double hi;
};

// A grid line at `position` (plot units) and its label; `power`, when not empty, is written raised
// after `text` (the exponent of a power of ten). Where labels would overlap, those of lower
// `priority` are kept.
struct Tick {
    double position;
    std::string text;
    std::string power;
    int priority;
};

std::string integerText(long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// A pixel coordinate with at most two decimals. Every coordinate is finite and on the canvas; the
// guard only keeps a fault from turning into text that is not a number.
std::string pixels(double value)
{
    long long hundredths = std::isnan(value) ? 0 : std::llround(std::clamp(value, -1e6, 1e6) * 100.0);
    std::string text = hundredths < 0 ? "-" : "";
    hundredths = std::llabs(hundredths);
    text += integerText(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

// Character data or attribute text. XML 1.0 forbids control characters other than tab, LF and
// CR even as references, and those three would only be folded into spaces: all of them show as
// U+FFFD, so any file name gives a well-formed document.
std::string xmlText(const std::string& text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = nextCharacter(text, pos);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            appendUtf8(out, c < 0x20 || c == 0xFFFE || c == 0xFFFF ? U'\uFFFD' : c);
        }
    }
    return out;
}

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        nextCharacter(text, pos);
    return count;
}

// q x 10^e as a reader takes it in: plain decimals over a moderate range, otherwise a mantissa
// times a power of ten.
Tick decimalTick(double position, long long q, int e)
{
    while (q != 0 && q % 10 == 0) {
        q /= 10;
        ++e;
    }
    const std::string digits = integerText(q);
    const int length = static_cast<int>(digits.size());
    const int wholeDigits = e + length;
    // Round values first: one digit before two, and 1, 2 and 5 before the other digits.
    const int priority = 2 * length + (length == 1 && q != 1 && q != 2 && q != 5 ? 1 : 0);
    if (e >= 0 && wholeDigits <= 6)
        return {position, digits + std::string(e, '0'), "", priority};
    if (e < 0 && wholeDigits > 0)
        return {position, digits.substr(0, wholeDigits) + "." + digits.substr(wholeDigits), "", priority};
    if (e < 0 && wholeDigits > -4)
        return {position, "0." + std::string(-wholeDigits, '0') + digits, "", priority};
    const std::string mantissa = length == 1 ? digits : digits.substr(0, 1) + "." + digits.substr(1);
    return {position, (mantissa == "1" ? "" : mantissa + "\u00D7") + "10", integerText(wholeDigits - 1), priority};
}

// The x range of the points with a margin; a sample of nearly equal values still gets a range
// wide enough to show where it lies.
Range horizontalRange(const std::vector<PlotPoint>& points)
{
    if (points.empty())
        return {0.0, ln10};
    Range range{points.front().x, points.front().x};
    for (const PlotPoint& p : points) {
        range.lo = std::min(range.lo, p.x);
        range.hi = std::max(range.hi, p.x);
    }
    const double minimumSpan = 0.01;
    if (range.hi - range.lo < minimumSpan) {
        const double middle = range.lo / 2 + range.hi / 2;
        range = {middle - minimumSpan / 2, middle + minimumSpan / 2};
    }
    const double margin = 0.06 * (range.hi - range.lo);
    return {range.lo - margin, range.hi + margin};
}

// Ticks of t - gamma, as on log paper: over many decades every decade or every few; otherwise
// each decade in its parts from 1 to 2, 2 to 5 and 5 to 10, each part in the finest of the steps
// 1, 2 or 5 times a power of ten that still leaves room at its top, where the ticks of a log
// scale stand closest.
std::vector<Tick> horizontalTicks(Range range)
{
    std::vector<Tick> ticks;
    const double decades = (range.hi - range.lo) / ln10;
    const long long lowDecade = static_cast<long long>(std::floor(range.lo / ln10));
    const long long highDecade = static_cast<long long>(std::ceil(range.hi / ln10));
    const auto add = [&](long long q, int e) {
        const double x = std::log(static_cast<double>(q)) + static_cast<double>(e) * ln10;
        if (x >= range.lo && x <= range.hi)
            ticks.push_back(decimalTick(x, q, e));
    };
    if (decades > 4) {
        const long long stride = decades > 8 ? static_cast<long long>(std::ceil(decades / 8)) : 1;
        for (long long k = lowDecade; k <= highDecade; ++k) {
            if (k % stride == 0)
                add(1, static_cast<int>(k));
        }
        return ticks;
    }
    const double pixelsPerUnit = (plotRight - plotLeft) / (range.hi - range.lo);
    const double leastGap = 32;
    const struct {
        int from;
        int to;
    } parts[] = {{1, 2}, {2, 5}, {5, 10}};
    for (long long k = lowDecade; k <= highDecade; ++k) {
        for (const auto& part : parts) {
            // The step is stepDigit x 10^stepPower; a step as long as the part leaves only its start.
            int stepDigit = part.to - part.from;
            int stepPower = 0;
            bool found = false;
            for (int power = -6; power <= 0 && !found; ++power) {
                for (int digit : {1, 2, 5}) {
                    const double step = digit * std::pow(10.0, power);
                    if (step < part.to - part.from && std::log(part.to / (part.to - step)) * pixelsPerUnit >= leastGap) {
                        stepDigit = digit;
                        stepPower = power;
                        found = true;
                        break;
                    }
                }
            }
            // In units of 10^stepPower, so that every tick is a whole number q of them.
            long long scale = 1;
            for (int p = stepPower; p < 0; ++p)
                scale *= 10;
            for (long long q = part.from * scale; q < part.to * scale; q += stepDigit)
                add(q, static_cast<int>(k) + stepPower);
        }
    }
    return ticks;
}

// Ticks of t - gamma on a linear scale: steps of 1, 2 or 5 times a power of ten, about eight of them.
std::vector<Tick> linearTicks(Range range)
{
    const double wanted = (range.hi - range.lo) / 8;
    int e = static_cast<int>(std::floor(std::log10(wanted)));
    long long digit = 1;
    for (long long d : {1, 2, 5, 10}) {
        digit = d;
        if (d * std::pow(10.0, e) >= wanted)
            break;
    }
    const double step = static_cast<double>(digit) * std::pow(10.0, e);
    std::vector<Tick> ticks;
    for (long long k = static_cast<long long>(std::ceil(range.lo / step)); k * step <= range.hi; ++k) {
        Tick tick = decimalTick(static_cast<double>(k) * step, std::llabs(k) * digit, e);
        if (k < 0)
            tick.text = "-" + tick.text;
        ticks.push_back(tick);
    }
    return ticks;
}

// Unreliability in percent on the paper's scale: the usual 1 to 99 %, and further decades below
// and nines above as far as the points reach. On Weibull paper 63.2 % marks t - gamma equal to the
// characteristic life.
std::vector<Tick> verticalTicks(Range reach, const PaperScale& scale)
{
    // Weibull paper keeps its own marks; the other papers' scales spread the upper half further, so
    // they mark it more finely, and 63.2 % means nothing special on them.
    enum Papers { every, weibullOnly, othersOnly };
    const struct {
        const char* text;
        double F;
        Papers papers;
    } usual[] = {{"1", 0.01, every},      {"5", 0.05, every},        {"10", 0.1, every},
                 {"20", 0.2, every},      {"30", 0.3, othersOnly},   {"50", 0.5, every},
                 {"63.2", 0.632, weibullOnly}, {"70", 0.7, othersOnly}, {"80", 0.8, othersOnly},
                 {"90", 0.9, every},      {"95", 0.95, othersOnly},  {"99", 0.99, every}};
    const Papers excluded = scale.kind == PaperKind::weibull ? othersOnly : weibullOnly;
    std::vector<Tick> ticks;
    for (const auto& tick : usual) {
        if (tick.papers != excluded)
            ticks.push_back({scale.y(tick.F), tick.text, "", tick.text == std::string("63.2") ? 0 : 1});
    }
    for (int k = 1; k <= 12 && ticks.front().position > reach.lo; ++k)
        ticks.insert(ticks.begin(), {scale.y(std::pow(10.0, -2 - k)), "0." + std::string(k - 1, '0') + "1", "", 1});
    for (int k = 1; k <= 14 && ticks.back().position < reach.hi; ++k)
        ticks.push_back({scale.y(1 - std::pow(10.0, -2 - k)), "99." + std::string(k, '9'), "", 1});
    return ticks;
}

// The lowest and highest y of the points; an empty range when there are none.
Range verticalReach(const std::vector<PlotPoint>& points)
{
    Range reach{HUGE_VAL, -HUGE_VAL};
    for (const PlotPoint& p : points) {
        reach.lo = std::min(reach.lo, p.y);
        reach.hi = std::max(reach.hi, p.y);
    }
    return reach;
}

struct Frame {
    Range x;
    Range y;
    double pixelX(double x) const { return plotLeft + (x - this->x.lo) / (this->x.hi - this->x.lo) * (plotRight - plotLeft); }
    double pixelY(double y) const { return plotBottom - (y - this->y.lo) / (this->y.hi - this->y.lo) * (plotBottom - plotTop); }
};

// The part of y = slope x + intercept inside the frame, as its two ends; false when no part of it is.
bool visibleSegment(double slope, double intercept, const Frame& frame, PlotPoint& from, PlotPoint& to)
{
    if (!std::isfinite(slope) || !std::isfinite(intercept))
        return false;
    double x0 = frame.x.lo;
    double x1 = frame.x.hi;
    if (slope != 0) {
        double xa = (frame.y.lo - intercept) / slope;
        double xb = (frame.y.hi - intercept) / slope;
        if (xa > xb)
            std::swap(xa, xb);
        x0 = std::max(x0, xa);
        x1 = std::min(x1, xb);
    } else if (intercept < frame.y.lo || intercept > frame.y.hi) {
        return false;
    }
    if (!(x0 < x1))
        return false;
    const auto at = [&](double x) { return PlotPoint{x, std::clamp(slope * x + intercept, frame.y.lo, frame.y.hi)}; };
    from = at(x0);
    to = at(x1);
    return std::isfinite(from.y) && std::isfinite(to.y);
}

std::string line(double x1, double y1, double x2, double y2, const std::string& attributes)
{
    return "<line x1=\"" + pixels(x1) + "\" y1=\"" + pixels(y1) + "\" x2=\"" + pixels(x2) + "\" y2=\"" + pixels(y2) +
           "\" " + attributes + "/>\n";
}

std::string text(double x, double y, const std::string& attributes, const std::string& content)
{
    return "<text x=\"" + pixels(x) + "\" y=\"" + pixels(y) + "\"" + (attributes.empty() ? "" : " " + attributes) + ">" +
           content + "</text>\n";
}

std::string tickLabel(const Tick& tick)
{
    std::string label = xmlText(tick.text);
    if (!tick.power.empty())
        label += "<tspan dy=\"-6\" font-size=\"9\">" + xmlText(tick.power) + "</tspan>";
    return label;
}

// The labels that fit without overlapping, the lower priorities placed first; the grid keeps every tick.
// Across, a label's extent is estimated from its length; up, from the line height.
std::vector<Tick> spacedLabels(std::vector<Tick> ticks, const Frame& frame, bool across)
{
    std::stable_sort(ticks.begin(), ticks.end(), [](const Tick& a, const Tick& b) { return a.priority < b.priority; });
    const auto place = [&](const Tick& tick) { return across ? frame.pixelX(tick.position) : frame.pixelY(tick.position); };
    const auto halfExtent = [&](const Tick& tick) {
        return across ? 3.5 * static_cast<double>(characterCount(tick.text) + tick.power.size()) + 5 : 6.5;
    };
    std::vector<Tick> kept;
    for (const Tick& tick : ticks) {
        const bool fits = std::none_of(kept.begin(), kept.end(), [&](const Tick& other) {
            return std::fabs(place(tick) - place(other)) < halfExtent(tick) + halfExtent(other);
        });
        if (fits)
            kept.push_back(tick);
    }
    return kept;
}

std::string horizontalAxis(const Frame& frame, const std::vector<Tick>& ticks, const PaperScale& scale)
{
    std::string svg = "<g class=\"grid\" stroke=\"#d4d4d4\" stroke-width=\"1\">\n";
    for (const Tick& tick : ticks)
        svg += line(frame.pixelX(tick.position), plotTop, frame.pixelX(tick.position), plotBottom, "");
    svg += "</g>\n<g class=\"x-labels\" text-anchor=\"middle\">\n";
    for (const Tick& tick : spacedLabels(ticks, frame, true))
        svg += text(frame.pixelX(tick.position), plotBottom + 18, "", tickLabel(tick));
    svg += "</g>\n";
    svg += text((plotLeft + plotRight) / 2, plotBottom + 44, "text-anchor=\"middle\"", 
                scale.logarithmicTime() ? "t - gamma (logarithmic scale)" : "t - gamma (linear scale)");
    return svg;
}

// The paper's name in the axis label: "Weibull", "lognormal", ...
std::string scaleName(const PaperScale& scale)
{
    return scale.kind == PaperKind::weibull ? "Weibull" : paperName(scale.kind);
}

std::string verticalAxis(const Frame& frame, const std::vector<Tick>& ticks, const PaperScale& scale)
{
    std::string svg = "<g class=\"grid\" stroke=\"#d4d4d4\" stroke-width=\"1\">\n";
    for (const Tick& tick : ticks) {
        const double y = frame.pixelY(tick.position);
        svg += line(plotLeft, y, plotRight, y, tick.text == "63.2" ? "stroke=\"#909090\" stroke-dasharray=\"5 3\"" : "");
    }
    svg += "</g>\n<g class=\"y-labels\" text-anchor=\"end\">\n";
    for (const Tick& tick : spacedLabels(ticks, frame, false))
        svg += text(plotLeft - 6, frame.pixelY(tick.position) + 4, "", tickLabel(tick));
    svg += "</g>\n";
    const std::string middle = pixels((plotTop + plotBottom) / 2);
    svg += "<text transform=\"translate(22 " + middle + ") rotate(-90)\" text-anchor=\"middle\">" +
           "Unreliability F (%), " + scaleName(scale) + " scale</text>\n";
    return svg;
}

// The heading: the data file's name as given, squeezed to the picture's width when a long path
// would run off it.
std::string heading(const std::string& name, const PaperScale& scale)
{
    const std::string content = std::string(scale.title()) + " plot of " + xmlText(name);
    const double available = canvasWidth - 40;
    const double titleLength = static_cast<double>(std::strlen(scale.title()) + 9);
    const bool tooLong = 9.0 * (static_cast<double>(characterCount(name)) + titleLength) > available;
    return text(20, 32,
                std::string("font-size=\"16\"") +
                    (tooLong ? " textLength=\"" + pixels(available) + "\" lengthAdjust=\"spacingAndGlyphs\"" : ""),
                content);
}

// Each model its own colour; the best-ranked one bold, the others thin, so that it stands out among many.
const char* const modelColours[] = {"#2a8a3a", "#7b3fa0", "#d9822b", "#1b9aaa", "#8c564b", "#c2417f",
                                    "#6b6b6b", "#9a9a1a", "#3f6fd0", "#b05a00", "#008080"};

std::string modelStroke(const ModelCurve& model, std::size_t index)
{
    const std::string colour = modelColours[index % std::size(modelColours)];
    return "stroke=\"" + colour + "\" stroke-width=\"" + (model.emphasised ? "2.8" : "1.2") + "\"";
}

const std::string stepsStroke = "stroke=\"#222222\" stroke-width=\"1.2\"";

// One SVG path through points in plot units; a point that is not finite breaks it.
std::string pathThrough(const std::vector<PlotPoint>& points, const Frame& frame)
{
    std::string path;
    bool drawing = false;
    for (const PlotPoint& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            drawing = false;
            continue;
        }
        path += (drawing ? " L" : path.empty() ? "M" : " M") + pixels(frame.pixelX(p.x)) + " " + pixels(frame.pixelY(p.y));
        drawing = true;
    }
    return path;
}

// The models' curves, sampled across the frame, and the non-parametric steps, clipped to the plot
// area: a curve leaves it where its F runs off the paper's range.
std::string modelsAndSteps(const WeibullPaper& paper, const PaperScale& scale, const Frame& frame)
{
    if (paper.models.empty() && paper.steps.empty())
        return "";
    std::string svg = "<clipPath id=\"model-area\"><rect x=\"" + pixels(plotLeft) + "\" y=\"" + pixels(plotTop) +
                      "\" width=\"" + pixels(plotRight - plotLeft) + "\" height=\"" + pixels(plotBottom - plotTop) +
                      "\"/></clipPath>\n<g class=\"models\" clip-path=\"url(#model-area)\" fill=\"none\">\n";
    constexpr int samples = 240;
    for (std::size_t i = 0; i < paper.models.size(); ++i) {
        std::vector<PlotPoint> points;
        for (int k = 0; k <= samples; ++k) {
            const double x = frame.x.lo + (frame.x.hi - frame.x.lo) * k / samples;
            points.push_back({x, scale.y(paper.models[i].unreliability(scale.time(x)))});
        }
        const std::string path = pathThrough(points, frame);
        if (!path.empty())
            svg += "<path class=\"model\" d=\"" + path + "\" " + modelStroke(paper.models[i], i) + "/>\n";
    }
    std::vector<PlotPoint> corners;
    for (const StepCorner& corner : paper.steps)
        corners.push_back({scale.x(corner.time), scale.y(corner.F)});
    const std::string steps = pathThrough(corners, frame);
    if (!steps.empty())
        svg += "<path class=\"nonparametric\" d=\"" + steps + "\" " + stepsStroke + "/>\n";
    return svg + "</g>\n";
}

// A group's line and points share its colour, so that each stress reads as one.
std::string seriesColour(std::size_t index) { return modelColours[index % std::size(modelColours)]; }

// Each group's line over the frame and its points, all with the common look of the one-line paper.
std::string seriesLinesAndPoints(const WeibullPaper& paper, const Frame& frame)
{
    std::string svg;
    for (std::size_t i = 0; i < paper.series.size(); ++i) {
        const PaperSeries& series = paper.series[i];
        const std::string colour = seriesColour(i);
        svg += "<g class=\"series\" stroke=\"" + colour + "\">\n";
        PlotPoint from{};
        PlotPoint to{};
        if (visibleSegment(series.slope, series.intercept, frame, from, to))
            svg += line(frame.pixelX(from.x), frame.pixelY(from.y), frame.pixelX(to.x), frame.pixelY(to.y),
                        "class=\"series-fit\" stroke-width=\"1.6\"");
        for (const PlotPoint& p : series.points) {
            if (std::isfinite(p.x) && std::isfinite(p.y))
                svg += "<circle class=\"series-point\" cx=\"" + pixels(frame.pixelX(p.x)) + "\" cy=\"" +
                       pixels(frame.pixelY(p.y)) + "\" r=\"3.5\" fill=\"none\" stroke-width=\"1.3\"/>\n";
        }
        svg += "</g>\n";
    }
    return svg;
}

std::string legend(const WeibullPaper& paper, std::size_t omitted, bool lineShown, const std::string& lineNote)
{
    std::string svg = "<g class=\"legend\">\n";
    double y = plotTop + 14;
    const auto row = [&](const std::string& content) {
        svg += text(legendLeft, y, "", content);
        y += 18;
    };
    for (const std::string& heading : paper.legendHeading)
        row(xmlText(heading));
    y += 8;
    for (const PaperValue& value : paper.values) {
        svg += text(legendLeft, y, "", xmlText(value.name) + " =");
        svg += text(legendRight, y, "text-anchor=\"end\" font-family=\"monospace\"",
                    xmlText(formatScientific(value.value, 6, 4)));
        y += 18;
    }
    y += 14;
    if (paper.series.empty()) {
        svg += "<circle class=\"legend-point\" cx=\"" + pixels(legendLeft + 10) + "\" cy=\"" + pixels(y - 4) +
               "\" r=\"3.5\" fill=\"none\" stroke=\"#1f4fbf\" stroke-width=\"1.3\"/>\n";
        svg += text(legendLeft + 28, y, "", xmlText(paper.pointsLabel));
        y += 18;
    }
    for (std::size_t i = 0; i < paper.series.size(); ++i) {
        const std::string colour = seriesColour(i);
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4,
                    "class=\"legend-series\" stroke=\"" + colour + "\" stroke-width=\"1.6\"");
        svg += "<circle cx=\"" + pixels(legendLeft + 10) + "\" cy=\"" + pixels(y - 4) +
               "\" r=\"3.5\" fill=\"white\" stroke=\"" + colour + "\" stroke-width=\"1.3\"/>\n";
        svg += text(legendLeft + 28, y, "", xmlText(paper.series[i].label));
        y += 18;
    }
    if (lineShown)
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4, "class=\"legend-fit\" stroke=\"#c0282d\" stroke-width=\"1.6\"");
    if (!paper.lineLabel.empty())
        svg += text(legendLeft + 28, y, "", xmlText(paper.lineLabel));
    else
        y -= 18; // no line, and no row for it
    if (paper.curve.shown) {
        y += 18;
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4,
                    "class=\"legend-curve\" stroke=\"#2a8a3a\" stroke-width=\"1.6\" stroke-dasharray=\"6 4\"");
        svg += text(legendLeft + 28, y, "", xmlText(paper.curve.label));
    }
    if (!paper.bandLabel.empty()) {
        y += 18;
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4,
                    "class=\"legend-band\" stroke=\"#c0282d\" stroke-width=\"1\" stroke-dasharray=\"5 3\"");
        svg += text(legendLeft + 28, y, "", xmlText(paper.bandLabel));
    }
    const bool compact = paper.models.size() > 4;
    for (std::size_t i = 0; i < paper.models.size(); ++i) {
        y += compact ? 15 : 18;
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4, "class=\"legend-model\" " + modelStroke(paper.models[i], i));
        svg += text(legendLeft + 28, y, compact ? "font-size=\"11\"" : "", xmlText(paper.models[i].label));
    }
    if (!paper.steps.empty()) {
        y += 18;
        svg += line(legendLeft, y - 4, legendLeft + 20, y - 4, "class=\"legend-steps\" " + stepsStroke);
        svg += text(legendLeft + 28, y, "", xmlText(paper.stepsLabel));
    }
    y += 26;
    const auto note = [&](const std::string& content) {
        svg += text(legendLeft, y, "font-size=\"11\" fill=\"#6a4a00\"", content);
        y += 15;
    };
    if (omitted > 0) {
        note(integerText(static_cast<long long>(omitted)) + (omitted == 1 ? " point" : " points") + " not drawn:");
        note("not finite on this scale");
    }
    if (!lineNote.empty())
        note(lineNote);
    for (const std::string& extra : paper.notes)
        note(xmlText(extra));
    return svg + "</g>\n";
}

// ln(-ln(1 - F)) of a mixture at time t, formed from F so that the early percents keep their digits.
double mixtureHeight(const PaperCurve& curve, double t)
{
    const double f = -curve.p * std::expm1(-std::pow(t / curve.eta, curve.m)) -
                     (1 - curve.p) * std::expm1(-std::pow(t / curve.eta2, curve.m2));
    return std::log(-std::log1p(-f));
}

// The curve as one SVG path through points across the frame; a piece outside the frame (or where the
// model is not defined) breaks the path.
std::string curvePath(const PaperCurve& curve, const Frame& frame)
{
    constexpr int steps = 240;
    std::string path;
    bool drawing = false;
    for (int k = 0; k <= steps; ++k) {
        const double x = frame.x.lo + (frame.x.hi - frame.x.lo) * k / steps;
        const double y = curve.p < 1 ? mixtureHeight(curve, std::exp(x) + curve.shift)
                                     : curve.m * std::log((std::exp(x) + curve.shift) / curve.eta);
        if (!(y >= frame.y.lo && y <= frame.y.hi)) {
            drawing = false;
            continue;
        }
        path += (drawing ? " L" : path.empty() ? "M" : " M") + pixels(frame.pixelX(x)) + " " + pixels(frame.pixelY(y));
        drawing = true;
    }
    if (path.empty())
        return "";
    return "<path class=\"curve\" d=\"" + path +
           "\" fill=\"none\" stroke=\"#2a8a3a\" stroke-width=\"1.6\" stroke-dasharray=\"6 4\"/>\n";
}

// The band's sides as dashed curves, clipped to the plot area (a side may run off the paper where
// the bounds of the earliest or latest percentiles are far apart).
std::string confidenceBand(const WeibullPaper& paper, const Frame& frame)
{
    if (paper.bandLower.empty() && paper.bandUpper.empty())
        return "";
    std::string svg = "<clipPath id=\"plot-area\"><rect x=\"" + pixels(plotLeft) + "\" y=\"" + pixels(plotTop) +
                      "\" width=\"" + pixels(plotRight - plotLeft) + "\" height=\"" + pixels(plotBottom - plotTop) +
                      "\"/></clipPath>\n";
    svg += "<g class=\"band\" clip-path=\"url(#plot-area)\" fill=\"none\" stroke=\"#c0282d\" stroke-width=\"1\" "
           "stroke-dasharray=\"5 3\">\n";
    for (const std::vector<PlotPoint>* side : {&paper.bandLower, &paper.bandUpper}) {
        std::string points;
        for (const PlotPoint& p : *side) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            if (!points.empty())
                points += ' ';
            points += pixels(frame.pixelX(p.x)) + "," + pixels(frame.pixelY(p.y));
        }
        if (!points.empty())
            svg += "<polyline points=\"" + points + "\"/>\n";
    }
    return svg + "</g>\n";
}

} // namespace

std::string drawWeibullPaper(const WeibullPaper& paper)
{
    std::vector<PlotPoint> points;
    std::size_t omitted = 0;
    for (const PlotPoint& p : paper.points) {
        if (std::isfinite(p.x) && std::isfinite(p.y))
            points.push_back(p);
        else
            ++omitted;
    }
    // The frame takes in the groups' points too, those not finite counted with the others, and
    // where each group's line crosses 63.2 %: a group without failures still shows its eta.
    std::vector<PlotPoint> extent = points;
    for (const PaperSeries& series : paper.series) {
        if (std::isfinite(-series.intercept / series.slope))
            extent.push_back({-series.intercept / series.slope, 0});
        for (const PlotPoint& p : series.points) {
            if (std::isfinite(p.x) && std::isfinite(p.y))
                extent.push_back(p);
            else
                ++omitted;
        }
    }
    const Range reach = verticalReach(extent);
    const PaperScale scale{paper.kind};
    const std::vector<Tick> yTicks = verticalTicks(reach, scale);
    const Range yRange{std::min(yTicks.front().position, reach.lo), std::max(yTicks.back().position, reach.hi)};
    const Frame frame{horizontalRange(extent), yRange};
    const std::vector<Tick> xTicks = scale.logarithmicTime() ? horizontalTicks(frame.x) : linearTicks(frame.x);

    PlotPoint from{};
    PlotPoint to{};
    const bool lineShown = visibleSegment(paper.slope, paper.intercept, frame, from, to);
    std::string lineNote;
    if (!lineShown) {
        lineNote = std::isfinite(paper.slope) && std::isfinite(paper.intercept) ? "The fitted line is outside the plot."
                                                                                : paper.noLineNote;
    }

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + pixels(canvasWidth) + "\" height=\"" +
           pixels(canvasHeight) + "\" viewBox=\"0 0 " + pixels(canvasWidth) + " " + pixels(canvasHeight) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    svg += "<title>" + std::string(scale.title()) + " plot of " + xmlText(paper.name) + "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += heading(paper.name, scale);
    svg += horizontalAxis(frame, xTicks, scale);
    svg += verticalAxis(frame, yTicks, scale);
    svg += "<rect class=\"frame\" x=\"" + pixels(plotLeft) + "\" y=\"" + pixels(plotTop) + "\" width=\"" +
           pixels(plotRight - plotLeft) + "\" height=\"" + pixels(plotBottom - plotTop) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += confidenceBand(paper, frame);
    if (lineShown)
        svg += line(frame.pixelX(from.x), frame.pixelY(from.y), frame.pixelX(to.x), frame.pixelY(to.y),
                    "class=\"fit\" stroke=\"#c0282d\" stroke-width=\"1.6\"");
    if (paper.curve.shown)
        svg += curvePath(paper.curve, frame);
    svg += modelsAndSteps(paper, scale, frame);
    svg += seriesLinesAndPoints(paper, frame);
    svg += "<g class=\"points\" fill=\"none\" stroke=\"#1f4fbf\" stroke-width=\"1.3\">\n";
    for (const PlotPoint& p : points)
        svg += "<circle class=\"point\" cx=\"" + pixels(frame.pixelX(p.x)) + "\" cy=\"" + pixels(frame.pixelY(p.y)) +
               "\" r=\"3.5\"/>\n";
    svg += "</g>\n";
    svg += legend(paper, omitted, lineShown, lineNote);
    return svg + "</svg>\n";
}

namespace {

std::vector<AxisTick> axisTicks(const std::vector<Tick>& ticks)
{
    std::vector<AxisTick> out;
    for (const Tick& tick : ticks)
        out.push_back({tick.position, tickLabel(tick)});
    return out;
}

} // namespace

std::vector<AxisTick> logarithmicAxisTicks(double lo, double hi) { return axisTicks(horizontalTicks({lo, hi})); }

std::vector<AxisTick> linearAxisTicks(double lo, double hi) { return axisTicks(linearTicks({lo, hi})); }

std::string svgPixels(double value) { return pixels(value); }

std::string svgEscaped(const std::string& text) { return xmlText(text); }
