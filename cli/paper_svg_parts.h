// The pieces of the probability paper's SVG that another picture draws with: pixel numbers written
// the same way on every system, escaped text, and axis ticks with their labels. They live with the
// paper (weibull_paper.cpp), so that both pictures look and read alike.
#pragma once

#include <string>
#include <vector>

// The paper's canvas in pixels: the plot's frame and the legend to its right. The other pictures of
// an analysis (life against stress) share it, so that they sit side by side alike.
constexpr double canvasWidth = 820;
constexpr double canvasHeight = 560;
constexpr double plotLeft = 84;
constexpr double plotTop = 56;
constexpr double plotRight = 580;
constexpr double plotBottom = 486;
constexpr double legendLeft = 604;
constexpr double legendRight = 804;

// A tick at `position` in plot units, with its label as SVG content (a power of ten raised).
struct AxisTick {
    double position;
    std::string label;
};

// Ticks of a logarithmic scale over [lo, hi] in natural-log units, as on the paper's time axis.
std::vector<AxisTick> logarithmicAxisTicks(double lo, double hi);

// Ticks of a linear scale over [lo, hi]: steps of 1, 2 or 5 times a power of ten.
std::vector<AxisTick> linearAxisTicks(double lo, double hi);

// A pixel coordinate with at most two decimals, independent of the C library's locale.
std::string svgPixels(double value);

// Character data or attribute text that is well-formed whatever the bytes.
std::string svgEscaped(const std::string& text);
