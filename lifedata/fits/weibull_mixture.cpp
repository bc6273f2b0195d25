// The mixture search: every start runs EM (each step a closed-form weight and one safeguarded Newton
// step of each component's expected log-likelihood, kept only if the likelihood does not fall),
// then Newton on all five coordinates with a step that is shortened until the likelihood rises.
// A run counts only when it ends at a stationary point where the information is positive definite,
// with p inside (0, 1) and both shapes finite; a run whose shape or weight runs off is dropped.
#include "weibull_mixture.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "symmetric_matrix.h"

namespace lifedata {

const char* mixtureStatusText(MixtureStatus status)
{
    switch (status) {
    case MixtureStatus::ok:
        return "ok";
    case MixtureStatus::onePopulation:
        return "one population";
    case MixtureStatus::smallComponent:
        return "a component holds fewer than 2 failures";
    }
    return "one population";
}

namespace {

constexpr int emIterations = 200;
constexpr int newtonIterations = 200;
constexpr int halvings = 40;
constexpr double largestStep = 2;          // in the log and logit coordinates
constexpr double stationaryStep = 1e-9;    // a Newton step this small is the maximum's own point
constexpr double shapeLimit = 1e4;         // a shape beyond it runs off to infinity
constexpr double logitLimit = 30;          // p within 1e-13 of 0 or 1 has left the interior
constexpr double scaleRange = 30;          // ln eta this far from the data's times has run off

using Theta = std::vector<double>;

struct Run {
    bool proper = false;
    Theta theta;
    double logLikelihood = 0;
};

// The step x of -H x = g, made positive definite by a growing ridge where -H is not, and cut so
// that no coordinate moves by more than largestStep. Returns whether -H itself was positive definite.
bool ascentStep(const double* gradient, const SymmetricMatrix& hessian, std::size_t n, double* step)
{
    SymmetricMatrix a = {};
    double diagonal = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j)
            a[i][j] = -hessian[i][j];
        diagonal = std::max(diagonal, std::fabs(hessian[i][i]));
    }
    const bool definite = solvePositiveDefinite(a, n, gradient, step);
    bool solved = definite;
    double ridge = 1e-8 * (diagonal > 0 && std::isfinite(diagonal) ? diagonal : 1);
    for (int attempt = 0; !solved && attempt < 40; ++attempt, ridge *= 10) {
        SymmetricMatrix ridged = {};
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                ridged[i][j] = a[i][j] + (i == j ? ridge : 0);
        solved = solvePositiveDefinite(ridged, n, gradient, step);
    }
    double largest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!solved || !std::isfinite(step[i]))
            step[i] = 0;
        largest = std::max(largest, std::fabs(step[i]));
    }
    if (largest > largestStep)
        for (std::size_t i = 0; i < n; ++i)
            step[i] *= largestStep / largest;
    return definite;
}

class Search {
public:
    Search(const MixtureLikelihood& likelihood, double lnLargestTime)
        : likelihood_(likelihood), lnLargestTime_(lnLargestTime)
    {
    }

    Run run(Theta theta) const
    {
        Run run;
        if (!expectationMaximisation(theta))
            return run;
        return newton(theta);
    }

private:
    bool runOff(const Theta& theta) const
    {
        if (!(std::fabs(theta[0]) < logitLimit))
            return true;
        for (std::size_t k = 1; k < mixtureParameters; k += 2) {
            if (!(theta[k] < std::log(shapeLimit)) || !(std::fabs(theta[k + 1] - lnLargestTime_) < scaleRange))
                return true;
        }
        return false;
    }

