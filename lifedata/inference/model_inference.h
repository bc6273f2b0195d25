// What a fitted model says beyond its estimate: confidence bounds of its parameters, of B-lives and
// of reliabilities (Fisher matrix and likelihood ratio), and its goodness of fit.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "analysis_cancellation.h"
#include "confidence_interval.h"
#include "information_criteria.h"
#include "weibull_fit.h"
#include "weibull_moments.h"

namespace lifedata {

enum class BoundsChoice { none, fisher, likelihoodRatio, both };

// What to infer (the defaults are those of an analysis request).
struct InferenceRequest {
    double confidence;                 // two-sided, 0.5 to 0.9999
    std::vector<double> bLifePercents; // each above 0 and below 100
    std::vector<double> at;            // times of reliabilities
    BoundsChoice bounds;
    unsigned bootstrap;                // samples for the goodness-of-fit p-value; 0: none
    std::uint64_t seed;
    unsigned threads;                  // 0: one per hardware thread; never changes a result
    CancelFlag cancel = nullptr;       // see AnalysisRequest
};

// The largest bootstrap that can be asked for.
constexpr unsigned maximumBootstrapSamples = 1000000;

struct QuantityBounds {
    double estimate = 0;
    bool hasFisher = false;
    ConfidenceInterval fisher;
    bool hasLikelihoodRatio = false;
    ConfidenceInterval likelihoodRatio;
    bool hasChiSquare = false; // a known shape with failures and suspensions
    ConfidenceInterval chiSquare;
};

// A quantity with its estimate and no bounds yet.
inline QuantityBounds estimateOnly(double estimate)
{
    QuantityBounds bounds;
    bounds.estimate = estimate;
    return bounds;
}

struct BLifeBounds {
    double percent;
    QuantityBounds bounds;
};

struct ReliabilityBounds {
    double at;
    QuantityBounds bounds;
};

struct GoodnessOfFit {
    bool defined = false;
    std::string reason;             // why not, where not defined
    double andersonDarling = 0;
    double pValue = 0;              // NaN without a bootstrap (or without a usable refit)
    unsigned bootstrapSamples = 0;  // asked for
    unsigned failedRefits = 0;      // left out of the p-value: their refit had no interior maximum
    std::uint64_t seed = 0;
};

struct ModelInference {
    bool available = false;     // false where the model has no estimate: then nothing below is set
    bool maximumLikelihood = true; // false: rank regression, with estimates only (no bounds, no
                                   // goodness of fit, covariance or criteria)
    double confidence = 0;
    bool threeParameter = false;
    std::string fisherNote;     // why the Fisher bounds are missing or not to be trusted; empty if neither
    bool shapeFixed = false;    // m was given, not estimated: it has no bounds
    // With a known shape, failures and suspensions: the one-sided lower chi-square bound of eta at the
    // confidence (the Weibayes demonstration); NaN otherwise.
    double etaLowerOneSided = std::numeric_limits<double>::quiet_NaN();
    QuantityBounds m;
    QuantityBounds eta;
    QuantityBounds gamma;       // three parameters only
    std::vector<BLifeBounds> bLives;
    std::vector<ReliabilityBounds> reliability;
    GoodnessOfFit goodnessOfFit;

    // The covariance of (m, eta[, gamma]) from the observed information, by the delta method from
    // (ln m, ln eta[, gamma]); size 0 where the information is not positive definite.
    int covarianceSize = 0;
    double covariance[3][3] = {};
    InformationCriteria criteria{};
    DistributionSummary distribution{};
    // Two parameters only: m * C4(r)^3.5, NaN with its reason in words where it is not defined.
    double mReducedBias = std::numeric_limits<double>::quiet_NaN();
    std::string mReducedBiasText;
    // Non-empty where bounds exist but no estimate does (a known shape without failures): why the
    // covariance, criteria and summary above have no values.
    std::string withoutEstimate;
};

// The estimates of a model without its bounds: m, eta, gamma, B-lives and reliabilities, and the
// distribution's summary; what rank regression gives.
ModelInference estimatesOnly(const WeibullFit& fit, bool threeParameter, const InferenceRequest& request);

// The bounds and the goodness of fit of `fit` (a two-parameter fit at its gamma, or a three-parameter one).
ModelInference inferModel(const PreparedData& data, const WeibullFit& fit, bool threeParameter,
                          const InferenceRequest& request);

} // namespace lifedata
