// Life data built in the tests: a record appended, and records with counts written out one unit per
// line, for the checks that counts and the same units line by line give the same bits.
#pragma once

#include <cstdint>

#include "life_data.h"

// LOW HIGH STATE COUNT as one record; HIGH is LOW for a failure or a suspension.
inline void addRecord(lifedata::LifeData& data, double low, double high, lifedata::State state, std::uint32_t count)
{
    data.values.push_back(low);
    data.upper.push_back(high);
    data.states.push_back(state);
    data.counts.push_back(count);
}

// Every record written as `count` records of one unit, each with its record's stress where it has one.
inline lifedata::LifeData oneUnitPerLine(const lifedata::LifeData& data)
{
    lifedata::LifeData lines;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        for (std::uint32_t k = 0; k < data.counts[i]; ++k) {
            addRecord(lines, data.values[i], data.upper[i], data.states[i], 1);
            if (!data.stresses.empty())
                lines.stresses.push_back(data.stresses[i]);
        }
    }
    return lines;
}
