// The non-parametric steps and the model curves of the life-data plot.
#include "life/plot_curves.h"

#include <cmath>
#include <limits>
#include <memory>

#include "distribution.h"

std::vector<StepCorner> nonParametricCorners(const lifedata::NonParametricEstimate& estimate, double location)
{
    std::vector<StepCorner> corners;
    double before = 0;
    for (const lifedata::SurvivalStep& step : estimate.steps) {
        const double F = 1 - step.survival;
        corners.push_back({step.from - location, before});
        corners.push_back({step.time - location, F});
        before = F;
    }
    return corners;
}

std::string nonParametricLabel(const lifedata::NonParametricEstimate& estimate)
{
    return estimate.method == lifedata::NonParametricMethod::turnbull ? "Turnbull (across its intervals)"
                                                                      : "Kaplan-Meier";
}

ModelCurve weibullCurve(double m, double eta, double gamma, double location, std::string label, bool emphasised)
{
    // F = 1 - exp(-((t - gamma) / eta)^m), written through expm1 so that small F keep their digits.
    const auto unreliability = [=](double time) {
        const double x = time + location - gamma;
        return x > 0 ? -std::expm1(-std::pow(x / eta, m)) : 0.0;
    };
    return {unreliability, std::move(label), emphasised};
}

void weibullModelsAsCurves(WeibullPaper& paper, const lifedata::Analysis& analysis, double location)
{
    if (paper.kind == PaperKind::weibull)
        return;
    const lifedata::WeibullFit& two = analysis.twoParameter;
    if (std::isfinite(paper.slope) && std::isfinite(paper.intercept) && std::isfinite(two.eta))
        paper.models.push_back(weibullCurve(two.m, two.eta, two.gamma, location, "Weibull " + paper.lineLabel, true));
    if (paper.curve.shown) {
        const lifedata::WeibullFit& three = analysis.threeParameter.fit;
        paper.models.push_back(weibullCurve(three.m, three.eta, three.gamma, location, "Weibull " + paper.curve.label, false));
    }
    paper.slope = std::numeric_limits<double>::quiet_NaN();
    paper.noLineNote.clear();
    paper.lineLabel.clear();
    paper.curve.shown = false;
}

void distributionCurves(WeibullPaper& paper, const lifedata::Analysis& analysis, double location)
{
    if (analysis.distributions.empty())
        return;
    for (const lifedata::DistributionResult& result : analysis.distributions) {
        if (!result.estimated)
            continue;
        std::shared_ptr<const lifedata::Distribution> family = lifedata::makeDistribution(result.name);
        if (!family)
            continue;
        std::vector<double> p(lifedata::maximumDistributionParameters, 0.0);
        family->toCoordinates(result.parameters.data(), p.data());
        // F = 1 - S through expm1, so that small F keep their digits.
        const auto unreliability = [family, p, location](double time) {
            return -std::expm1(family->logSurvival(time + location, p.data(), 0).value);
        };
        paper.models.push_back({unreliability, std::to_string(result.rank) + ". " + result.name, result.rank == 1});
    }
    paper.slope = std::numeric_limits<double>::quiet_NaN();
    paper.noLineNote.clear();
    paper.lineLabel.clear();
    paper.curve.shown = false;
    paper.values.clear();
    paper.notes.clear();
}
