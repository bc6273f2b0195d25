// The accelerated life fit: the records grouped by stress, the likelihood as the sum of each
// group's Weibull likelihood at its own scale eta = exp(a + b x) (x is constant within a group, so
// the chain rule applies to the group's sums), and Newton's method on (ln m, a, b) from a start
// taken from the stresses' own fits.
#include "accelerated_life.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common_shape_test.h"
#include "newton_maximum.h"

namespace lifedata {

const char* const tooFewStressesText = "an accelerated model needs failures at two or more stresses";

double stressVariable(StressModel model, bool celsius, double stress)
{
    switch (model) {
    case StressModel::arrhenius:
        return 1 / (celsius ? stress + 273.15 : stress);
    case StressModel::power:
        return std::log(stress);
    case StressModel::exponential:
        break;
    }
    return stress;
}

namespace {

LifeData recordsAt(const LifeData& data, const std::vector<std::size_t>& order, std::size_t begin, std::size_t end)
{
    LifeData group;
    for (std::size_t k = begin; k < end; ++k) {
        const std::size_t i = order[k];
        group.values.push_back(data.values[i]);
        group.upper.push_back(data.upper[i]);
        group.states.push_back(data.states[i]);
        group.counts.push_back(data.counts[i]);
    }
    return group;
}

// A stress's own fit; data with a single failure time has none (its likelihood has no maximum).
WeibullFit ownFit(const PreparedData& data, const FitSettings& settings)
{
    if (data.failureUnits == 0)
        return withStatus(FitStatus::notFitted);
    try {
        return fitTwoParameter(data, 0, settings);
    } catch (const DataError&) {
        return withStatus(FitStatus::tooFewFailures);
    }
}

std::size_t recordCount(const std::vector<StressGroup>& groups)
{
    std::size_t records = 0;
    for (const StressGroup& g : groups)
        records += g.data.failureTimes.size() + g.data.suspensionTimes.size() + g.data.intervalLower.size();
    return records;
}

// The scale of exponential-like data at shape m: (sum of t^m over every unit / failures)^(1/m), an
// interval at its upper end. A start for a stress without a fit of its own.
double roughScale(const PreparedData& data, double m)
{
    double sum = 0;
    const auto add = [&](const std::vector<double>& times, const std::vector<double>& counts) {
        for (std::size_t i = 0; i < times.size(); ++i)
            sum += counts[i] * std::pow(times[i], m);
    };
    add(data.failureTimes, data.failureCounts);
    add(data.suspensionTimes, data.suspensionCounts);
    add(data.intervalUpper, data.intervalCounts);
    return std::pow(sum / data.failureUnits, 1 / m);
}

// (ln m, a, b): ln m the failure-weighted mean of the stresses' own fits, (a, b) the weighted least
// squares line of their ln eta on x.
std::vector<double> startingPoint(const std::vector<StressGroup>& groups)
{
    double weight = 0, lnM = 0;
    for (const StressGroup& g : groups) {
        if (g.fit.status == FitStatus::ok) {
            weight += g.data.failureUnits;
            lnM += g.data.failureUnits * std::log(g.fit.m);
        }
    }
    lnM = weight > 0 ? lnM / weight : 0;
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const StressGroup& g : groups) {
        if (g.data.failureUnits == 0)
            continue;
        const double y = g.fit.status == FitStatus::ok ? std::log(g.fit.eta) : std::log(roughScale(g.data, std::exp(lnM)));
        const double w = g.data.failureUnits;
        sw += w;
        sx += w * g.x;
        sy += w * y;
        sxx += w * g.x * g.x;
        sxy += w * g.x * y;
    }
    const double xMean = sx / sw, yMean = sy / sw;
    const double b = (sxy - sw * xMean * yMean) / (sxx - sw * xMean * xMean);
    return {lnM, yMean - b * xMean, b};
}

} // namespace

