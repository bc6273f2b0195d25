// Fisher bounds from the inverse of the observed information in (ln m, a, b), by the delta method
// for the quantities at a use stress; likelihood-ratio bounds from the profile with the quantity
// held, each side found by the general side search.
#include "accelerated_bounds.h"

#include <cmath>

#include "accelerated_profile.h"
#include "chi_square.h"
#include "fisher_bounds.h"
#include "normal_quantile.h"

namespace lifedata {

namespace {

// A logarithmic coordinate this far from the estimate (a factor of 1e13) is as good as no end.
constexpr double logSpan = 30;
constexpr double coordinateTolerance = 1e-10;

// How s of a quantity becomes the reported value.
enum class Scale { logarithmic, linear, reliability };

struct Setup {
    const AcceleratedLikelihood* likelihood;
    double estimate[3]; // (ln m, a, b)
    double maximum;
    double critical;
    double z;
    bool hasCovariance;
    ParameterCovariance covariance;
    bool fisher;
    bool likelihoodRatio;
};

double reported(Scale scale, double s)
{
    return scale == Scale::logarithmic ? std::exp(s) : scale == Scale::reliability ? std::exp(-std::exp(s)) : s;
}

// Maps an interval of s to the quantity's; R falls as u rises, so its sides swap.
ConfidenceInterval reportedInterval(Scale scale, BoundSide lower, BoundSide upper)
{
    for (BoundSide* side : {&lower, &upper}) {
        if (!std::isnan(side->value))
            side->value = reported(scale, side->value);
    }
    if (scale == Scale::reliability)
        return {upper, lower};
    return {lower, upper};
}

BoundSide sideOf(const SideResult& result)
{
    if (result.end == SideEnd::closed)
        return {result.s, ""};
    return {NAN, result.end == SideEnd::open ? unboundedText : notFoundText};
}

ConfidenceInterval profileBounds(const Setup& setup, const HeldAcceleratedQuantity& held, Scale scale, double se)
{
    const double estimate = heldValue(held, setup.estimate);
    const bool linear = scale == Scale::linear;
    const double unit = linear && std::isfinite(se) && se > 0 ? se : 1;
    double firstStep = setup.z * se;
    if (!(firstStep > 0) || !std::isfinite(firstStep))
        firstStep = 0.1 * unit;
    double maxSpan = linear ? 1e6 * (unit + std::fabs(estimate)) : logSpan;
    // u scales with its own size: far out in a tail its sides lie far apart.
    if (scale == Scale::reliability)
        maxSpan = logSpan * (1 + std::fabs(estimate));
    const double tolerance = coordinateTolerance * std::fmax(linear ? unit : 1, std::fabs(estimate));
    BoundSide sides[2];
    for (int side = 0; side < 2; ++side) {
        AcceleratedProfile profile(*setup.likelihood, held, setup.estimate);
        const SideSearch search{estimate, setup.maximum, setup.critical / 2, side == 0 ? -1.0 : 1.0,
                                std::fmin(firstStep, maxSpan / 2), maxSpan, tolerance};
        sides[side] = sideOf(findProfileSide(profile, search));
    }
    return reportedInterval(scale, sides[0], sides[1]);
}

ConfidenceInterval fisherInterval(Scale scale, double s, double se, double z)
{
    return reportedInterval(scale, {s - z * se, ""}, {s + z * se, ""});
}

// The quantity's estimate and the bounds asked for; `gradient` is that of s in (ln m, a, b).
QuantityBounds boundsOf(const Setup& setup, const HeldAcceleratedQuantity& held, Scale scale,
                        const double (&gradient)[3])
{
    const double s = heldValue(held, setup.estimate);
    QuantityBounds bounds = estimateOnly(reported(scale, s));
    const double se =
        setup.hasCovariance ? std::sqrt(deltaMethodVariance(setup.covariance, gradient)) : std::nan("");
    if (setup.fisher && setup.hasCovariance) {
        bounds.hasFisher = true;
        bounds.fisher = fisherInterval(scale, s, se, setup.z);
    }
    if (setup.likelihoodRatio) {
        bounds.hasLikelihoodRatio = true;
        bounds.likelihoodRatio = profileBounds(setup, held, scale, se);
    }
    return bounds;
}

QuantityBounds parameterBounds(const Setup& setup, AcceleratedQuantity quantity)
{
    const int index = quantity == AcceleratedQuantity::shape ? 0 : quantity == AcceleratedQuantity::intercept ? 1 : 2;
    double gradient[3] = {};
    gradient[index] = 1;
    return boundsOf(setup, {quantity}, index == 0 ? Scale::logarithmic : Scale::linear, gradient);
}

UseStressBounds useStressBounds(const Setup& setup, const AcceleratedFit& fit, double stress,
                                const InferenceRequest& request)
{
    UseStressBounds use;
    use.stress = stress;
    const double x = stressVariable(fit.model, fit.celsius, stress);
    const double m = fit.m;
    use.eta = boundsOf(setup, {AcceleratedQuantity::eta, x}, Scale::logarithmic, {0, 1, x});
    for (double percent : request.bLifePercents) {
        const double c = std::log(-std::log1p(-percent / 100));
        use.bLives.push_back(
            {percent, boundsOf(setup, {AcceleratedQuantity::bLife, x, c}, Scale::logarithmic, {-c / m, 1, x})});
    }
    for (double t : request.at) {
        if (!(t > 0)) {
            use.reliability.push_back({t, estimateOnly(1)});
            continue;
        }
        const HeldAcceleratedQuantity held{AcceleratedQuantity::reliability, x, std::log(t)};
        const double u = heldValue(held, setup.estimate);
        use.reliability.push_back({t, boundsOf(setup, held, Scale::reliability, {u, -m, -m * x})});
    }
    return use;
}

} // namespace

AcceleratedInference inferAcceleratedLife(const AcceleratedFit& fit, const std::vector<double>& use,
                                          const InferenceRequest& request)
{
    AcceleratedInference inference;
    if (fit.status != FitStatus::ok)
        return inference;
    inference.available = true;
    inference.confidence = request.confidence;
    const FitSettings settings{request.threads, request.cancel};
    std::size_t records = 0;
    for (const StressGroup& g : fit.groups)
        records += g.data.failureTimes.size() + g.data.suspensionTimes.size() + g.data.intervalLower.size();
    const std::unique_ptr<ChunkedWork> work = makeWork(records, settings);
    const AcceleratedLikelihood likelihood{&fit.groups, work.get(), request.cancel};

    Setup setup{&likelihood, {std::log(fit.m), fit.a, fit.b}, 0, chiSquareQuantile(request.confidence, 1),
                normalQuantile((1 + request.confidence) / 2), false, {}, false, false};
    // Its own value at the estimate, so that the maximum and the profile share their rounding.
    double gradient[3], hessian[3][3];
    setup.maximum = likelihood.evaluate(setup.estimate, 0, gradient, hessian);
    setup.hasCovariance = covarianceFromHessian(fit.hessian, 3, setup.covariance);
    if (!setup.hasCovariance)
        inference.fisherNote = "the information matrix is not positive definite: no Fisher bounds";
    setup.fisher = request.bounds == BoundsChoice::fisher || request.bounds == BoundsChoice::both;
    setup.likelihoodRatio = request.bounds == BoundsChoice::likelihoodRatio || request.bounds == BoundsChoice::both;

    inference.m = parameterBounds(setup, AcceleratedQuantity::shape);
    inference.a = parameterBounds(setup, AcceleratedQuantity::intercept);
    inference.b = parameterBounds(setup, AcceleratedQuantity::slope);
    for (double stress : use)
        inference.use.push_back(useStressBounds(setup, fit, stress, request));
    return inference;
}

} // namespace lifedata
