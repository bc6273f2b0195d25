// The log-likelihood of prepared life data under any distribution: a failure adds ln f(t), a
// suspension ln S(t), an interval (a, b] ln(S(a) - S(b)), each times its count, with the gradient
// and Hessian in the distribution's fit coordinates p. The sums run in one fixed order, the same for
// every number of threads, and a count gives the same bits as its units written line by line.
#pragma once

#include "analysis_cancellation.h"
#include "chunked_work.h"
#include "distribution.h"
#include "weibull_likelihood.h"

namespace lifedata {

// Evaluates the likelihood many times over one data set with one set of helper threads; what a fit
// uses. Not for use by two threads at once. With a cancel flag, every evaluation first throws
// AnalysisCancelled when it is set.
class DistributionLikelihood {
public:
    DistributionLikelihood(const Distribution& distribution, const PreparedData& data, ChunkedWork& work,
                           CancelFlag cancel = nullptr)
        : distribution_(distribution), data_(data), work_(work), cancel_(cancel)
    {
    }
    // -infinity where a failure or an interval lies outside the support.
    PointTerms evaluate(const double* p, int order);

private:
    const Distribution& distribution_;
    const PreparedData& data_;
    ChunkedWork& work_;
    CancelFlag cancel_;
};

// One evaluation with its own helper threads.
PointTerms distributionLikelihood(const Distribution& distribution, const PreparedData& data, const double* p,
                                  int order, const FitSettings& settings);

} // namespace lifedata
