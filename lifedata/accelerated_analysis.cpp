// The accelerated analysis ties the grouping, the fit and the bounds together.
#include "accelerated_analysis.h"

#include <cmath>
#include <string>

#include "analysis_inference.h"
#include "json_text.h"

namespace lifedata {

namespace {

// The lowest stress, exclusive: absolute zero in Celsius, 0 otherwise (x = 1/S and ln S need S > 0).
double lowestStress(const AcceleratedRequest& request) { return request.celsius ? -273.15 : 0; }

void validateStresses(const LifeData& data, const AcceleratedRequest& request)
{
    if (data.stresses.size() != data.values.size())
        throw DataError("an accelerated model needs a stress for every record");
    if (request.celsius && request.model != StressModel::arrhenius)
        throw DataError("stresses in degrees Celsius need the Arrhenius model");
    const double lowest = lowestStress(request);
    for (std::size_t i = 0; i < data.stresses.size(); ++i) {
        if (!(data.stresses[i] > lowest))
            throw DataError("record " + std::to_string(i + 1) + ": a stress not above " + jsonNumber(lowest));
    }
    for (double stress : request.useStresses) {
        if (!(stress > lowest) || !std::isfinite(stress))
            throw DataError("a use stress must be a finite number above " + jsonNumber(lowest) + ", not " +
                            jsonNumber(stress));
    }
}

} // namespace

AcceleratedAnalysis analyseAcceleratedLife(const LifeData& data, const AcceleratedRequest& request)
{
    validateLifeData(data);
    validateStresses(data, request);
    validateInferenceRequest(request.settings);
    const AnalysisRequest& settings = request.settings;
    const FitSettings fitSettings{settings.threads, settings.cancel};
    AcceleratedAnalysis analysis;
    analysis.data = summarizeLifeData(data);
    analysis.fit = fitAcceleratedLife(groupByStress(data, request.model, request.celsius, fitSettings), request.model,
                                      request.celsius, fitSettings);
    stopIfCancelled(settings.cancel);
    const InferenceRequest inference{settings.confidence, settings.bLifePercents, settings.at, settings.bounds, 0,
                                     settings.seed,       settings.threads,       settings.cancel};
    analysis.inference = inferAcceleratedLife(analysis.fit, request.useStresses, inference);
    return analysis;
}

} // namespace lifedata
