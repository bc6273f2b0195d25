// Probability paper as a self-contained SVG picture, Weibull paper unless asked otherwise: points
// at x = ln(t - gamma) and y = ln(ln(1/(1 - F))) (or the other paper's x and y), a fitted line
// y = slope x + intercept, t - gamma across and unreliability F in percent up, with a legend. Both
// plots of the program draw on it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "probability_paper.h"

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
    // Below 1: a mixture of two populations, F = p F(m, eta) + (1 - p) F(m2, eta2).
    double p = 1;
    double m2 = 0;
    double eta2 = 0;
};

// A fitted model drawn as its F over the paper's time t - gamma.
struct ModelCurve {
    std::function<double(double)> unreliability;
    std::string label;
    bool emphasised = false; // the best-ranked model: drawn bold
};

// A point of the non-parametric estimate in data units: time t - gamma and unreliability F.
struct StepCorner {
    double time;
    double F;
};

// One group of an accelerated model, a stress: its points and its line, in a colour of their own.
struct PaperSeries {
    std::vector<PlotPoint> points;
    double slope;
    double intercept;
    std::string label;
};

struct WeibullPaper {
    PaperKind kind = PaperKind::weibull;    // points, line and band are in this paper's plot units
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
    std::vector<ModelCurve> models;         // more models, each a curve
    std::vector<StepCorner> steps;          // the non-parametric estimate, corner to corner
    std::string stepsLabel;
    std::vector<PaperSeries> series;        // groups drawn beside (or instead of) the points and line
};

std::string drawWeibullPaper(const WeibullPaper& paper);