std::vector<StressGroup> groupByStress(const LifeData& data, StressModel model, bool celsius, const FitSettings& settings)
{
    std::vector<std::size_t> order(data.values.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return data.stresses[i] < data.stresses[j]; });
    std::vector<StressGroup> groups;
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin;
        while (end < order.size() && data.stresses[order[end]] == data.stresses[order[begin]])
            ++end;
        const LifeData records = recordsAt(data, order, begin, end);
        StressGroup group;
        group.stress = data.stresses[order[begin]];
        group.x = stressVariable(model, celsius, group.stress);
        group.data = prepareLifeData(records, settings);
        const DataSummary summary = summarizeLifeData(records);
        group.units = summary.units;
        group.failures = summary.failures + summary.intervals;
        group.fit = ownFit(group.data, settings);
        groups.push_back(std::move(group));
        begin = end;
    }
    return groups;
}

double AcceleratedLikelihood::evaluate(const double (&q)[3], int order, double (&gradient)[3],
                                       double (&hessian)[3][3]) const
{
    double value = 0;
    gradient[0] = gradient[1] = gradient[2] = 0;
    for (auto& row : hessian)
        row[0] = row[1] = row[2] = 0;
    const double m = std::exp(q[0]);
    for (const StressGroup& g : *groups) {
        LikelihoodEvaluator likelihood(g.data, *work, cancel);
        const LikelihoodDerivatives d = likelihood.evaluate(m, std::exp(q[1] + q[2] * g.x), 0, order);
        value += d.value;
        if (order < 1)
            continue;
        // ln eta = a + b x: d/da = d/d ln eta, d/db = x d/d ln eta.
        const double x = g.x;
        gradient[0] += d.gradient[0];
        gradient[1] += d.gradient[1];
        gradient[2] += x * d.gradient[1];
        hessian[0][0] += d.hessian[0][0];
        hessian[0][1] += d.hessian[0][1];
        hessian[0][2] += x * d.hessian[0][1];
        hessian[1][1] += d.hessian[1][1];
        hessian[1][2] += x * d.hessian[1][1];
        hessian[2][2] += x * x * d.hessian[1][1];
    }
    hessian[1][0] = hessian[0][1];
    hessian[2][0] = hessian[0][2];
    hessian[2][1] = hessian[1][2];
    return value;
}

AcceleratedFit fitAcceleratedLife(std::vector<StressGroup> groups, StressModel model, bool celsius,
                                  const FitSettings& settings)
{
    const auto withFailures = std::count_if(groups.begin(), groups.end(),
                                            [](const StressGroup& g) { return g.data.failureUnits > 0; });
    if (withFailures < 2)
        throw DataError(tooFewStressesText);
    AcceleratedFit fit;
    fit.model = model;
    fit.celsius = celsius;
    fit.groups = std::move(groups);
    const std::unique_ptr<ChunkedWork> work = makeWork(recordCount(fit.groups), settings);
    const AcceleratedLikelihood likelihood{&fit.groups, work.get(), settings.cancel};
    const auto objective = [&](const std::vector<double>& point, int order) {
        const double q[3] = {point[0], point[1], point[2]};
        double gradient[3], hessian[3][3];
        SmoothValue result;
        result.value = likelihood.evaluate(q, order, gradient, hessian);
        result.gradient.assign(gradient, gradient + 3);
        for (const auto& row : hessian)
            result.hessian.insert(result.hessian.end(), row, row + 3);
        return result;
    };
    const AscentResult ascent = maximiseByNewton(objective, startingPoint(fit.groups));
    fit.iterations = ascent.iterations;
    fit.status = ascent.converged ? FitStatus::ok : FitStatus::notConverged;
    fit.statusText = fitStatusText(fit.status);
    if (ascent.converged) {
        fit.m = std::exp(ascent.point[0]);
        fit.a = ascent.point[1];
        fit.b = ascent.point[2];
        fit.logLikelihood = ascent.at.value;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                fit.hessian[i][j] = ascent.at.hessian[3 * i + j];
    }
    fit.commonShape = testCommonShape(fit.groups, *work, settings.cancel);
    return fit;
}

} // namespace lifedata
