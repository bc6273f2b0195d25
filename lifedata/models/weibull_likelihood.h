// The Weibull log-likelihood of life data with shape m, scale eta and location gamma, x = t - gamma:
// a failure adds ln f(x), a suspension ln R(x), an interval (a, b] ln(R(a) - R(b)), each times its
// count. Its first and second derivatives are in p = (ln m, ln eta, gamma).
#pragma once

#include <memory>
#include <vector>

#include "analysis_cancellation.h"
#include "chunked_work.h"
#include "life_data.h"

namespace lifedata {

// The data grouped by kind, each kind sorted ascending with equal records merged, so that a count
// and the same record written out line by line give the same sums to the bit.
struct PreparedData {
    std::vector<double> failureTimes;
    std::vector<double> failureCounts;
    std::vector<double> suspensionTimes;
    std::vector<double> suspensionCounts;
    std::vector<double> intervalLower;   // sorted by lower end, then upper end
    std::vector<double> intervalUpper;
    std::vector<double> intervalCounts;
    double failureUnits = 0;             // failures and intervals, counts included
    std::size_t distinctFailureTimes = 0; // failure times and interval upper ends
    double largestTime = 0;              // of every record, interval upper ends included
};


// x1: the smallest failure time, interval upper ends included; +infinity without failures.
double smallestFailure(const PreparedData& data);

// Every unit of the data, counts included: the n of the information criteria.
double unitCount(const PreparedData& data);

struct LikelihoodDerivatives {
    double value;
    double gradient[3];
    double hessian[3][3];
};

struct FitSettings {
    unsigned threads = 0; // threads, the caller's included; 0: one per hardware thread. Never changes a result.
    CancelFlag cancel = nullptr;
};

// Groups, sorts and merges validated records (an interval with equal ends is a failure). The
// result does not depend on the threads of `settings`.
PreparedData prepareLifeData(const LifeData& data, const FitSettings& settings = {});

// Helper threads for the work over a data set of `records` records: none for a small one,
// otherwise one fewer than `settings.threads` (the caller's thread works too).
std::unique_ptr<ChunkedWork> makeWork(std::size_t records, const FitSettings& settings);
// The same for the records of prepared data.
std::unique_ptr<ChunkedWork> makeWork(const PreparedData& data, const FitSettings& settings);

// Evaluates the likelihood many times over one data set with one set of helper threads; what a fit
// uses. Not for use by two threads at once. With a cancel flag, every evaluation first throws
// AnalysisCancelled when it is set: the searches that make the most evaluations then stop within one.
class LikelihoodEvaluator {
public:
    LikelihoodEvaluator(const PreparedData& data, ChunkedWork& work, CancelFlag cancel = nullptr)
        : data_(data), work_(work), cancel_(cancel)
    {
    }
    LikelihoodDerivatives evaluate(double m, double eta, double gamma, int order);

private:
    const PreparedData& data_;
    ChunkedWork& work_;
    CancelFlag cancel_;
};

// The log-likelihood (constants included) and, for order 1 and 2, its gradient and Hessian in
// (ln m, ln eta, gamma); what was not asked for is left 0. -infinity when a failure lies at or below
// gamma. The sums run in one fixed order, the same for every number of threads.
LikelihoodDerivatives evaluateLikelihood(const PreparedData& data, double m, double eta, double gamma, int order,
                                         const FitSettings& settings);

} // namespace lifedata
