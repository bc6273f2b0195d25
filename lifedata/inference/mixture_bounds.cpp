// The mixture's B-lives, reliabilities and their Fisher bounds. The mixture has no closed-form
// quantile: t_P lies between the components' own t_P and is found there by bisection on ln t, and
// its gradient follows from the implicit function ln S(t_P) = ln(1 - P).
#include "mixture_bounds.h"

#include <cmath>
#include <memory>

#include "normal_quantile.h"
#include "symmetric_matrix.h"

namespace lifedata {

namespace {

struct MixtureCurve {
    const MixtureFit& fit;
    std::unique_ptr<Distribution> component = makeDistribution("weibull2");

    MixtureTerms logSurvival(double t, int order) const
    {
        return combineComponents(component->logSurvival(t, fit.theta + 1, order),
                                 component->logSurvival(t, fit.theta + 3, order), fit.theta[0], order);
    }
    MixtureTerms logDensity(double t) const
    {
        return combineComponents(component->logDensity(t, fit.theta + 1, 0),
                                 component->logDensity(t, fit.theta + 3, 0), fit.theta[0], 0);
    }
    double quantile(double P) const
    {
        const double t1 = component->quantile(P, fit.theta + 1, nullptr);
        const double t2 = component->quantile(P, fit.theta + 3, nullptr);
        double low = std::log(std::fmin(t1, t2));
        double high = std::log(std::fmax(t1, t2));
        const double target = std::log1p(-P);
        // F rises with t, so ln S falls: halve until the bracket cannot shrink any more.
        for (int i = 0; i < 200; ++i) {
            const double middle = 0.5 * (low + high);
            if (middle <= low || middle >= high)
                break;
            (logSurvival(std::exp(middle), 0).value > target ? low : high) = middle;
        }
        return std::exp(0.5 * (low + high));
    }
};

double variance(const SymmetricMatrix& covariance, const double* gradient)
{
    double sum = 0;
    for (std::size_t i = 0; i < mixtureParameters; ++i)
        for (std::size_t j = 0; j < mixtureParameters; ++j)
            sum += gradient[i] * covariance[i][j] * gradient[j];
    return sum;
}

ConfidenceInterval interval(double lower, double upper) { return {{lower, ""}, {upper, ""}}; }

// Bounds of exp(x) where x = ln(quantity) has standard error se.
ConfidenceInterval logBounds(double x, double se, double z) { return interval(std::exp(x - z * se), std::exp(x + z * se)); }

QuantityBounds parameterBounds(double estimate, const SymmetricMatrix* covariance, std::size_t i, double z)
{
    QuantityBounds bounds = estimateOnly(estimate);
    if (covariance) {
        bounds.hasFisher = true;
        bounds.fisher = logBounds(std::log(estimate), std::sqrt((*covariance)[i][i]), z);
    }
    return bounds;
}

} // namespace

double mixtureBLife(const MixtureFit& fit, double percent) { return MixtureCurve{fit}.quantile(percent / 100); }

double mixtureReliability(const MixtureFit& fit, double t)
{
    return t > 0 ? std::exp(MixtureCurve{fit}.logSurvival(t, 0).value) : 1;
}

MixtureInference inferMixture(const MixtureFit& fit, const InferenceRequest& request, double units)
{
    MixtureInference inference;
    inference.confidence = request.confidence;
    inference.criteria = informationCriteria(fit.logLikelihood, static_cast<int>(mixtureParameters), units);
    const double z = normalQuantile(0.5 + request.confidence / 2);
    SymmetricMatrix information = {};
    for (std::size_t i = 0; i < mixtureParameters; ++i)
        for (std::size_t j = 0; j < mixtureParameters; ++j)
            information[i][j] = -fit.hessian[i][j];
    SymmetricMatrix covariance = {};
    const bool definite = invertPositiveDefinite(information, mixtureParameters, covariance);
    const SymmetricMatrix* c = definite && request.bounds != BoundsChoice::none ? &covariance : nullptr;
    if (!definite)
        inference.fisherNote = "the observed information at the estimate is not positive definite";

    inference.p = estimateOnly(fit.p);
    if (c) {
        // p's bounds are those of its logit, mapped back.
        const double se = std::sqrt(covariance[0][0]);
        inference.p.hasFisher = true;
        inference.p.fisher = interval(1 / (1 + std::exp(-(fit.theta[0] - z * se))),
                                      1 / (1 + std::exp(-(fit.theta[0] + z * se))));
    }
    for (std::size_t k = 0; k < 2; ++k) {
        inference.m[k] = parameterBounds(fit.m[k], c, 1 + 2 * k, z);
        inference.eta[k] = parameterBounds(fit.eta[k], c, 2 + 2 * k, z);
    }

    const MixtureCurve curve{fit};
    for (double percent : request.bLifePercents) {
        const double t = curve.quantile(percent / 100);
        BLifeBounds b{percent, estimateOnly(t)};
        if (c) {
            // d ln t / d theta = -(d ln S / d theta) / (d ln S / d ln t), with d ln S / d ln t = -t f / S.
            const MixtureTerms s = curve.logSurvival(t, 1);
            const double slope = -t * std::exp(curve.logDensity(t).value - s.value);
            double gradient[mixtureParameters];
            for (std::size_t i = 0; i < mixtureParameters; ++i)
                gradient[i] = -s.gradient[i] / slope;
            b.bounds.hasFisher = true;
            b.bounds.fisher = logBounds(std::log(t), std::sqrt(variance(covariance, gradient)), z);
        }
        inference.bLives.push_back(b);
    }
    for (double t : request.at) {
        ReliabilityBounds r{t, estimateOnly(mixtureReliability(fit, t))};
        if (c && t > 0) {
            // u = ln(-ln R): d u = d ln S / ln S; R's lower side is that of u's upper one.
            const MixtureTerms s = curve.logSurvival(t, 1);
            double gradient[mixtureParameters];
            for (std::size_t i = 0; i < mixtureParameters; ++i)
                gradient[i] = s.gradient[i] / s.value;
            const double u = std::log(-s.value);
            const double se = std::sqrt(variance(covariance, gradient));
            r.bounds.hasFisher = true;
            r.bounds.fisher = interval(std::exp(-std::exp(u + z * se)), std::exp(-std::exp(u - z * se)));
        }
        inference.reliability.push_back(r);
    }
    return inference;
}

} // namespace lifedata
