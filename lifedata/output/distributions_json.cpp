// Each distribution in the same layout as a Weibull model's bounds, so that one script reads both.
#include "distributions_json.h"

#include <cmath>

#include "inference_json.h"
#include "json_text.h"

namespace lifedata {

namespace {

std::string distributionJson(int depth, const DistributionResult& result)
{
    JsonObject object(depth);
    const bool estimated = result.estimated;
    object.add("name", jsonString(result.name));
    JsonObject parameters(depth + 1);
    for (std::size_t i = 0; i < result.parameterNames.size(); ++i)
        parameters.addNumberOrNull(result.parameterNames[i].c_str(), result.parameters[i], estimated);
    object.add("parameters", parameters.close());
    object.addNumberOrNull("logLikelihood", result.logLikelihood, estimated);
    if (estimated && std::isnan(result.criteria.aicc)) {
        object.add("aicc", "null");
        object.add("aiccText", jsonString("not defined for n <= k + 1 units"));
    } else {
        object.addNumberOrNull("aicc", result.criteria.aicc, estimated);
    }
    object.addNumberOrNull("bic", result.criteria.bic, estimated);
    object.add("status", jsonString(result.status));
    object.add("rank", result.rank > 0 ? std::to_string(result.rank) : "null");
    const DistributionInference& inference = result.inference;
    if (!estimated || !inference.available) {
        object.add("bounds", "null");
        object.add("bLives", "null");
        object.add("reliability", "null");
        return object.close();
    }
    if (!inference.fisherNote.empty())
        object.add("fisherNote", jsonString(inference.fisherNote));
    JsonObject bounds(depth + 1);
    for (std::size_t i = 0; i < result.parameterNames.size(); ++i)
        bounds.add(result.parameterNames[i].c_str(), quantityBoundsJson(depth + 2, inference.parameters[i]));
    object.add("bounds", bounds.close());
    object.add("bLives", bLivesJson(depth + 1, inference.bLives));
    object.add("reliability", reliabilityJson(depth + 1, inference.reliability, result.location));
    return object.close();
}

} // namespace

std::string distributionsJson(int depth, const std::vector<DistributionResult>& distributions)
{
    if (distributions.empty())
        return "[]";
    const std::string indent(2 * (depth + 1), ' ');
    std::string text = "[\n";
    for (std::size_t i = 0; i < distributions.size(); ++i)
        text += indent + distributionJson(depth + 1, distributions[i]) + (i + 1 < distributions.size() ? ",\n" : "\n");
    return text + std::string(2 * depth, ' ') + "]";
}

} // namespace lifedata
