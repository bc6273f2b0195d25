// Competing modes: a unit fails by whichever mode comes first, so a failure by one mode is, for
// every other mode, a unit that survived to that time. Each mode is then an ordinary censored
// Weibull fit, and the fits are independent of one another.
#include "competing_modes.h"

namespace lifedata {

namespace {

// Data without modes is one mode, "unlabelled".
std::uint32_t modeOf(const LifeData& data, std::size_t i)
{
    if (data.states[i] == State::suspension)
        return noMode;
    return data.modes.empty() ? 0 : data.modes[i];
}

std::vector<std::string> modeNames(const LifeData& data)
{
    if (data.modes.empty())
        return {unlabelledMode};
    return data.modeNames;
}

void addRecord(LifeData& data, double value, double upper, State state, std::uint32_t count)
{
    data.values.push_back(value);
    data.upper.push_back(upper);
    data.states.push_back(state);
    data.counts.push_back(count);
}

std::uint64_t modeFailures(const LifeData& data, std::uint32_t mode)
{
    std::uint64_t failures = 0;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        if (modeOf(data, i) == mode)
            failures += data.counts[i];
    }
    return failures;
}

WeibullFit fitMode(const PreparedData& prepared, ModesChoice choice, const FitSettings& settings)
{
    if (prepared.failureUnits == 0 || prepared.distinctFailureTimes < 2) {
        WeibullFit fit = withStatus(FitStatus::tooFewFailures);
        fit.statusText = "too few failures: fewer than 2 distinct failure times";
        return fit;
    }
    if (choice == ModesChoice::threeParameter)
        return fitThreeParameter(prepared, settings).fit;
    return fitTwoParameter(prepared, 0, settings);
}

ModeFit fitOneMode(const LifeData& data, std::uint32_t mode, const std::string& name, ModesChoice choice,
                   const InferenceRequest& request)
{
    ModeFit result;
    result.name = name;
    result.failures = modeFailures(data, mode);
    const FitSettings settings{request.threads, request.cancel};
    const PreparedData prepared = prepareLifeData(modeLifeData(data, mode), settings);
    result.fit = fitMode(prepared, choice, settings);
    stopIfCancelled(request.cancel);
    // A mode's own B-lives, reliabilities and goodness of fit are not reported: only its parameters.
    InferenceRequest parameters = request;
    parameters.bLifePercents.clear();
    parameters.at.clear();
    parameters.bootstrap = 0;
    result.inference = inferModel(prepared, result.fit, choice == ModesChoice::threeParameter, parameters);
    return result;
}

SystemReliability inferSystemOf(const std::vector<ModeFit>& fits, const InferenceRequest& request)
{
    for (const ModeFit& fit : fits) {
        if (fit.fit.status != FitStatus::ok) {
            SystemReliability system;
            system.reason = "the mode " + fit.name + " has no estimate";
            return system;
        }
    }
    return inferSystem(systemModes(fits), request);
}

} // namespace

std::vector<SystemMode> systemModes(const std::vector<ModeFit>& fits)
{
    std::vector<SystemMode> modes;
    for (const ModeFit& fit : fits) {
        if (fit.fit.status != FitStatus::ok)
            return {};
        SystemMode mode;
        mode.estimate = {fit.fit.m, fit.fit.eta, fit.fit.gamma};
        mode.covarianceSize = fit.inference.covarianceSize;
        for (int i = 0; i < mode.covarianceSize; ++i) {
            for (int j = 0; j < mode.covarianceSize; ++j)
                mode.covariance[i][j] = fit.inference.covariance[i][j];
        }
        modes.push_back(mode);
    }
    return modes;
}

LifeData modeLifeData(const LifeData& data, std::uint32_t mode)
{
    LifeData own;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const std::uint32_t recordMode = modeOf(data, i);
        if (recordMode == mode || recordMode == noMode)
            addRecord(own, data.values[i], data.upper[i], data.states[i], data.counts[i]);
        else
            addRecord(own, data.values[i], data.values[i], State::suspension, data.counts[i]);
    }
    return own;
}

CompetingModes fitCompetingModes(const LifeData& data, ModesChoice choice, const InferenceRequest& request)
{
    CompetingModes result;
    result.choice = choice;
    const std::vector<std::string> names = modeNames(data);
    for (std::uint32_t mode = 0; mode < names.size(); ++mode) {
        result.modes.push_back(fitOneMode(data, mode, names[mode], choice, request));
        stopIfCancelled(request.cancel);
    }
    result.system = inferSystemOf(result.modes, request);
    return result;
}

} // namespace lifedata
