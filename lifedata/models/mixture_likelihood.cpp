// The two-population mixture's log-likelihood, formed from the component family's per-record terms
// so that no family's formulas are written twice. Each record's mixture term is a log-sum-exp of
// the components' weighted terms; its derivatives follow from those of ln(sum of exponentials):
// the gradient is the posterior-weighted gradient, the Hessian the weighted Hessians plus the
// weighted outer products, less the outer product of the gradient.
#include "mixture_likelihood.h"

#include <cmath>
#include <limits>

#include "chunk_sums.h"

namespace lifedata {

double logWeightOfFirst(double logitP)
{
    return logitP >= 0 ? -std::log1p(std::exp(-logitP)) : logitP - std::log1p(std::exp(logitP));
}

double logWeightOfSecond(double logitP) { return logWeightOfFirst(-logitP); }

namespace {

// The log-weight's derivatives in logit p: d ln p = 1 - p, d ln(1 - p) = -p, both second ones -p(1 - p).
struct Component {
    const PointTerms& terms;
    double logWeight;
    double weightSlope;
    std::size_t offset; // where its two coordinates sit among the five
};

} // namespace

MixtureTerms combineComponents(const PointTerms& first, const PointTerms& second, double logitP, int order)
{
    MixtureTerms total;
    const double p = std::exp(logWeightOfFirst(logitP));
    const double q = std::exp(logWeightOfSecond(logitP));
    const Component components[2] = {{first, logWeightOfFirst(logitP), q, 1}, {second, logWeightOfSecond(logitP), -p, 3}};
    const double a1 = components[0].logWeight + first.value;
    const double a2 = components[1].logWeight + second.value;
    const double top = a1 > a2 ? a1 : a2;
    if (top == -std::numeric_limits<double>::infinity()) {
        total.value = top;
        return total;
    }
    total.value = top + std::log(std::exp(a1 - top) + std::exp(a2 - top));
    if (order == 0)
        return total;
    const double posterior[2] = {std::exp(a1 - total.value), std::exp(a2 - total.value)};
    double slope[2][mixtureParameters] = {};
    for (int k = 0; k < 2; ++k) {
        const Component& c = components[k];
        slope[k][0] = c.weightSlope;
        slope[k][c.offset] = c.terms.gradient[0];
        slope[k][c.offset + 1] = c.terms.gradient[1];
        if (posterior[k] == 0)
            continue; // a term that carries no weight must not bring its infinities in
        for (std::size_t i = 0; i < mixtureParameters; ++i)
            total.gradient[i] += posterior[k] * slope[k][i];
    }
    if (order == 1)
        return total;
    for (int k = 0; k < 2; ++k) {
        if (posterior[k] == 0)
            continue;
        const Component& c = components[k];
        double curvature[mixtureParameters][mixtureParameters] = {};
        curvature[0][0] = -p * q;
        for (std::size_t i = 0; i < 2; ++i)
            for (std::size_t j = 0; j < 2; ++j)
                curvature[c.offset + i][c.offset + j] = c.terms.hessian[i][j];
        for (std::size_t i = 0; i < mixtureParameters; ++i)
            for (std::size_t j = 0; j < mixtureParameters; ++j)
                total.hessian[i][j] += posterior[k] * (curvature[i][j] + slope[k][i] * slope[k][j]);
    }
    for (std::size_t i = 0; i < mixtureParameters; ++i)
        for (std::size_t j = 0; j < mixtureParameters; ++j)
            total.hessian[i][j] -= total.gradient[i] * total.gradient[j];
    return total;
}

namespace {

struct TermSums {
    MixtureTerms terms;

    void add(const TermSums& other)
    {
        terms.value += other.terms.value;
        for (std::size_t i = 0; i < mixtureParameters; ++i) {
            terms.gradient[i] += other.terms.gradient[i];
            for (std::size_t j = 0; j < mixtureParameters; ++j)
                terms.hessian[i][j] += other.terms.hessian[i][j];
        }
    }
};

struct ExpectationPartial {
    ExpectationSums sums;

