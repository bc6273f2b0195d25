// Weibull probability paper as a self-contained SVG picture: points at x = ln(t - gamma) and
// y = ln(ln(1/(1 - F))), a fitted line y = slope x + intercept, t - gamma on a log scale across and
// unreliability F in percent up, with a legend. Both plots of the program draw on it.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct PlotPoint {
    double x;
    double y;
};

struct PaperValue {
    std::string name;
    double value;
};

// A Weibull model drawn as a curve on paper of another location: y = m ln((e^x + shift) / eta), with
// shift the paper's location minus the model's.
struct PaperCurve {
    bool shown = false;
    double m = 0;
    double eta = 0;
    double shift = 0;
    std::string label;
};

// A further model drawn solid as y(x) across the paper, e.g. one of several failure modes.
struct PaperModel {
    std::function<double(double)> y;
    std::string label;
    std::string colour; // an SVG colour
};

struct WeibullPaper {
    std::string name;                       // the data file, as given, in the heading
    std::vector<PlotPoint> points;          // those that are not finite are left out and counted in a note
    double slope;                           // the fitted line
    double intercept;
    std::string noLineNote;                 // why there is no line when slope or intercept is not finite
    std::vector<std::string> legendHeading; // rows above the values
    std::vector<PaperValue> values;         // "name = value" rows
    std::string pointsLabel;
    std::string lineLabel;
    std::vector<std::string> notes;         // last in the legend
    PaperCurve curve;                       // a second model, dashed
    // A confidence band about the line: its two sides as curves (none when both are empty).
    std::vector<PlotPoint> bandLower;
    std::vector<PlotPoint> bandUpper;
    std::string bandLabel;
    std::vector<PaperModel> models; // after the band in the legend
};

std::string drawWeibullPaper(const WeibullPaper& paper);
