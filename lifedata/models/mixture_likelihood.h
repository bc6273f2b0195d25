// The log-likelihood of a mixture of two populations of one two-parameter family: a unit comes from
// the first with probability p, so each record's term is ln(p T1 + (1 - p) T2), T being the
// component's density, survival or interval probability. The coordinates are
// (logit p, the first component's, the second component's), five in all, so that every point of
// them is a valid model and p never leaves (0, 1).
#pragma once

#include <cstddef>

#include "analysis_cancellation.h"
#include "chunked_work.h"
#include "distribution.h"
#include "weibull_likelihood.h"

namespace lifedata {

constexpr std::size_t mixtureParameters = 5;

// ln p and ln(1 - p) from logit p, exact in both tails.
double logWeightOfFirst(double logitP);
double logWeightOfSecond(double logitP);

// A value with derivatives in the five coordinates, filled up to the order asked for.
struct MixtureTerms {
    double value = 0;
    double gradient[mixtureParameters] = {};
    double hessian[mixtureParameters][mixtureParameters] = {};
};

// ln(p e^{A1} + (1 - p) e^{A2}) of the components' terms A1 and A2 (each with derivatives in its own
// two coordinates), with derivatives in (logit p, q1, q2). -infinity where both terms are.
MixtureTerms combineComponents(const PointTerms& first, const PointTerms& second, double logitP, int order);

// What one EM step needs: the log-likelihood, and for each component its expected units and
// failures, and the gradient and Hessian of its expected log-likelihood (each record's term weighted
// by the probability that the unit belongs to it), all at the current point.
struct ExpectationSums {
    double logLikelihood = 0;
    double units[2] = {};
    double failures[2] = {};
    double gradient[2][2] = {};
    double hessian[2][2][2] = {};
};

// Evaluates the mixture over one prepared data set; sums run in one fixed order for any number of
// threads, and a count gives the same bits as its units written one per line. Not for two threads
// at once.
class MixtureLikelihood {
public:
    MixtureLikelihood(const PreparedData& data, const Distribution& component, ChunkedWork& work,
                      CancelFlag cancel = nullptr)
        : data_(data), component_(component), work_(work), cancel_(cancel)
    {
    }

    MixtureTerms evaluate(const double* theta, int order) const;
    ExpectationSums expectation(const double* theta) const;
    const PreparedData& data() const { return data_; }
    const Distribution& component() const { return component_; }

private:
    std::size_t records() const;
    // The component's term of record i (failures, then suspensions, then intervals) at q.
    PointTerms recordTerm(std::size_t i, const double* q, int order) const;
    bool isFailureRecord(std::size_t i) const;
    double recordCount(std::size_t i) const;

    const PreparedData& data_;
    const Distribution& component_;
    ChunkedWork& work_;
    CancelFlag cancel_;
};

} // namespace lifedata
