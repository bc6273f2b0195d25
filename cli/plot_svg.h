// The Weibull plot of the last run as a self-contained SVG picture (`varnel --plot`): the
// observations on Weibull probability paper and the fitted line through them.
#pragma once

#include <string>

// The SVG document of the last successful run: each observation at x = ln(t - gamma),
// y = ln(ln(1/(1 - F))), the fitted line y = m x - ln t0, t - gamma on a log scale across and
// unreliability F in percent up, with a legend of n, the rank method and the seven results.
// Points that are not finite are left out and counted in a note, as is a stopped iteration.
std::string weibullPlotSvg(bool iterationStopped);

// Writes weibullPlotSvg() to `path`; true only when the file was opened, every byte written and
// the file closed.
bool writeWeibullPlot(const std::string& path, bool iterationStopped);
