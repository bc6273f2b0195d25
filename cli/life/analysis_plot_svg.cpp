// The Weibull plot of `varnel --life`: the failures at adjusted ranks, the two-parameter line (the
// regression line of rank regression), the three-parameter curve and the likelihood-ratio band.
#include "life/analysis_plot_svg.h"
#include "life/mixture_plot.h"

#include <cmath>
#include <vector>

#include "adjusted_ranks.h"
#include "json_text.h"
#include "life/plot_curves.h"
#include "life/competing_modes_plot.h"
#include "report_file.h"
#include "weibull_paper.h"

namespace {

std::vector<PlotPoint> adjustedRankPoints(const lifedata::LifeData& data, double gamma, const PaperScale& scale)
{
    std::vector<PlotPoint> points;
    for (const lifedata::RankedFailure& f : lifedata::adjustedRankFailures(data))
        points.push_back({scale.x(f.time - gamma), scale.y(f.unreliability)});
    return points;
}

// `text` in lines of at most about `width` characters, broken at spaces, for the narrow legend.
std::vector<std::string> wrapped(const std::string& text, std::size_t width)
{
    std::vector<std::string> lines;
    std::string current;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!current.empty() && current.size() + 1 + word.size() > width) {
            lines.push_back(current);
            current.clear();
        }
        current += (current.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

// The likelihood-ratio bounds of t_P over P, as the two sides of a band about the two-parameter
// line: only where the analysis gave likelihood-ratio bounds (--bounds lr or both).
void addConfidenceBand(WeibullPaper& paper, const lifedata::LifeData& data, const lifedata::Analysis& analysis,
                       const PaperScale& scale)
{
    const lifedata::ModelInference& two = analysis.twoParameterInference;
    if (!two.available || !two.m.hasLikelihoodRatio)
        return;
    const std::vector<double> percents = {0.1, 0.2, 0.5, 1, 2, 3, 5, 7, 10, 15, 20, 30, 40, 50,
                                          60, 63.2, 70, 80, 90, 95, 99, 99.9};
    const lifedata::InferenceRequest request{two.confidence, percents, {}, lifedata::BoundsChoice::likelihoodRatio,
                                             0, 0, 0};
    const lifedata::ModelInference band =
        lifedata::inferModel(lifedata::prepareLifeData(data), analysis.twoParameter, false, request);
    const double gamma = analysis.twoParameter.gamma;
    for (const lifedata::BLifeBounds& b : band.bLives) {
        const double y = scale.y(b.percent / 100);
        const lifedata::ConfidenceInterval& interval = b.bounds.likelihoodRatio;
        if (interval.lower.text.empty() && interval.lower.value > gamma)
            paper.bandLower.push_back({scale.x(interval.lower.value - gamma), y});
        if (interval.upper.text.empty() && interval.upper.value > gamma)
            paper.bandUpper.push_back({scale.x(interval.upper.value - gamma), y});
    }
    paper.bandLabel = "likelihood-ratio band, " + jsonNumber(100 * two.confidence) + "%";
}

const char* lineLabel(lifedata::EstimationMethod method)
{
    switch (method) {
    case lifedata::EstimationMethod::rrx:
        return "rank regression on X";
    case lifedata::EstimationMethod::rry:
        return "rank regression on Y";
    case lifedata::EstimationMethod::mle:
        break;
    }
    return "two-parameter fit";
}

} // namespace

std::string lifeDataPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                            const lifedata::Analysis& analysis, PaperKind kind)
{
    const lifedata::WeibullFit& two = analysis.twoParameter;
    const lifedata::WeibullFit& three = analysis.threeParameter.fit;
    WeibullPaper paper;
    paper.name = dataFile;
    paper.kind = kind;
    const PaperScale scale{kind};
    // Without a two-parameter estimate (a search that did not converge) there is no location to shift
    // by: the failures are drawn at their own times rather than not at all.
    const double location = two.status == lifedata::FitStatus::ok ? two.gamma : 0;
    paper.points = adjustedRankPoints(data, location, scale);
    paper.slope = two.m;
    paper.intercept = -two.m * std::log(two.eta);
    paper.noLineNote = "No fitted line: no two-parameter fit.";
    const lifedata::DataSummary& d = analysis.data;
    paper.legendHeading = {std::to_string(d.failures) + " failures, " + std::to_string(d.suspensions) + " suspended"};
    if (d.intervals > 0)
        paper.legendHeading.push_back(std::to_string(d.intervals) + " in intervals, at their middles");
    paper.legendHeading.push_back("F: Johnson's adjusted ranks");
    paper.values = {{"m", two.m}, {"eta", two.eta}, {"gamma", two.gamma}};
    if (three.status == lifedata::FitStatus::ok)
        paper.values.insert(paper.values.end(), {{"3P m", three.m}, {"3P eta", three.eta}, {"3P gamma", three.gamma}});
    if (three.status == lifedata::FitStatus::ok)
        paper.curve = {true, three.m, three.eta, location - three.gamma, "three-parameter fit"};
    addMixtureCurve(paper, analysis.mixture, location);
    paper.pointsLabel = "failures";
    paper.lineLabel = analysis.twoParameterInference.shapeFixed ? "two-parameter fit, m known" : lineLabel(analysis.method);
    if (three.status != lifedata::FitStatus::ok && three.status != lifedata::FitStatus::notFitted)
        paper.notes = wrapped("Three parameters: " + three.statusText, 34);
    addConfidenceBand(paper, data, analysis, scale);
    weibullModelsAsCurves(paper, analysis, location);
    distributionCurves(paper, analysis, location);
    addCompetingModes(paper, analysis.competingModes, location);
    if (analysis.nonParametric) {
        paper.steps = nonParametricCorners(*analysis.nonParametric, location);
        paper.stepsLabel = nonParametricLabel(*analysis.nonParametric);
    }
    return drawWeibullPaper(paper);
}

bool writeLifeDataPlot(const std::string& path, const std::string& dataFile, const lifedata::LifeData& data,
                       const lifedata::Analysis& analysis, PaperKind kind)
{
    return writeWholeFile(path.c_str(), lifeDataPlotSvg(dataFile, data, analysis, kind));
}
