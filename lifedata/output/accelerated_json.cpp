// The "acceleratedLife" member: the model's estimates and bounds, each stress with its own fit,
// the common-shape test and the use stresses. A value without an estimate is null and the status
// says why.
#include "accelerated_json.h"

#include <cmath>

#include "analysis_json.h"
#include "inference_json.h"
#include "json_text.h"

namespace lifedata {

namespace {

std::string stressesJson(int depth, const std::vector<StressGroup>& groups)
{
    std::vector<std::string> elements;
    for (const StressGroup& g : groups) {
        JsonObject object(depth + 1);
        object.addNumber("stress", g.stress);
        object.add("units", std::to_string(g.units));
        object.add("failures", std::to_string(g.failures));
        const bool fitted = g.fit.status == FitStatus::ok;
        object.addNumberOrNull("eta", g.fit.eta, fitted);
        object.addNumberOrNull("m", g.fit.m, fitted);
        object.addNumberOrNull("logLikelihood", g.fit.logLikelihood, fitted);
        object.add("status", jsonString(g.failures == 0 ? "no failures" : g.fit.statusText));
        elements.push_back(object.close());
    }
    return elementsJson(depth, elements);
}

std::string commonShapeJson(int depth, const CommonShapeTest& test)
{
    JsonObject object(depth);
    if (!test.available) {
        object.add("statistic", "null");
        object.add("note", jsonString(test.note));
        return object.close();
    }
    object.addNumber("statistic", test.statistic);
    object.addNumber("degreesOfFreedom", test.degreesOfFreedom);
    object.addNumber("pValue", test.pValue);
    object.addNumber("commonM", test.commonShape);
    return object.close();
}

std::string useJson(int depth, const std::vector<UseStressBounds>& use)
{
    std::vector<std::string> elements;
    for (const UseStressBounds& u : use) {
        JsonObject object(depth + 1);
        object.addNumber("stress", u.stress);
        object.add("eta", quantityBoundsJson(depth + 2, u.eta));
        object.add("bLives", bLivesJson(depth + 2, u.bLives));
        object.add("reliability", reliabilityJson(depth + 2, u.reliability, 0));
        elements.push_back(object.close());
    }
    return elementsJson(depth, elements);
}

std::string modelJson(const AcceleratedAnalysis& analysis)
{
    const AcceleratedFit& fit = analysis.fit;
    const AcceleratedInference& inference = analysis.inference;
    const bool estimated = fit.status == FitStatus::ok;
    JsonObject object(1);
    object.add("model", jsonString(stressModelName(fit.model)));
    object.addBool("celsius", fit.celsius);
    object.addNumberOrNull("m", fit.m, estimated);
    object.addNumberOrNull("a", fit.a, estimated);
    object.addNumberOrNull("b", fit.b, estimated);
    if (fit.model == StressModel::arrhenius)
        object.addNumberOrNull("activationEnergy", fit.b * boltzmannElectronVolts, estimated);
    object.addNumberOrNull("logLikelihood", fit.logLikelihood, estimated);
    object.add("status", jsonString(fit.statusText));
    if (inference.available) {
        object.addNumber("confidence", inference.confidence);
        if (!inference.fisherNote.empty())
            object.add("fisherNote", jsonString(inference.fisherNote));
        JsonObject bounds(2);
        bounds.add("m", quantityBoundsJson(3, inference.m));
        bounds.add("a", quantityBoundsJson(3, inference.a));
        bounds.add("b", quantityBoundsJson(3, inference.b));
        object.add("bounds", bounds.close());
    }
    object.add("stresses", stressesJson(2, fit.groups));
    object.add("commonShapeTest", commonShapeJson(2, fit.commonShape));
    object.add("use", useJson(2, inference.use));
    return object.close();
}

} // namespace

std::string acceleratedAnalysisJson(const AcceleratedAnalysis& analysis)
{
    JsonObject root(0);
    root.add("method", jsonString("mle"));
    root.add("data", dataSummaryJson(analysis.data));
    root.add("acceleratedLife", modelJson(analysis));
    return root.close() + "\n";
}

} // namespace lifedata
