// Life against stress. Everything is computed in plot units, x(S) across and ln t up, and mapped
// to pixels only when written, with the paper's own number writer and ticks.
#include "life/life_stress_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "accelerated_bounds.h"
#include "json_text.h"
#include "paper_svg_parts.h"

namespace {

struct Span {
    double lo = HUGE_VAL;
    double hi = -HUGE_VAL;
    void take(double v)
    {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    // With a margin; a single value, or none, still gets a span that shows where it lies.
    Span widened(double fallbackLo, double fallbackHi) const
    {
        if (!(lo <= hi))
            return {fallbackLo, fallbackHi};
        const double width = hi > lo ? hi - lo : std::max(std::fabs(lo) * 0.1, 0.01);
        return {lo - 0.06 * width, hi + 0.06 * width};
    }
};

struct Frame {
    Span x;
    Span y;
    double pixelX(double v) const { return plotLeft + (v - x.lo) / (x.hi - x.lo) * (plotRight - plotLeft); }
    double pixelY(double v) const { return plotBottom - (v - y.lo) / (y.hi - y.lo) * (plotBottom - plotTop); }
};

// The stress as written at the model's x: the inverse of stressVariable().
double stressAt(lifedata::StressModel model, bool celsius, double x)
{
    switch (model) {
    case lifedata::StressModel::arrhenius:
        return 1 / x - (celsius ? 273.15 : 0);
    case lifedata::StressModel::power:
        return std::exp(x);
    case lifedata::StressModel::exponential:
        break;
    }
    return x;
}

// The time of one record on the picture: an interval at its middle, as on the paper.
double failureTime(const lifedata::LifeData& data, std::size_t i) { return data.values[i] / 2 + data.upper[i] / 2; }

struct LifeLine {
    std::vector<double> x;
    std::vector<double> estimate; // ln of the B-life
    std::vector<double> lower;    // ln of the Fisher bounds; NaN where there are none
    std::vector<double> upper;
};

// The B-life and its band at `samples` + 1 stresses evenly across x; the band through the same
// delta method as the bounds at a use stress.
LifeLine bLifeLine(const lifedata::AcceleratedFit& fit, Span x, double percent, double confidence)
{
    constexpr int samples = 80;
    LifeLine line;
    std::vector<double> stresses;
    for (int k = 0; k <= samples; ++k) {
        line.x.push_back(x.lo + (x.hi - x.lo) * k / samples);
        stresses.push_back(stressAt(fit.model, fit.celsius, line.x.back()));
    }
    const double nan = std::nan("");
    const lifedata::InferenceRequest request{confidence, {percent}, {}, lifedata::BoundsChoice::fisher, 0, 0, 1};
    const lifedata::AcceleratedInference inference = lifedata::inferAcceleratedLife(fit, stresses, request);
    for (std::size_t k = 0; k < line.x.size(); ++k) {
        line.estimate.push_back(fit.a + fit.b * line.x[k] + std::log(-std::log1p(-percent / 100)) / fit.m);
        double lower = nan;
        double upper = nan;
        if (inference.available && k < inference.use.size() && !inference.use[k].bLives.empty()) {
            const lifedata::QuantityBounds& bounds = inference.use[k].bLives.front().bounds;
            if (bounds.hasFisher && bounds.fisher.lower.text.empty() && bounds.fisher.lower.value > 0)
                lower = std::log(bounds.fisher.lower.value);
            if (bounds.hasFisher && bounds.fisher.upper.text.empty() && bounds.fisher.upper.value > 0)
                upper = std::log(bounds.fisher.upper.value);
        }
        line.lower.push_back(lower);
        line.upper.push_back(upper);
    }
    return line;
}

std::string polyline(const std::vector<double>& x, const std::vector<double>& y, const Frame& frame,
                     const std::string& attributes)
{
    std::string points;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (!std::isfinite(y[k]))
            continue;
        points += (points.empty() ? "" : " ") + svgPixels(frame.pixelX(x[k])) + "," + svgPixels(frame.pixelY(y[k]));
    }
    return points.empty() ? "" : "<polyline points=\"" + points + "\" " + attributes + "/>\n";
}

std::string lineElement(double x1, double y1, double x2, double y2, const std::string& attributes)
{
    return "<line x1=\"" + svgPixels(x1) + "\" y1=\"" + svgPixels(y1) + "\" x2=\"" + svgPixels(x2) + "\" y2=\"" +
           svgPixels(y2) + "\" " + attributes + "/>\n";
}

std::string textElement(double x, double y, const std::string& attributes, const std::string& content)
{
    return "<text x=\"" + svgPixels(x) + "\" y=\"" + svgPixels(y) + "\"" + (attributes.empty() ? "" : " " + attributes) +
           ">" + content + "</text>\n";
}

// Ticks across, labelled in the stress as written: on 1/T the stress's own round values, placed
// at their x.
std::vector<AxisTick> stressTicks(const lifedata::AcceleratedFit& fit, Span x)
{
    switch (fit.model) {
    case lifedata::StressModel::power:
        return logarithmicAxisTicks(x.lo, x.hi);
    case lifedata::StressModel::exponential:
        return linearAxisTicks(x.lo, x.hi);
    case lifedata::StressModel::arrhenius:
        break;
    }
    const double s1 = stressAt(fit.model, fit.celsius, x.lo);
    const double s2 = stressAt(fit.model, fit.celsius, x.hi);
    std::vector<AxisTick> ticks;
    for (AxisTick tick : linearAxisTicks(std::min(s1, s2), std::max(s1, s2))) {
        tick.position = lifedata::stressVariable(fit.model, fit.celsius, tick.position);
        if (tick.position >= x.lo && tick.position <= x.hi)
            ticks.push_back(tick);
    }
    return ticks;
}

const char* stressAxisTitle(const lifedata::AcceleratedFit& fit)
{
    switch (fit.model) {
    case lifedata::StressModel::power:
        return "stress S (logarithmic scale)";
    case lifedata::StressModel::exponential:
        return "stress S (linear scale)";
    case lifedata::StressModel::arrhenius:
        break;
    }
    return fit.celsius ? "temperature (\u00B0C) on a 1/T scale" : "temperature (K) on a 1/T scale";
}

std::string axes(const Frame& frame, const lifedata::AcceleratedFit& fit)
{
    std::string svg = "<g class=\"grid\" stroke=\"#d4d4d4\" stroke-width=\"1\">\n";
    const std::vector<AxisTick> across = stressTicks(fit, frame.x);
    const std::vector<AxisTick> up = logarithmicAxisTicks(frame.y.lo, frame.y.hi);
    for (const AxisTick& tick : across)
        svg += lineElement(frame.pixelX(tick.position), plotTop, frame.pixelX(tick.position), plotBottom, "");
    for (const AxisTick& tick : up)
        svg += lineElement(plotLeft, frame.pixelY(tick.position), plotRight, frame.pixelY(tick.position), "");
    svg += "</g>\n<g class=\"x-labels\" text-anchor=\"middle\">\n";
    for (const AxisTick& tick : across)
        svg += textElement(frame.pixelX(tick.position), plotBottom + 18, "", tick.label);
    svg += "</g>\n<g class=\"y-labels\" text-anchor=\"end\">\n";
    for (const AxisTick& tick : up)
        svg += textElement(plotLeft - 6, frame.pixelY(tick.position) + 4, "", tick.label);
    svg += "</g>\n";
    svg += textElement((plotLeft + plotRight) / 2, plotBottom + 44, "text-anchor=\"middle\"", stressAxisTitle(fit));
    svg += "<text transform=\"translate(22 " + svgPixels((plotTop + plotBottom) / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">life (logarithmic scale)</text>\n";
    return svg;
}

// Vertical marks at the stresses: solid grey at the data's, dashed blue at the use stresses.
std::string stressMarks(const Frame& frame, const std::vector<double>& xs, const std::string& cls,
                        const std::string& stroke)
{
    std::string svg = "<g class=\"" + cls + "\" " + stroke + ">\n";
    for (double x : xs)
        svg += lineElement(frame.pixelX(x), plotTop, frame.pixelX(x), plotBottom, "");
    return svg + "</g>\n";
}

const std::string lifeStroke = "stroke=\"#c0282d\" stroke-width=\"1.6\" fill=\"none\"";
const std::string bandStroke = "stroke=\"#c0282d\" stroke-width=\"1\" stroke-dasharray=\"5 3\" fill=\"none\"";
const std::string dataStressStroke = "stroke=\"#909090\" stroke-width=\"1\"";
const std::string useStressStroke = "stroke=\"#1b9aaa\" stroke-width=\"1.2\" stroke-dasharray=\"2 3\"";

std::string legend(const lifedata::AcceleratedAnalysis& analysis, double percent, double confidence, bool band)
{
    std::string svg = "<g class=\"legend\">\n";
    double y = plotTop + 14;
    const auto row = [&](const std::string& stroke, const std::string& label) {
        if (!stroke.empty())
            svg += lineElement(legendLeft, y - 4, legendLeft + 20, y - 4, stroke);
        svg += textElement(legendLeft + (stroke.empty() ? 0 : 28), y, "", svgEscaped(label));
        y += 18;
    };
    row("", std::string(lifedata::stressModelName(analysis.fit.model)) + " model");
    row("", std::to_string(analysis.data.failures) + " failures, " + std::to_string(analysis.data.suspensions) +
                " suspended");
    y += 14;
    svg += "<circle cx=\"" + svgPixels(legendLeft + 10) + "\" cy=\"" + svgPixels(y - 4) +
           "\" r=\"3.5\" fill=\"none\" stroke=\"#1f4fbf\" stroke-width=\"1.3\"/>\n";
    svg += textElement(legendLeft + 28, y, "", "failures");
    y += 18;
    if (analysis.fit.status == lifedata::FitStatus::ok)
        row("class=\"legend-life\" " + lifeStroke, "B" + jsonNumber(percent) + " life");
    if (band)
        row("class=\"legend-band\" " + bandStroke, "Fisher band, " + jsonNumber(100 * confidence) + "%");
    row(dataStressStroke, "stresses of the data");
    if (!analysis.inference.use.empty())
        row(useStressStroke, "use stresses");
    if (analysis.fit.status != lifedata::FitStatus::ok)
        svg += textElement(legendLeft, y + 8, "font-size=\"11\" fill=\"#6a4a00\"",
                           svgEscaped("No B-life: " + analysis.fit.statusText));
    return svg + "</g>\n";
}

} // namespace

std::string lifeStressPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                              const lifedata::AcceleratedAnalysis& analysis, double percent, double confidence)
{
    const lifedata::AcceleratedFit& fit = analysis.fit;
    const bool fitted = fit.status == lifedata::FitStatus::ok;
    Span xs;
    std::vector<double> dataX;
    std::vector<double> useX;
    for (const lifedata::StressGroup& group : fit.groups) {
        dataX.push_back(group.x);
        xs.take(group.x);
    }
    for (const lifedata::UseStressBounds& use : analysis.inference.use) {
        useX.push_back(lifedata::stressVariable(fit.model, fit.celsius, use.stress));
        xs.take(useX.back());
    }
    Frame frame;
    frame.x = xs.widened(0, 1);

    std::vector<double> pointX;
    std::vector<double> pointY;
    Span ys;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const double y = std::log(failureTime(data, i));
        // Suspensions are not lives; a failure at time 0 has no place on a log scale.
        if (data.states[i] == lifedata::State::suspension || !std::isfinite(y))
            continue;
        pointX.push_back(lifedata::stressVariable(fit.model, fit.celsius, data.stresses[i]));
        pointY.push_back(y);
        ys.take(y);
    }
    LifeLine life;
    if (fitted) {
        life = bLifeLine(fit, frame.x, percent, confidence);
        for (std::size_t k = 0; k < life.x.size(); ++k) {
            ys.take(life.estimate[k]);
            ys.take(life.lower[k]);
            ys.take(life.upper[k]);
        }
    }
    frame.y = ys.widened(0, std::log(10.0));
    const bool band = std::any_of(life.lower.begin(), life.lower.end(), [](double v) { return std::isfinite(v); });

    const std::string title = "Life against stress of " + svgEscaped(dataFile);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + svgPixels(canvasWidth) + "\" height=\"" +
           svgPixels(canvasHeight) + "\" viewBox=\"0 0 " + svgPixels(canvasWidth) + " " + svgPixels(canvasHeight) +
           "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    svg += "<title>" + title + "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += textElement(20, 32, "font-size=\"16\"", title);
    svg += axes(frame, fit);
    svg += "<rect class=\"frame\" x=\"" + svgPixels(plotLeft) + "\" y=\"" + svgPixels(plotTop) + "\" width=\"" +
           svgPixels(plotRight - plotLeft) + "\" height=\"" + svgPixels(plotBottom - plotTop) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += stressMarks(frame, dataX, "data-stress", dataStressStroke);
    svg += stressMarks(frame, useX, "use-stress", useStressStroke);
    if (fitted) {
        svg += polyline(life.x, life.lower, frame, "class=\"band\" " + bandStroke);
        svg += polyline(life.x, life.upper, frame, "class=\"band\" " + bandStroke);
        svg += polyline(life.x, life.estimate, frame, "class=\"b-life\" " + lifeStroke);
    }
    svg += "<g class=\"points\" fill=\"none\" stroke=\"#1f4fbf\" stroke-width=\"1.3\">\n";
    for (std::size_t k = 0; k < pointX.size(); ++k)
        svg += "<circle class=\"point\" cx=\"" + svgPixels(frame.pixelX(pointX[k])) + "\" cy=\"" +
               svgPixels(frame.pixelY(pointY[k])) + "\" r=\"3.5\"/>\n";
    svg += "</g>\n";
    svg += legend(analysis, percent, confidence, band);
    return svg + "</svg>\n";
}
