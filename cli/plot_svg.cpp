// The Weibull plot of the last run: the sorted sample at the run's plotting positions and the line
// of the run's m and t0.
#include "plot_svg.h"

#include <cmath>

#include "estimation_state.h"
#include "plotting_position.h"
#include "report_file.h"
#include "weibull_paper.h"

std::string weibullPlotSvg(bool iterationStopped)
{
    WeibullPaper paper;
    paper.name = state.RFile;
    for (std::uint32_t i = 1; i <= state.n; ++i)
        paper.points.push_back({std::log(state.samples[i - 1] - state.gamma), weibullOrdinate(i)});
    paper.slope = state.m;
    paper.intercept = -std::log(state.t0);
    paper.noLineNote = "No fitted line: m or ln t0 is not finite.";
    paper.legendHeading = {"n = " + std::to_string(state.n), std::string("Rank method: F = ") + rankMethodLabel(state.Fi)};
    paper.values = {{"m", state.m},   {"t0", state.t0}, {"gamma", state.gamma}, {"mu", state.mu},
                    {"xi", state.xi}, {"tm", state.tm}, {"sigma2", state.sigma2}};
    paper.pointsLabel = "observations";
    paper.lineLabel = "fitted line";
    if (iterationStopped)
        paper.notes = {"The iteration was stopped;", "results are for the m reached."};
    return drawWeibullPaper(paper);
}

bool writeWeibullPlot(const std::string& path, bool iterationStopped)
{
    return writeWholeFile(path.c_str(), weibullPlotSvg(iterationStopped));
}
