// JSON of the bounds, in the layout scripts read:
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

} // namespace

void addInferenceJson(JsonObject& model, int depth, const ModelInference& inference)
{
    if (!inference.available)
        return;
    model.addNumber("confidence", inference.confidence);
    if (!inference.fisherNote.empty())
        model.add("fisherNote", jsonString(inference.fisherNote));
    if (!std::isnan(inference.etaLowerOneSided))
        model.addNumber("etaLowerOneSided", inference.etaLowerOneSided);

    JsonObject bounds(depth + 1);
    bounds.add("m", quantityJson(depth + 2, inference.m));
    bounds.add("eta", quantityJson(depth + 2, inference.eta));
    if (inference.threeParameter)
        bounds.add("gamma", quantityJson(depth + 2, inference.gamma));
    model.add("bounds", bounds.close());

    std::vector<std::string> bLives;
    for (const BLifeBounds& b : inference.bLives) {
        JsonObject object(depth + 2);
        object.addNumber("percent", b.percent);
        addBounds(object, depth + 2, b.bounds);
        bLives.push_back(object.close());
    }
    model.add("bLives", arrayJson(depth + 1, bLives));

    std::vector<std::string> reliabilities;
    for (const ReliabilityBounds& r : inference.reliability) {
        JsonObject object(depth + 2);
        object.addNumber("at", r.at);
        addBounds(object, depth + 2, r.bounds);
        if (r.at <= inference.gamma.estimate)
            object.add("note", jsonString("at or below gamma: no bounds"));
        reliabilities.push_back(object.close());
    }
    model.add("reliability", arrayJson(depth + 1, reliabilities));

    model.add("goodnessOfFit", goodnessOfFitJson(depth + 1, inference.goodnessOfFit));
}

} // namespace lifedata
