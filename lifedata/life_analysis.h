// One life-data analysis: the data summary, the fits asked for and their comparison.
#pragma once

#include <optional>

#include "analysis_cancellation.h"
#include "distribution_result.h"
#include "competing_modes.h"
#include "life_data.h"
#include "mixture_analysis.h"
#include "model_inference.h"
#include "nonparametric_estimate.h"
#include "weibull_fit.h"

namespace lifedata {

enum class ModelChoice { both, twoParameter, threeParameter };

// The most threads an analysis starts: each is a real thread, and the sums gain nothing from more.
constexpr unsigned maximumThreads = 1024;

// Maximum likelihood, or median rank regression of x on y (rrx) or of y on x (rry).
enum class EstimationMethod { mle, rrx, rry };

// "mle", "rrx" or "rry": the word the options and the JSON use. Inline, so that the option parser
// needs nothing of the analysis to name a method.
inline const char* methodName(EstimationMethod method)
{
    return method == EstimationMethod::rrx ? "rrx" : method == EstimationMethod::rry ? "rry" : "mle";
}

struct AnalysisRequest {
    EstimationMethod method = EstimationMethod::mle;
    ModelChoice model = ModelChoice::both;
    double gamma = 0;     // the fixed location of the two-parameter fit
    double shape = 0;     // above 0: m is known and only eta is fitted (then no three-parameter fit)
    ModesChoice modes = ModesChoice::none; // also each failure mode's fit and their series system
    unsigned threads = 0; // 0: one per hardware thread, at most maximumThreads; never changes a result
    bool mixture = false; // also a mixture of two Weibull populations (maximum likelihood, location 0)

    // Bounds and goodness of fit of each fitted model.
    double confidence = 0.95;                 // two-sided, 0.5 to 0.9999
    std::vector<double> bLifePercents{1, 10}; // each above 0 and below 100
    std::vector<double> at;                   // times of reliabilities
    BoundsChoice bounds = BoundsChoice::both;
    unsigned bootstrap = 0;                   // samples for the p-value of the goodness of fit
    std::uint64_t seed = 20240613;            // of the bootstrap, so that a run repeats exactly
    bool nonParametric = false;               // also the Kaplan-Meier or Turnbull estimate

    // Set from another thread, it stops the analysis with AnalysisCancelled between its stages, between
    // two likelihood evaluations of its bounds and between two bootstrap refits.
    CancelFlag cancel = nullptr;

    // Distributions to fit and rank by name (weibull2, lognormal3, ...); with any, the analysis is
    // their comparison alone.
    std::vector<std::string> distributions;
};

// 2 (l3 - l2) and its approximate chi-square (1 degree of freedom) p-value.
struct LikelihoodRatioTest {
    bool available = false;
    double statistic = std::numeric_limits<double>::quiet_NaN();
    double pValue = std::numeric_limits<double>::quiet_NaN();
};

struct Analysis {
    EstimationMethod method = EstimationMethod::mle;
    DataSummary data;
    WeibullFit twoParameter;
    ThreeParameterFit threeParameter;
    LikelihoodRatioTest likelihoodRatio;
    ModelInference twoParameterInference;   // available only where the model has an estimate
    ModelInference threeParameterInference;
    std::optional<NonParametricEstimate> nonParametric; // when the request asked for it
    std::vector<DistributionResult> distributions; // in rank order, those without an estimate last
    MixtureAnalysis mixture; // requested only with AnalysisRequest::mixture
    CompetingModes competingModes; // choice none unless the request asked for modes
};

// Validates the data and fits what was asked for. Throws DataError for data that cannot be analysed
// (for rank regression, also for data with intervals: "record N: " and regressionIntervalText), and
// AnalysisCancelled when request.cancel is set before the analysis ends.
Analysis analyseLifeData(const LifeData& data, const AnalysisRequest& request);

} // namespace lifedata
