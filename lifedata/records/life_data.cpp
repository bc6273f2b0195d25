// The summary and the checks of life-data records.
#include "life_data.h"

#include <cmath>
#include <string>

namespace lifedata {

DataSummary summarizeLifeData(const LifeData& data)
{
    DataSummary summary;
    summary.lines = data.values.size();
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const std::uint64_t count = data.counts[i];
        summary.units += count;
        switch (data.states[i]) {
        case State::failure:
            summary.failures += count;
            break;
        case State::suspension:
            summary.suspensions += count;
            break;
        case State::interval:
            summary.intervals += count;
            break;
        }
    }
    return summary;
}

namespace {

std::string recordProblem(const LifeData& data, std::size_t i)
{
    const double value = data.values[i];
    const double upper = data.upper[i];
    if (!std::isfinite(value) || !std::isfinite(upper))
        return "a time that is not a finite number";
    if (value < 0 || upper < 0)
        return "a negative time";
    if (data.counts[i] < 1 || data.counts[i] > maximumCount)
        return "a count outside 1 to 2147483647";
    if (!data.stresses.empty() && !std::isfinite(data.stresses[i]))
        return "a stress that is not a finite number";
    switch (data.states[i]) {
    case State::interval:
        if (value > upper)
            return "an interval whose lower end is above its upper end";
        break;
    case State::failure:
    case State::suspension:
        if (upper != value)
            return "an upper end different from the time of a failure or suspension";
        break;
    default:
        return "an unknown state";
    }
    if (!data.modes.empty()) {
        const bool suspension = data.states[i] == State::suspension;
        if (suspension && data.modes[i] != noMode)
            return "a mode on a suspension (a suspension has no mode)";
        if (!suspension && data.modes[i] >= data.modeNames.size())
            return "a mode index outside the mode names";
    }
    return "";
}

} // namespace

void validateLifeData(const LifeData& data)
{
    const std::size_t n = data.values.size();
    if (data.upper.size() != n || data.states.size() != n || data.counts.size() != n)
        throw DataError("life data: values, upper ends, states and counts differ in length");
    if (!data.stresses.empty() && data.stresses.size() != n)
        throw DataError("life data: stresses and values differ in length");
    if (!data.modes.empty() && data.modes.size() != n)
        throw DataError("life data: modes and values differ in length");
    for (std::size_t i = 0; i < n; ++i) {
        const std::string problem = recordProblem(data, i);
        if (!problem.empty())
            throw DataError("record " + std::to_string(i + 1) + ": " + problem);
    }
}

} // namespace lifedata
