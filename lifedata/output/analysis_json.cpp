// The JSON document of an analysis: numbers in their shortest round-trip form, null with the
// number's text beside it where JSON has none, a status in words for every model.
#include "analysis_json.h"

#include "distributions_json.h"
#include "competing_modes_json.h"
#include "inference_json.h"
#include "json_text.h"
#include "mixture_json.h"
#include "nonparametric_json.h"

namespace lifedata {

namespace {

std::string countText(std::uint64_t count) { return std::to_string(count); }

std::string dataJson(const DataSummary& data)
{
    JsonObject object(1);
    object.add("failures", countText(data.failures));
    object.add("suspensions", countText(data.suspensions));
    object.add("intervals", countText(data.intervals));
    object.add("units", countText(data.units));
    object.add("lines", countText(data.lines));
    return object.close();
}

// A fit without an estimate has null values and nothing else: its status says why. A known shape
// without failures still has its m and gamma. A regression has r^2 where a likelihood fit has its
// log-likelihood.
JsonObject fitObject(const WeibullFit& fit, bool regression)
{
    JsonObject object(1);
    const bool estimated = fit.status == FitStatus::ok;
    const bool given = estimated || fit.status == FitStatus::zeroFailures;
    object.addNumberOrNull("m", fit.m, given);
    object.addNumberOrNull("eta", fit.eta, estimated);
    object.addNumberOrNull("gamma", fit.gamma, given);
    object.addNumberOrNull("t0", fitT0(fit), estimated);
    if (regression)
        object.addNumberOrNull("rSquared", fit.rSquared, estimated);
    else
        object.addNumberOrNull("logLikelihood", fit.logLikelihood, estimated);
    object.add("status", jsonString(fit.statusText));
    return object;
}

std::string profileJson(const std::vector<ProfilePoint>& profile)
{
    std::string text = "[";
    for (std::size_t i = 0; i < profile.size(); ++i) {
        text += i == 0 ? "\n      " : ",\n      ";
        text += '[';
        text += jsonNumber(profile[i].gamma);
        text += ", ";
        text += jsonNumber(profile[i].logLikelihood);
        text += ']';
    }
    return text + (profile.empty() ? "]" : "\n    ]");
}

std::string likelihoodRatioJson(const LikelihoodRatioTest& test)
{
    if (!test.available)
        return "null";
    JsonObject object(1);
    object.addNumber("statistic", test.statistic);
    object.addNumber("pValue", test.pValue);
    object.add("note", jsonString("approximate: chi-square with 1 degree of freedom"));
    return object.close();
}

} // namespace

std::string dataSummaryJson(const DataSummary& data) { return dataJson(data); }

std::string analysisJson(const Analysis& analysis, const AnalysisRequest& request)
{
    const bool regression = request.method != EstimationMethod::mle;
    JsonObject root(0);
    root.add("method", jsonString(methodName(request.method)));
    root.add("data", dataJson(analysis.data));
    // A comparison of distributions is a document of its own: the Weibull models appear in it by name.
    if (!request.distributions.empty()) {
        root.add("distributions", distributionsJson(1, analysis.distributions));
        if (analysis.nonParametric)
            root.add("nonParametric", nonParametricJson(*analysis.nonParametric));
        return root.close() + "\n";
    }
    JsonObject two = fitObject(analysis.twoParameter, regression);
    if (request.shape > 0)
        two.add("shapeFixed", "true");
    addInferenceJson(two, 1, analysis.twoParameterInference);
    root.add("twoParameter", two.close());
    JsonObject three = fitObject(analysis.threeParameter.fit, regression);
    if (request.model != ModelChoice::twoParameter && !regression)
        three.add("profile", profileJson(analysis.threeParameter.profile));
    addInferenceJson(three, 1, analysis.threeParameterInference);
    root.add("threeParameter", three.close());
    if (!regression)
        root.add("likelihoodRatio", likelihoodRatioJson(analysis.likelihoodRatio));
    if (analysis.mixture.requested)
        root.add("mixture", mixtureJson(analysis.mixture, 1));
    if (analysis.nonParametric)
        root.add("nonParametric", nonParametricJson(*analysis.nonParametric));
    if (analysis.competingModes.choice != ModesChoice::none)
        addCompetingModesJson(root, analysis.competingModes);
    return root.close() + "\n";
}

} // namespace lifedata
