// The pictures of an accelerated analysis: the stresses on Weibull paper, and the file names.
#include "life/accelerated_plot.h"

#include <cmath>
#include <vector>

#include "adjusted_ranks.h"
#include "life/life_stress_plot.h"
#include "life/readable_number.h"
#include "report_file.h"
#include "weibull_paper.h"

namespace {

// The records written at `stress`, so that their ranks are those of that stress alone.
lifedata::LifeData recordsAt(const lifedata::LifeData& data, double stress)
{
    lifedata::LifeData subset;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        if (data.stresses[i] != stress)
            continue;
        subset.values.push_back(data.values[i]);
        subset.upper.push_back(data.upper[i]);
        subset.states.push_back(data.states[i]);
        subset.counts.push_back(data.counts[i]);
    }
    return subset;
}

PaperSeries stressSeries(const lifedata::LifeData& data, const lifedata::AcceleratedFit& fit,
                         const lifedata::StressGroup& group)
{
    PaperSeries series;
    const PaperScale scale{PaperKind::weibull};
    for (const lifedata::RankedFailure& f : lifedata::adjustedRankFailures(recordsAt(data, group.stress)))
        series.points.push_back({scale.x(f.time), scale.y(f.unreliability)});
    // y = m (ln t - ln eta(S)) with ln eta(S) = a + b x(S); a fit that did not converge draws no
    // line rather than the one where its search stopped.
    const bool fitted = fit.status == lifedata::FitStatus::ok;
    const double logEta = fitted ? fit.a + fit.b * group.x : std::nan("");
    series.slope = fit.m;
    series.intercept = -fit.m * logEta;
    series.label = "S = " + readableNumber(group.stress);
    if (std::isfinite(logEta))
        series.label += ", eta = " + readableNumber(std::exp(logEta));
    return series;
}

} // namespace

std::string acceleratedWeibullPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                                      const lifedata::AcceleratedAnalysis& analysis)
{
    const lifedata::AcceleratedFit& fit = analysis.fit;
    WeibullPaper paper;
    paper.name = dataFile;
    // The groups carry the lines; the paper's own line and points stay empty.
    paper.slope = std::nan("");
    paper.intercept = std::nan("");
    const lifedata::DataSummary& d = analysis.data;
    paper.legendHeading = {std::to_string(d.failures) + " failures, " + std::to_string(d.suspensions) + " suspended",
                           std::string(lifedata::stressModelName(fit.model)) + " model, common m",
                           "F: adjusted ranks per stress"};
    if (d.intervals > 0)
        paper.legendHeading.push_back(std::to_string(d.intervals) + " in intervals, at their middles");
    paper.values = {{"m", fit.m}, {"a", fit.a}, {"b", fit.b}};
    for (const lifedata::StressGroup& group : fit.groups)
        paper.series.push_back(stressSeries(data, fit, group));
    if (fit.status != lifedata::FitStatus::ok)
        paper.notes.push_back("No lines: " + fit.statusText);
    return drawWeibullPaper(paper);
}

std::string lifeStressPlotPath(const std::string& plotPath)
{
    const std::size_t slash = plotPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = plotPath.find_last_of('.');
    // A dot that starts the name (".svg") hides the file rather than giving it an extension.
    if (dot == std::string::npos || dot <= nameStart)
        return plotPath + "-life-stress";
    return plotPath.substr(0, dot) + "-life-stress" + plotPath.substr(dot);
}

bool writeAcceleratedPlots(const std::string& plotPath, const std::string& dataFile, const lifedata::LifeData& data,
                           const lifedata::AcceleratedAnalysis& analysis, double percent, double confidence,
                           std::string& failedPath)
{
    if (!writeWholeFile(plotPath.c_str(), acceleratedWeibullPlotSvg(dataFile, data, analysis))) {
        failedPath = plotPath;
        return false;
    }
    const std::string second = lifeStressPlotPath(plotPath);
    if (!writeWholeFile(second.c_str(), lifeStressPlotSvg(dataFile, data, analysis, percent, confidence))) {
        failedPath = second;
        return false;
    }
    return true;
}
