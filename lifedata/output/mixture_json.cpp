// The mixture as JSON, its bounds in the layout of the other models' ("estimate", "fisher"). Where
// no second population was found the object still has every member: p is 1 and the one component
// is the one-Weibull fit, so a script reads one shape whatever the status.
#include "mixture_json.h"

#include <cmath>
#include <vector>

#include "inference_json.h"
#include "json_text.h"

namespace lifedata {

namespace {

std::string componentJson(int depth, double m, double eta)
{
    JsonObject object(depth);
    object.addNumber("m", m);
    object.addNumber("eta", eta);
    return object.close();
}

void addCriteria(JsonObject& object, double logLikelihood, const InformationCriteria& criteria)
{
    object.addNumber("logLikelihood", logLikelihood);
    if (std::isnan(criteria.aicc)) {
        object.add("aicc", "null");
        object.add("aiccText", jsonString("not defined for n <= k + 1 units"));
    } else {
        object.addNumber("aicc", criteria.aicc);
    }
    object.addNumber("bic", criteria.bic);
}

std::string boundsJson(int depth, const MixtureInference& inference)
{
    JsonObject bounds(depth);
    bounds.add("p", quantityBoundsJson(depth + 1, inference.p));
    bounds.add("m1", quantityBoundsJson(depth + 1, inference.m[0]));
    bounds.add("eta1", quantityBoundsJson(depth + 1, inference.eta[0]));
    bounds.add("m2", quantityBoundsJson(depth + 1, inference.m[1]));
    bounds.add("eta2", quantityBoundsJson(depth + 1, inference.eta[1]));
    return bounds.close();
}

} // namespace

std::string mixtureJson(const MixtureAnalysis& mixture, int depth)
{
    const MixtureFit& fit = mixture.fit;
    const bool found = fit.status == MixtureStatus::ok;
    JsonObject object(depth);
    object.addNumber("p", found ? fit.p : 1);
    std::vector<std::string> components;
    if (found) {
        components.push_back(componentJson(depth + 2, fit.m[0], fit.eta[0]));
        components.push_back(componentJson(depth + 2, fit.m[1], fit.eta[1]));
    } else {
        components.push_back(componentJson(depth + 2, mixture.oneM, mixture.oneEta));
    }
    object.add("components", elementsJson(depth + 1, components));
    if (found)
        addCriteria(object, fit.logLikelihood, mixture.inference.criteria);
    else
        addCriteria(object, mixture.oneLogLikelihood, mixture.oneCriteria);
    object.add("status", jsonString(fit.statusText));
    object.add("starts", std::to_string(fit.starts));
    object.add("startsAtMaximum", std::to_string(fit.startsAtMaximum));
    if (!found) {
        const std::string reason = jsonString("one Weibull: its bounds are those of twoParameter");
        for (const char* key : {"bounds", "bLives", "reliability"}) {
            object.add(key, "null");
            object.add((std::string(key) + "Text").c_str(), reason);
        }
        return object.close();
    }
    if (!mixture.inference.fisherNote.empty())
        object.add("fisherNote", jsonString(mixture.inference.fisherNote));
    object.add("bounds", boundsJson(depth + 1, mixture.inference));
    object.add("bLives", bLivesJson(depth + 1, mixture.inference.bLives));
    object.add("reliability", reliabilityJson(depth + 1, mixture.inference.reliability, 0.0));
    return object.close();
}

} // namespace lifedata
