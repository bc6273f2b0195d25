// The systematic sample of prepared data on which a location's profile is scanned first.
#include "systematic_sample.h"

#include <initializer_list>
#include <vector>

namespace lifedata {

PreparedData systematicSample(const PreparedData& data, std::size_t step)
{
    PreparedData sample = data;
    auto thin = [step](std::vector<double>& counts, std::initializer_list<std::vector<double>*> values) {
        std::size_t kept = counts.empty() ? 0 : 1;
        for (std::size_t i = step / 2; i < counts.size(); i += step) {
            if (i == 0)
                continue;
            counts[kept] = counts[i] * static_cast<double>(step);
            for (std::vector<double>* v : values)
                (*v)[kept] = (*v)[i];
            ++kept;
        }
        counts.resize(kept);
        for (std::vector<double>* v : values)
            v->resize(kept);
    };
    thin(sample.failureCounts, {&sample.failureTimes});
    thin(sample.suspensionCounts, {&sample.suspensionTimes});
    thin(sample.intervalCounts, {&sample.intervalLower, &sample.intervalUpper});
    sample.failureUnits = 0;
    for (double c : sample.failureCounts)
        sample.failureUnits += c;
    for (double c : sample.intervalCounts)
        sample.failureUnits += c;
    sample.distinctFailureTimes = sample.failureTimes.size() + sample.intervalUpper.size();
    return sample;
}

} // namespace lifedata
