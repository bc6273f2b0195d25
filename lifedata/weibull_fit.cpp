// Maximum-likelihood Weibull fits.
#include "weibull_fit.h"

#include <cmath>

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
    case FitStatus::notFitted:
        break;
    }
    return "not fitted";
}

double fitT0(const WeibullFit& fit) { return std::pow(fit.eta, fit.m); }

WeibullFit fitTwoParameter(const PreparedData&, double, const FitSettings&) { return {}; }

ThreeParameterFit fitThreeParameter(const PreparedData&, const FitSettings&) { return {}; }

} // namespace lifedata