    // False when the run left the interior.
    bool expectationMaximisation(Theta& theta) const
    {
        ExpectationSums current = likelihood_.expectation(theta.data());
        if (!std::isfinite(current.logLikelihood))
            return false;
        for (int iteration = 0; iteration < emIterations; ++iteration) {
            Theta target = theta;
            target[0] = std::log(current.units[0]) - std::log(current.units[1]);
            for (std::size_t k = 0; k < 2; ++k) {
                SymmetricMatrix h = {};
                for (std::size_t i = 0; i < 2; ++i)
                    for (std::size_t j = 0; j < 2; ++j)
                        h[i][j] = current.hessian[k][i][j];
                double step[2] = {0, 0};
                ascentStep(current.gradient[k], h, 2, step);
                target[1 + 2 * k] += step[0];
                target[2 + 2 * k] += step[1];
            }
            bool accepted = false;
            ExpectationSums trial;
            Theta point = target;
            for (int halving = 0; halving <= halvings && !accepted; ++halving) {
                const double f = std::ldexp(1.0, -halving);
                for (std::size_t i = 0; i < mixtureParameters; ++i)
                    point[i] = theta[i] + f * (target[i] - theta[i]);
                if (runOff(point))
                    return false;
                trial = likelihood_.expectation(point.data());
                accepted = trial.logLikelihood >= current.logLikelihood;
            }
            if (!accepted)
                return true;
            const double gain = trial.logLikelihood - current.logLikelihood;
            theta = point;
            current = trial;
            if (gain <= 1e-8 * (1 + std::fabs(current.logLikelihood)))
                return true;
        }
        return true;
    }

    Run newton(Theta theta) const
    {
        Run run;
        for (int iteration = 0; iteration < newtonIterations; ++iteration) {
            const MixtureTerms t = likelihood_.evaluate(theta.data(), 2);
            if (!std::isfinite(t.value))
                return run;
            SymmetricMatrix h = {};
            for (std::size_t i = 0; i < mixtureParameters; ++i)
                for (std::size_t j = 0; j < mixtureParameters; ++j)
                    h[i][j] = t.hessian[i][j];
            double step[mixtureParameters] = {};
            const bool definite = ascentStep(t.gradient, h, mixtureParameters, step);
            double largest = 0;
            for (double s : step)
                largest = std::max(largest, std::fabs(s));
            if (definite && largest < stationaryStep) {
                run.proper = true;
                run.theta = theta;
                run.logLikelihood = t.value;
                return run;
            }
            bool accepted = false;
            Theta point = theta;
            for (int halving = 0; halving <= halvings && !accepted; ++halving) {
                const double f = std::ldexp(1.0, -halving);
                for (std::size_t i = 0; i < mixtureParameters; ++i)
                    point[i] = theta[i] + f * step[i];
                if (runOff(point))
                    return run;
                accepted = likelihood_.evaluate(point.data(), 0).value > t.value;
            }
            if (!accepted) {
                // Rounding stops the climb: where the step is already tiny this is the maximum.
                if (definite && largest < 1e-6) {
                    run.proper = true;
                    run.theta = theta;
                    run.logLikelihood = t.value;
                }
                return run;
            }
            theta = point;
        }
        return run;
    }

    const MixtureLikelihood& likelihood_;
    double lnLargestTime_;
};

