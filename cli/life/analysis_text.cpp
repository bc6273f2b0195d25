// The text results of `varnel --mle`: one column per model, numbers in the report's scientific form.
#include "life/analysis_text.h"

#include <cmath>

#include "life/bounds_text.h"
#include "number_text.h"

namespace {

using lifedata::FitStatus;
using lifedata::WeibullFit;

constexpr std::size_t labelWidth = 19;
constexpr std::size_t columnWidth = 20;

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// A known shape without failures still has its m and gamma.
std::string valueText(const WeibullFit& fit, double value)
{
    const bool shown = fit.status == FitStatus::ok || (fit.status == FitStatus::zeroFailures && !std::isnan(value));
    return shown ? formatScientific(value, 12, 8) : "            -";
}

std::string row(const char* label, const std::string& two, const std::string& three, bool withThree)
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
            std::isfinite(point.logLikelihood) ? formatScientific(point.logLikelihood, 12, 8) : "   not evaluated";
        text += row(("  " + formatScientific(point.gamma, 12, 8)).c_str(), value, "", false);
    }
    return text;
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

std::string analysisText(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request)
{
    const lifedata::DataSummary& d = analysis.data;
    std::string text = "Data: " + unitsText(d.units, "unit", "units") + " on " + unitsText(d.lines, "line", "lines") +
                       ": " + unitsText(d.failures, "failure", "failures") + ", " +
                       unitsText(d.suspensions, "suspension", "suspensions") + ", " +
                       unitsText(d.intervals, "interval", "intervals") + "\n\n";

    const bool withThree = request.model != lifedata::ModelChoice::twoParameter;
    const WeibullFit& two = analysis.twoParameter;
    const WeibullFit& three = analysis.threeParameter.fit;
    text += row("Maximum likelihood", " two-parameter", " three-parameter", withThree);
    text += row(request.shape > 0 ? "m (known)" : "m", valueText(two, two.m), valueText(three, three.m), withThree);
    text += row("eta", valueText(two, two.eta), valueText(three, three.eta), withThree);
    text += row("gamma", valueText(two, two.gamma), valueText(three, three.gamma), withThree);
    text += row("t0 = eta^m", valueText(two, lifedata::fitT0(two)), valueText(three, lifedata::fitT0(three)), withThree);
    text += row("log-likelihood", valueText(two, two.logLikelihood), valueText(three, three.logLikelihood), withThree);
    text += "\n";
    text += "Two-parameter fit: " + two.statusText + "\n";
    if (withThree)
        text += "Three-parameter fit: " + three.statusText + "\n";
    if (three.status == FitStatus::noInteriorMaximum || three.status == FitStatus::noFiniteMaximum ||
        three.status == FitStatus::profileNotEvaluated)
        text += profileText(analysis.threeParameter.profile);

    const lifedata::LikelihoodRatioTest& lr = analysis.likelihoodRatio;
    if (lr.available)
        text += "Likelihood ratio 2 (l3 - l2) =" + formatScientific(lr.statistic, 12, 8) + ", p-value =" +
                formatScientific(lr.pValue, 12, 8) + " (approximate: chi-square, 1 degree of freedom)\n";
    return text + boundsText(analysis);
}