    void add(const ExpectationPartial& other)
    {
        ExpectationSums& s = sums;
        const ExpectationSums& o = other.sums;
        s.logLikelihood += o.logLikelihood;
        for (int k = 0; k < 2; ++k) {
            s.units[k] += o.units[k];
            s.failures[k] += o.failures[k];
            for (int i = 0; i < 2; ++i) {
                s.gradient[k][i] += o.gradient[k][i];
                for (int j = 0; j < 2; ++j)
                    s.hessian[k][i][j] += o.hessian[k][i][j];
            }
        }
    }
};

} // namespace

std::size_t MixtureLikelihood::records() const
{
    return data_.failureTimes.size() + data_.suspensionTimes.size() + data_.intervalLower.size();
}

bool MixtureLikelihood::isFailureRecord(std::size_t i) const { return i < data_.failureTimes.size() || i >= data_.failureTimes.size() + data_.suspensionTimes.size(); }

double MixtureLikelihood::recordCount(std::size_t i) const
{
    const std::size_t failures = data_.failureTimes.size();
    const std::size_t suspensions = data_.suspensionTimes.size();
    if (i < failures)
        return data_.failureCounts[i];
    if (i < failures + suspensions)
        return data_.suspensionCounts[i - failures];
    return data_.intervalCounts[i - failures - suspensions];
}

PointTerms MixtureLikelihood::recordTerm(std::size_t i, const double* q, int order) const
{
    const std::size_t failures = data_.failureTimes.size();
    const std::size_t suspensions = data_.suspensionTimes.size();
    if (i < failures)
        return component_.logDensity(data_.failureTimes[i], q, order);
    if (i < failures + suspensions)
        return component_.logSurvival(data_.suspensionTimes[i - failures], q, order);
    const std::size_t j = i - failures - suspensions;
    return component_.logIntervalProbability(data_.intervalLower[j], data_.intervalUpper[j], q, order);
}

MixtureTerms MixtureLikelihood::evaluate(const double* theta, int order) const
{
    stopIfCancelled(cancel_);
    const TermSums total = sumInChunks<TermSums>(work_, 0, records(), [&](TermSums& sums, std::size_t i) {
        const MixtureTerms t = combineComponents(recordTerm(i, theta + 1, order), recordTerm(i, theta + 3, order),
                                                 theta[0], order);
        const double count = recordCount(i);
        sums.terms.value += count * t.value;
        for (std::size_t a = 0; a < mixtureParameters && order > 0; ++a) {
            sums.terms.gradient[a] += count * t.gradient[a];
            for (std::size_t b = 0; b < mixtureParameters && order > 1; ++b)
                sums.terms.hessian[a][b] += count * t.hessian[a][b];
        }
    });
    return total.terms;
}

ExpectationSums MixtureLikelihood::expectation(const double* theta) const
{
    stopIfCancelled(cancel_);
    const ExpectationPartial total =
        sumInChunks<ExpectationPartial>(work_, 0, records(), [&](ExpectationPartial& partial, std::size_t i) {
            const PointTerms terms[2] = {recordTerm(i, theta + 1, 2), recordTerm(i, theta + 3, 2)};
            const MixtureTerms t = combineComponents(terms[0], terms[1], theta[0], 0);
            const double count = recordCount(i);
            ExpectationSums& s = partial.sums;
            s.logLikelihood += count * t.value;
            const double logWeights[2] = {logWeightOfFirst(theta[0]), logWeightOfSecond(theta[0])};
            for (int k = 0; k < 2; ++k) {
                const double posterior = std::exp(logWeights[k] + terms[k].value - t.value);
                if (!(posterior > 0))
                    continue;
                const double weight = count * posterior;
                s.units[k] += weight;
                if (isFailureRecord(i))
                    s.failures[k] += weight;
                for (int a = 0; a < 2; ++a) {
                    s.gradient[k][a] += weight * terms[k].gradient[a];
                    for (int b = 0; b < 2; ++b)
                        s.hessian[k][a][b] += weight * terms[k].hessian[a][b];
                }
            }
        });
    return total.sums;
}

} // namespace lifedata
