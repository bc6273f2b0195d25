// The text results of `varnel --life`: one column per model, numbers to about 6 significant digits.
#include "life/analysis_text.h"

#include <cmath>

#include "life/bounds_text.h"
#include "life/distributions_text.h"
#include "life/mixture_text.h"
#include "life/nonparametric_text.h"
#include "life/competing_modes_text.h"
#include "life/readable_number.h"
#include "life/text_columns.h"

namespace {

using lifedata::FitStatus;
using lifedata::ModelInference;
using lifedata::WeibullFit;

constexpr std::size_t labelWidth = 22;
constexpr std::size_t columnWidth = 20;

const char* const noValue = " -";

// A known shape without failures still has its m and gamma.
std::string valueText(const WeibullFit& fit, double value)
{
    const bool shown = fit.status == FitStatus::ok || (fit.status == FitStatus::zeroFailures && !std::isnan(value));
    return shown ? readableSigned(value) : noValue;
}

// A value of the inference, where there is one: NaN stands for a value with no number here.
std::string inferredText(const ModelInference& inference, double value)
{
    return inference.available && !std::isnan(value) ? readableSigned(value) : noValue;
}

std::string row(const std::string& label, const std::string& two, const std::string& three, bool withThree)
{
    std::string text = padded(label, labelWidth) + padded(two, columnWidth);
    if (withThree)
        text += three;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text + "\n";
}

std::string unitsText(std::uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Without a three-parameter estimate the profile shows how the likelihood runs.
std::string profileText(const std::vector<lifedata::ProfilePoint>& profile)
{
    std::string text = "\nProfile log-likelihood over gamma (the two-parameter maximum at each gamma):\n";
    text += row("  gamma", " log-likelihood", "", false);
    for (const lifedata::ProfilePoint& point : profile) {
        const std::string value =
            std::isfinite(point.logLikelihood) ? readableSigned(point.logLikelihood) : " not evaluated";
        text += row("  " + readableSigned(point.gamma), value, "", false);
    }
    return text;
}

// Rows of one value per model, taken from each model's inference.
class InferenceRows {
public:
    InferenceRows(const lifedata::Analysis& analysis, bool withThree)
        : two_(analysis.twoParameterInference), three_(analysis.threeParameterInference), withThree_(withThree)
    {
    }
    template <class Value>
    std::string operator()(const char* label, const Value& value) const
    {
        return row(label, inferredText(two_, value(two_)), inferredText(three_, value(three_)), withThree_);
    }

private:
    const ModelInference& two_;
    const ModelInference& three_;
    bool withThree_;
};

double standardError(const ModelInference& inference, int i)
{
    return i < inference.covarianceSize ? std::sqrt(inference.covariance[i][i]) : NAN;
}

double covariance(const ModelInference& inference, int i, int j)
{
    return i < inference.covarianceSize && j < inference.covarianceSize ? inference.covariance[i][j] : NAN;
}

std::string maximumLikelihoodRows(const InferenceRows& rows)
{
    std::string text = rows("se(m)", [](const ModelInference& i) { return standardError(i, 0); });
    text += rows("se(eta)", [](const ModelInference& i) { return standardError(i, 1); });
    text += rows("se(gamma)", [](const ModelInference& i) { return standardError(i, 2); });
    text += rows("cov(m, eta)", [](const ModelInference& i) { return covariance(i, 0, 1); });
    text += rows("cov(m, gamma)", [](const ModelInference& i) { return covariance(i, 0, 2); });
    text += rows("cov(eta, gamma)", [](const ModelInference& i) { return covariance(i, 1, 2); });
    text += rows("AIC", [](const ModelInference& i) { return i.criteria.aic; });
    text += rows("AICc", [](const ModelInference& i) { return i.criteria.aicc; });
    text += rows("BIC", [](const ModelInference& i) { return i.criteria.bic; });
    return text;
}

std::string distributionRows(const InferenceRows& rows)
{
    std::string text = rows("mean", [](const ModelInference& i) { return i.distribution.mean; });
    text += rows("median", [](const ModelInference& i) { return i.distribution.median; });
    text += rows("mode", [](const ModelInference& i) { return i.distribution.mode; });
    text += rows("variance", [](const ModelInference& i) { return i.distribution.variance; });
    return text;
}

const char* heading(lifedata::EstimationMethod method)
{
    switch (method) {
    case lifedata::EstimationMethod::rrx:
        return "Rank regression on X";
    case lifedata::EstimationMethod::rry:
        return "Rank regression on Y";
    case lifedata::EstimationMethod::mle:
        break;
    }
    return "Maximum likelihood";
}

std::string modelTable(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request, bool withThree)
{
    const bool mle = request.method == lifedata::EstimationMethod::mle;
    const WeibullFit& two = analysis.twoParameter;
    const WeibullFit& three = analysis.threeParameter.fit;
    const InferenceRows rows(analysis, withThree);
    std::string text = row(heading(request.method), " two-parameter", " three-parameter", withThree);
    text += row(request.shape > 0 ? "m (known)" : "m", valueText(two, two.m), valueText(three, three.m), withThree);
    if (mle) {
        const ModelInference& i = analysis.twoParameterInference;
        text += row("m reduced bias", inferredText(i, i.mReducedBias), noValue, withThree);
    }
    text += row("eta", valueText(two, two.eta), valueText(three, three.eta), withThree);
    text += row("gamma", valueText(two, two.gamma), valueText(three, three.gamma), withThree);
    text += row("t0 = eta^m", valueText(two, lifedata::fitT0(two)), valueText(three, lifedata::fitT0(three)), withThree);
    if (mle) {
        text += row("log-likelihood", valueText(two, two.logLikelihood), valueText(three, three.logLikelihood), withThree);
        text += maximumLikelihoodRows(rows);
    } else {
        text += row("r^2", valueText(two, two.rSquared), valueText(three, three.rSquared), withThree);
    }
    return text + distributionRows(rows);
}

} // namespace

// Each fitted model's bounds and goodness of fit, after the table of both.
std::string boundsText(const lifedata::Analysis& analysis)
{
    std::string text;
    if (analysis.twoParameterInference.available)
        text += "\nTwo-parameter model\n" + inferenceText(analysis.twoParameterInference);
    if (analysis.threeParameterInference.available)
        text += "\nThree-parameter model\n" + inferenceText(analysis.threeParameterInference);
    return text;
}

std::string dataSummaryText(const lifedata::DataSummary& d)
{
    return "Data: " + unitsText(d.units, "unit", "units") + " on " + unitsText(d.lines, "line", "lines") + ": " +
           unitsText(d.failures, "failure", "failures") + ", " + unitsText(d.suspensions, "suspension", "suspensions") +
           ", " + unitsText(d.intervals, "interval", "intervals") + "\n";
}

std::string analysisText(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request)
{
    std::string text = dataSummaryText(analysis.data) + "\n";
    if (!request.distributions.empty())
        return text + distributionsText(analysis.distributions) + nonParametricText(analysis, request);

    const bool withThree = request.model != lifedata::ModelChoice::twoParameter;
    const WeibullFit& two = analysis.twoParameter;
    const WeibullFit& three = analysis.threeParameter.fit;
    text += modelTable(analysis, request, withThree);
    text += "\n";
    text += "Two-parameter fit: " + two.statusText + "\n";
    if (withThree)
        text += "Three-parameter fit: " + three.statusText + "\n";
    const bool mle = request.method == lifedata::EstimationMethod::mle;
    if (mle && (three.status == FitStatus::noInteriorMaximum || three.status == FitStatus::noFiniteMaximum ||
                three.status == FitStatus::profileNotEvaluated))
        text += profileText(analysis.threeParameter.profile);

    const lifedata::LikelihoodRatioTest& lr = analysis.likelihoodRatio;
    if (lr.available)
        text += "Likelihood ratio 2 (l3 - l2) = " + readableNumber(lr.statistic) + ", p-value = " +
                readableNumber(lr.pValue) + " (approximate: chi-square, 1 degree of freedom)\n";
    if (!mle)
        text += "Rank regression gives estimates only: the bounds are given by --method mle.\n";
    text += boundsText(analysis);
    if (analysis.mixture.requested)
        text += mixtureText(analysis.mixture);
    return text + competingModesText(analysis.competingModes) + nonParametricText(analysis, request);
}
