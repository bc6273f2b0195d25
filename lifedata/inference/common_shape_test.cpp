// The common-shape model's likelihood is the sum of the stresses' Weibull likelihoods with one m:
// Newton on (ln m, ln eta_1, .., ln eta_K) from the stresses' own fits.
#include "common_shape_test.h"

#include <cmath>

#include "chi_square.h"
#include "newton_maximum.h"

namespace lifedata {

namespace {

std::vector<const StressGroup*> groupsWithFailures(const std::vector<StressGroup>& groups)
{
    std::vector<const StressGroup*> failing;
    for (const StressGroup& g : groups) {
        if (g.data.failureUnits > 0)
            failing.push_back(&g);
    }
    return failing;
}

} // namespace

CommonShapeTest testCommonShape(const std::vector<StressGroup>& groups, ChunkedWork& work, CancelFlag cancel)
{
    CommonShapeTest test;
    const std::vector<const StressGroup*> failing = groupsWithFailures(groups);
    const std::size_t k = failing.size();
    double separate = 0, weight = 0, lnM = 0;
    std::vector<double> start(k + 1);
    for (std::size_t i = 0; i < k; ++i) {
        const WeibullFit& fit = failing[i]->fit;
        if (fit.status != FitStatus::ok) {
            test.note = "a stress with failures has no fit of its own";
            return test;
        }
        separate += fit.logLikelihood;
        weight += failing[i]->data.failureUnits;
        lnM += failing[i]->data.failureUnits * std::log(fit.m);
        start[i + 1] = std::log(fit.eta);
    }
    start[0] = lnM / weight;

    const std::size_t n = k + 1;
    const auto objective = [&](const std::vector<double>& p, int order) {
        SmoothValue result;
        result.gradient.assign(n, 0.0);
        result.hessian.assign(n * n, 0.0);
        const double m = std::exp(p[0]);
        for (std::size_t i = 0; i < k; ++i) {
            LikelihoodEvaluator likelihood(failing[i]->data, work, cancel);
            const LikelihoodDerivatives d = likelihood.evaluate(m, std::exp(p[i + 1]), 0, order);
            result.value += d.value;
            if (order < 1)
                continue;
            result.gradient[0] += d.gradient[0];
            result.gradient[i + 1] = d.gradient[1];
            result.hessian[0] += d.hessian[0][0];
            result.hessian[i + 1] = result.hessian[(i + 1) * n] = d.hessian[0][1];
            result.hessian[(i + 1) * n + i + 1] = d.hessian[1][1];
        }
        return result;
    };
    const AscentResult common = maximiseByNewton(objective, start);
    if (!common.converged) {
        test.note = "the common-shape fit did not converge";
        return test;
    }
    test.available = true;
    test.commonShape = std::exp(common.point[0]);
    // Both maxima are found to rounding level; a difference below 0 is that rounding.
    test.statistic = std::fmax(2 * (separate - common.at.value), 0.0);
    test.degreesOfFreedom = static_cast<double>(k - 1);
    test.pValue = chiSquarePValue(test.statistic, test.degreesOfFreedom);
    return test;
}

} // namespace lifedata
