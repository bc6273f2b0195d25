// Two-parameter maximum-likelihood fits at a fixed location. Failures and suspensions reduce to an
// equation in m alone (ShapeProfile); intervals need the likelihood in two dimensions, maximised by
// Newton's method in (ln m, ln eta) with a step that is damped until the likelihood rises.
#include "weibull_fit.h"

#include <algorithm>
#include <cmath>

#include "json_text.h"
#include "shape_profile.h"
#include "two_parameter_search.h"

namespace lifedata {

const char* fitStatusText(FitStatus status)
{
    switch (status) {
    case FitStatus::ok:
        return "ok";
    case FitStatus::notConverged:
        return "not converged";
    case FitStatus::tooFewFailures:
        return "too few failures";
    case FitStatus::noInteriorMaximum:
        return "no interior maximum: the likelihood rises to the smallest failure";
    case FitStatus::noFiniteMaximum:
        return "no finite maximum";
    case FitStatus::zeroFailures:
        return "zero failures: only a lower bound";
    case FitStatus::profileNotEvaluated:
        return "no estimate: the profile likelihood could not be evaluated at every location";
    case FitStatus::locationAtSmallestFailure:
        return "location at the smallest failure";
    case FitStatus::notFitted:
        break;
    }
    return "not fitted";
}

double fitT0(const WeibullFit& fit) { return std::pow(fit.eta, fit.m); }

WeibullFit withStatus(FitStatus status)
{
    WeibullFit fit;
    fit.status = status;
    fit.statusText = fitStatusText(status);
    return fit;
}

void checkFittable(const PreparedData& data)
{
    if (data.failureUnits == 0)
        throw DataError("no failures: the Weibull parameters cannot be estimated");
    if (data.distinctFailureTimes < 2)
        throw DataError("only one distinct failure time: the Weibull parameters cannot be estimated");
}

void checkLocation(const PreparedData& data, double gamma)
{
    const double x1 = smallestFailure(data);
    if (!(gamma < x1))
        throw DataError("the location " + jsonNumber(gamma) + " is not below the smallest failure time " +
                        jsonNumber(x1));
}

WeibullFit fitTwoParameter(const PreparedData& data, double gamma, const FitSettings& settings)
{
    checkFittable(data);
    checkLocation(data, gamma);
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    TwoParameterSearch search(data, *work);
    const TwoParameterSolution solution = search.solve(gamma, fitTolerance);
    if (!solution.converged)
        return withStatus(FitStatus::notConverged);
    WeibullFit fit = withStatus(FitStatus::ok);
    fit.m = solution.m;
    fit.eta = solution.eta;
    fit.gamma = gamma;
    fit.logLikelihood = solution.logLikelihood;
    fit.iterations = solution.iterations;
    return fit;
}

} // namespace lifedata