// The failure units in time order, an interval at its middle, as (time, units) with ties kept apart.
std::vector<std::pair<double, double>> orderedFailures(const PreparedData& data)
{
    std::vector<std::pair<double, double>> failures;
    for (std::size_t i = 0; i < data.failureTimes.size(); ++i)
        failures.push_back({data.failureTimes[i], data.failureCounts[i]});
    for (std::size_t i = 0; i < data.intervalLower.size(); ++i)
        failures.push_back({0.5 * (data.intervalLower[i] + data.intervalUpper[i]), data.intervalCounts[i]});
    std::stable_sort(failures.begin(), failures.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return failures;
}

// The numbers of failures below each split: every split up to 40 failures, otherwise the 5 %
// quantiles. A side of one failure is a start too: its run may end with a component of fewer than
// 2 failures, which is what the status then reports.
std::vector<double> splitPoints(double failures)
{
    std::vector<double> splits;
    if (failures <= 40) {
        for (double j = 1; j <= failures - 1; ++j)
            splits.push_back(j);
        return splits;
    }
    for (int k = 1; k < 20; ++k) {
        const double j = std::min(std::max(std::round(failures * k / 20), 1.0), failures - 1);
        if (splits.empty() || splits.back() != j)
            splits.push_back(j);
    }
    return splits;
}

// A Weibull's coordinates from the mean and spread of the log times of the failures in
// [from, to) of the ordered failure units: the smallest extreme value's moments.
void groupStart(const std::vector<std::pair<double, double>>& failures, double from, double to,
                const Distribution& component, double* q)
{
    double units = 0, sum = 0, squares = 0, seen = 0;
    for (const auto& [time, count] : failures) {
        const double take = std::max(0.0, std::min(seen + count, to) - std::max(seen, from));
        seen += count;
        if (take <= 0 || !(time > 0))
            continue;
        const double x = std::log(time);
        units += take;
        sum += take * x;
        squares += take * x * x;
    }
    const double mean = units > 0 ? sum / units : 0;
    const double spread = std::sqrt(std::max(squares / std::max(units, 1.0) - mean * mean, 0.0));
    const double m = 1.2825498301618641 / std::max(spread, 0.01);
    const double parameters[2] = {m, std::exp(mean + 0.5772156649015329 / m)};
    component.toCoordinates(parameters, q);
}

// Components by ascending eta, the first's weight as p.
void order(Theta& theta)
{
    if (theta[4] < theta[2]) {
        theta[0] = -theta[0];
        std::swap(theta[1], theta[3]);
        std::swap(theta[2], theta[4]);
    }
}

bool samePoint(const Run& a, const Run& b)
{
    if (!(std::fabs(a.logLikelihood - b.logLikelihood) <= 1e-7 * (1 + std::fabs(b.logLikelihood))))
        return false;
    for (std::size_t i = 0; i < mixtureParameters; ++i)
        if (!(std::fabs(a.theta[i] - b.theta[i]) <= 1e-4))
            return false;
    return true;
}

void describe(const MixtureLikelihood& likelihood, const Run& best, MixtureFit& fit)
{
    std::copy(best.theta.begin(), best.theta.end(), fit.theta);
    fit.logLikelihood = best.logLikelihood;
    fit.p = std::exp(logWeightOfFirst(best.theta[0]));
    for (std::size_t k = 0; k < 2; ++k) {
        double parameters[2];
        likelihood.component().fromCoordinates(&best.theta[1 + 2 * k], parameters);
        fit.m[k] = parameters[0];
        fit.eta[k] = parameters[1];
    }
    const MixtureTerms t = likelihood.evaluate(fit.theta, 2);
    for (std::size_t i = 0; i < mixtureParameters; ++i)
        for (std::size_t j = 0; j < mixtureParameters; ++j)
            fit.hessian[i][j] = t.hessian[i][j];
}

} // namespace

MixtureFit fitWeibullMixture(const PreparedData& data, const WeibullFit& one, const FitSettings& settings)
{
    const std::unique_ptr<Distribution> weibull = makeDistribution("weibull2");
    if (!weibull || weibull->parameterCount() != 2)
        throw std::logic_error("the mixture needs the two-parameter Weibull");
    const std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    const MixtureLikelihood likelihood(data, *weibull, *work, settings.cancel);
    const Search search(likelihood, std::log(data.largestTime));

    const auto failures = orderedFailures(data);
    MixtureFit fit;
    std::vector<Run> maxima;
    for (double split : splitPoints(data.failureUnits)) {
        Theta theta(mixtureParameters);
        theta[0] = std::log(split) - std::log(data.failureUnits - split);
        groupStart(failures, 0, split, *weibull, &theta[1]);
        groupStart(failures, split, data.failureUnits, *weibull, &theta[3]);
        ++fit.starts;
        Run run = search.run(theta);
        if (!run.proper)
            continue;
        order(run.theta);
        const ExpectationSums held = likelihood.expectation(run.theta.data());
        if (held.failures[0] < mixtureMinimumFailures || held.failures[1] < mixtureMinimumFailures) {
            fit.status = MixtureStatus::smallComponent;
            continue;
        }
        maxima.push_back(run);
    }
    fit.statusText = mixtureStatusText(fit.status);
    if (maxima.empty())
        return fit;
    const Run best = *std::max_element(maxima.begin(), maxima.end(), [](const Run& a, const Run& b) {
        return a.logLikelihood < b.logLikelihood;
    });
    if (!(best.logLikelihood - one.logLikelihood >= mixtureGainThreshold)) {
        fit.status = MixtureStatus::onePopulation;
        fit.statusText = mixtureStatusText(fit.status);
        return fit;
    }
    fit.status = MixtureStatus::ok;
    fit.statusText = mixtureStatusText(fit.status);
    for (const Run& run : maxima)
        fit.startsAtMaximum += samePoint(run, best);
    describe(likelihood, best, fit);
    const ExpectationSums held = likelihood.expectation(fit.theta);
    fit.expectedFailures[0] = held.failures[0];
    fit.expectedFailures[1] = held.failures[1];
    return fit;
}

} // namespace lifedata
