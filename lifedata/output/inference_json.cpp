// JSON of the bounds, in the layout scripts read (rank regression has the estimates only):
//   "bounds": {"m": {"estimate": .., "fisher": {"lower": .., "upper": ..}, "likelihoodRatio": {..}}, ..}
//   "bLives": [{"percent": 10, "estimate": .., "fisher": {..}, "likelihoodRatio": {..}}, ..]
// A known shape has "chiSquare" bounds (or "likelihoodRatio" ones with intervals) and none of m.
#include "inference_json.h"

#include <cmath>
#include <string>
#include <vector>

namespace lifedata {

namespace {

void addSide(JsonObject& object, const char* key, const BoundSide& side)
{
    if (side.text.empty()) {
        object.addNumber(key, side.value);
        return;
    }
    object.add(key, jsonNumber(side.value));
    object.add((std::string(key) + "Text").c_str(), jsonString(side.text));
}

std::string intervalJson(int depth, const ConfidenceInterval& interval)
{
    JsonObject object(depth);
    addSide(object, "lower", interval.lower);
    addSide(object, "upper", interval.upper);
    return object.close();
}

void addBounds(JsonObject& object, int depth, const QuantityBounds& bounds)
{
    // Only a known shape without failures has no estimate; its model's status says so.
    if (std::isnan(bounds.estimate))
        object.add("estimate", "null");
    else
        object.addNumber("estimate", bounds.estimate);
    if (bounds.hasFisher)
        object.add("fisher", intervalJson(depth + 1, bounds.fisher));
    if (bounds.hasLikelihoodRatio)
        object.add("likelihoodRatio", intervalJson(depth + 1, bounds.likelihoodRatio));
    if (bounds.hasChiSquare)
        object.add("chiSquare", intervalJson(depth + 1, bounds.chiSquare));
}

std::string quantityJson(int depth, const QuantityBounds& bounds)
{
    JsonObject object(depth);
    addBounds(object, depth, bounds);
    return object.close();
}

std::string arrayJson(int depth, const std::vector<std::string>& elements)
{
    if (elements.empty())
        return "[]";
    const std::string indent(2 * (depth + 1), ' ');
    std::string text = "[\n";
    for (std::size_t i = 0; i < elements.size(); ++i)
        text += indent + elements[i] + (i + 1 < elements.size() ? ",\n" : "\n");
    return text + std::string(2 * depth, ' ') + "]";
}

std::string goodnessOfFitJson(int depth, const GoodnessOfFit& fit)
{
    JsonObject object(depth);
    if (!fit.defined) {
        object.add("andersonDarling", "null");
        object.add("andersonDarlingText", jsonString(fit.reason));
        return object.close();
    }
    object.addNumber("andersonDarling", fit.andersonDarling);
    if (fit.bootstrapSamples == 0) {
        object.add("pValue", "null");
        object.add("pValueText", jsonString("no bootstrap samples asked for"));
    } else if (std::isnan(fit.pValue)) {
        object.add("pValue", "null");
        object.add("pValueText", jsonString("no bootstrap refit had an interior maximum"));
    } else {
        object.addNumber("pValue", fit.pValue);
    }
    object.add("bootstrapSamples", std::to_string(fit.bootstrapSamples));
    object.add("failedRefits", std::to_string(fit.failedRefits));
    object.add("seed", std::to_string(fit.seed));
    return object.close();
}

const char* const parameterNames[3] = {"m", "eta", "gamma"};

// "standardErrors" and "covariance" in the order m, eta[, gamma]; null with the reason beside them
// where the information is not positive definite.
void addCovarianceJson(JsonObject& model, int depth, const ModelInference& inference)
{
    const int size = inference.covarianceSize;
    if (size == 0) {
        const std::string reason = jsonString("the observed information at the estimate is not positive definite");
        model.add("standardErrors", "null");
        model.add("standardErrorsText", reason);
        model.add("covariance", "null");
        model.add("covarianceText", reason);
        return;
    }
    JsonObject errors(depth + 1);
    for (int i = 0; i < size; ++i)
        errors.addNumber(parameterNames[i], std::sqrt(inference.covariance[i][i]));
    model.add("standardErrors", errors.close());
    std::vector<std::string> rows;
    for (int i = 0; i < size; ++i) {
        std::string row = "[";
        for (int j = 0; j < size; ++j)
            row += (j == 0 ? "" : ", ") + jsonNumber(inference.covariance[i][j]);
        rows.push_back(row + "]");
    }
    model.add("covariance", arrayJson(depth + 1, rows));
}

void addMaximumLikelihoodJson(JsonObject& model, int depth, const ModelInference& inference)
{
    addCovarianceJson(model, depth, inference);
    model.addNumber("aic", inference.criteria.aic);
    if (std::isnan(inference.criteria.aicc)) {
        model.add("aicc", "null");
        model.add("aiccText", jsonString("not defined for n <= k + 1 units"));
    } else {
        model.addNumber("aicc", inference.criteria.aicc);
    }
    model.addNumber("bic", inference.criteria.bic);
}

void addDistributionJson(JsonObject& model, const DistributionSummary& distribution)
{
    model.addNumber("mean", distribution.mean);
    model.addNumber("median", distribution.median);
    model.addNumber("mode", distribution.mode);
    model.addNumber("variance", distribution.variance);
}

// Every member that needs an estimate, null with the reason there is none.
void addWithoutEstimateJson(JsonObject& model, const std::string& reason)
{
    for (const char* key : {"standardErrors", "covariance", "aic", "aicc", "bic", "mean", "median", "mode", "variance",
                            "mReducedBias"}) {
        model.add(key, "null");
        model.add((std::string(key) + "Text").c_str(), jsonString(reason));
    }
}

} // namespace

std::string quantityBoundsJson(int depth, const QuantityBounds& bounds) { return quantityJson(depth, bounds); }

std::string parameterBoundsJson(int depth, const ModelInference& inference)
{
    JsonObject bounds(depth);
    bounds.add("m", quantityJson(depth + 1, inference.m));
    bounds.add("eta", quantityJson(depth + 1, inference.eta));
    if (inference.threeParameter)
        bounds.add("gamma", quantityJson(depth + 1, inference.gamma));
    return bounds.close();
}

std::string bLivesJson(int depth, const std::vector<BLifeBounds>& bLives)
{
    std::vector<std::string> elements;
    for (const BLifeBounds& b : bLives) {
        JsonObject object(depth + 1);
        object.addNumber("percent", b.percent);
        addBounds(object, depth + 1, b.bounds);
        elements.push_back(object.close());
    }
    return arrayJson(depth, elements);
}

std::string reliabilityJson(int depth, const std::vector<ReliabilityBounds>& reliability, double location)
{
    std::vector<std::string> elements;
    for (const ReliabilityBounds& r : reliability) {
        JsonObject object(depth + 1);
        object.addNumber("at", r.at);
        addBounds(object, depth + 1, r.bounds);
        if (r.at <= location)
            object.add("note", jsonString("at or below gamma: no bounds"));
        elements.push_back(object.close());
    }
    return arrayJson(depth, elements);
}

std::string elementsJson(int depth, const std::vector<std::string>& elements) { return arrayJson(depth, elements); }

void addInferenceJson(JsonObject& model, int depth, const ModelInference& inference)
{
    if (!inference.available)
        return;
    if (inference.maximumLikelihood)
        model.addNumber("confidence", inference.confidence);
    if (!inference.fisherNote.empty())
        model.add("fisherNote", jsonString(inference.fisherNote));
    if (!std::isnan(inference.etaLowerOneSided))
        model.addNumber("etaLowerOneSided", inference.etaLowerOneSided);

    model.add("bounds", parameterBoundsJson(depth + 1, inference));
    model.add("bLives", bLivesJson(depth + 1, inference.bLives));
    model.add("reliability", reliabilityJson(depth + 1, inference.reliability, inference.gamma.estimate));

    if (!inference.maximumLikelihood) {
        addDistributionJson(model, inference.distribution);
        return;
    }
    model.add("goodnessOfFit", goodnessOfFitJson(depth + 1, inference.goodnessOfFit));
    if (!inference.withoutEstimate.empty()) {
        addWithoutEstimateJson(model, inference.withoutEstimate);
        return;
    }
    addMaximumLikelihoodJson(model, depth, inference);
    addDistributionJson(model, inference.distribution);
    if (inference.threeParameter)
        return;
    if (inference.mReducedBiasText.empty()) {
        model.addNumber("mReducedBias", inference.mReducedBias);
    } else {
        model.add("mReducedBias", "null");
        model.add("mReducedBiasText", jsonString(inference.mReducedBiasText));
    }
}

} // namespace lifedata
