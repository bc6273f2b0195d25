// Two-parameter maxima: the profile equation in m without intervals, and with intervals Newton's
// method in (ln m, ln eta), its step shortened (and, where the likelihood is not concave, bent toward
// the gradient) until the likelihood rises.
#include "two_parameter_search.h"

#include <algorithm>
#include <cmath>

namespace lifedata {

namespace {

constexpr int maximumIterations = 200;
constexpr double largestStep = 2; // in ln m and ln eta

// The Newton step for the upper-left 2x2 of the Hessian, with -H made positive definite by adding
// lambda I where it is not. `lambda` receives what was added.
void dampedNewtonStep(const LikelihoodDerivatives& d, double step[2], double& lambda)
{
    const double a00 = -d.hessian[0][0], a01 = -d.hessian[0][1], a11 = -d.hessian[1][1];
    lambda = 0;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const double b00 = a00 + lambda, b11 = a11 + lambda;
        const double det = b00 * b11 - a01 * a01;
        if (b00 > 0 && det > 0) {
            step[0] = (b11 * d.gradient[0] - a01 * d.gradient[1]) / det;
            step[1] = (b00 * d.gradient[1] - a01 * d.gradient[0]) / det;
            return;
        }
        lambda = std::max(2 * lambda, 1e-3 * (std::fabs(a00) + std::fabs(a11)) + 1e-12);
    }
    // Only a Hessian that is not finite gets here: no step, and the search ends unconverged.
    step[0] = step[1] = NAN;
}

} // namespace

TwoParameterSearch::TwoParameterSearch(const PreparedData& data, ChunkedWork& work)
    : data_(data), work_(work), profile_(data, work), evaluator_(data, work), x1_(smallestFailure(data))
{
}

// Far from the last location the solution there is a worse start than a guess from the data: the
// shape grows about in proportion to x1 - gamma.
bool TwoParameterSearch::lastIsNear(double gamma) const
{
    return haveLast_ && std::fabs(gamma - lastGamma_) <= 0.1 * (x1_ - gamma);
}

void TwoParameterSearch::remember(double gamma, const TwoParameterSolution& solution)
{
    haveLast_ = solution.converged;
    lastGamma_ = gamma;
    lastM_ = solution.m;
    lastEta_ = solution.eta;
}

TwoParameterSolution TwoParameterSearch::solve(double gamma, double tolerance)
{
    if (!data_.intervalLower.empty())
        return solveWithIntervals(gamma, tolerance);
    profile_.setLocation(gamma);
    const ShapeSolution s = profile_.solve(lastIsNear(gamma) ? lastM_ : profile_.startingShape(), tolerance);
    const TwoParameterSolution solution{s.converged, s.m, s.eta, s.logLikelihood, s.iterations};
    remember(gamma, solution);
    return solution;
}

// A start for data with intervals: each interval taken as a failure in its middle (of the part
// above gamma), solved by the profile equation.
void TwoParameterSearch::startFromMidpoints(double gamma, double& m, double& eta)
{
    LifeData proxy;
    auto add = [&](double t, State state, double count) {
        proxy.values.push_back(t);
        proxy.upper.push_back(t);
        proxy.states.push_back(state);
        proxy.counts.push_back(static_cast<std::uint32_t>(std::min(count, double(maximumCount))));
    };
    for (std::size_t i = 0; i < data_.failureTimes.size(); ++i)
        add(data_.failureTimes[i], State::failure, data_.failureCounts[i]);
    for (std::size_t i = 0; i < data_.suspensionTimes.size(); ++i)
        add(data_.suspensionTimes[i], State::suspension, data_.suspensionCounts[i]);
    for (std::size_t i = 0; i < data_.intervalLower.size(); ++i)
        add((std::max(data_.intervalLower[i], gamma) + data_.intervalUpper[i]) / 2, State::failure,
            data_.intervalCounts[i]);
    const PreparedData prepared = prepareLifeData(proxy);
    ShapeProfile profile(prepared, work_);
    profile.setLocation(gamma);
    const ShapeSolution s = profile.solve(profile.startingShape(), 1e-6);
    m = s.m > 0 && std::isfinite(s.m) ? s.m : 1;
    eta = s.eta > 0 && std::isfinite(s.eta) ? s.eta : data_.largestTime - gamma;
}

TwoParameterSolution TwoParameterSearch::solveWithIntervals(double gamma, double tolerance)
{
    double m, eta;
    if (lastIsNear(gamma)) {
        m = lastM_;
        eta = lastEta_;
    } else {
        startFromMidpoints(gamma, m, eta);
    }
    double a = std::log(m), b = std::log(eta);
    LikelihoodDerivatives current = evaluator_.evaluate(m, eta, gamma, 2);
    TwoParameterSolution solution;
    for (int iteration = 1; iteration <= maximumIterations; ++iteration) {
        double step[2], lambda;
        dampedNewtonStep(current, step, lambda);
        const double size = std::max(std::fabs(step[0]), std::fabs(step[1]));
        if (!std::isfinite(size))
            break;
        if (lambda == 0 && size <= tolerance && std::isfinite(current.value)) {
            solution = {true, std::exp(a), std::exp(b), current.value, iteration};
            remember(gamma, solution);
            return solution;
        }
        const double scale = size > largestStep ? largestStep / size : 1;
        bool accepted = false;
        // Rounding leaves the likelihood flat to a few units in its last place near the maximum; a
        // full Newton step there is taken even when it does not rise.
        const double slack = lambda == 0 && size < 1e-6 ? 1e-14 * (1 + std::fabs(current.value)) : 0;
        for (double t = scale; t > 1e-12; t /= 2) {
            const double ta = a + t * step[0], tb = b + t * step[1];
            const LikelihoodDerivatives trial = evaluator_.evaluate(std::exp(ta), std::exp(tb), gamma, 2);
            if (trial.value >= current.value - slack) {
                a = ta;
                b = tb;
                current = trial;
                accepted = true;
                break;
            }
        }
        if (!accepted)
            break;
    }
    solution.iterations = maximumIterations;
    remember(gamma, solution);
    return solution;
}

} // namespace lifedata
