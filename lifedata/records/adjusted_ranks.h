// Plotting positions of life data: Johnson's adjusted ranks, which account for suspensions, with
// Bernard's median rank for the unreliability. The command line's plot and the Python package's
// draw the same points from here, and rank regression takes its points from the same ranks.
#pragma once

#include <vector>

#include "life_data.h"
#include "weibull_likelihood.h"

namespace lifedata {

// One point per failure record (an interval's at the middle of its interval), in time order.
struct RankedFailure {
    double time;
    double unreliability;
};

std::vector<RankedFailure> adjustedRankFailures(const LifeData& data);

// The ranks of one record of `count` failures at `time`: its k-th unit (k = 1 .. count) has the
// rank rankBefore + k * increment.
struct RankRun {
    double time;
    double count;
    double rankBefore;
    double increment;
};

// The failure records of prepared data (which must hold no intervals) in time order, failures
// before suspensions at equal times. Prepared data merges equal records, so a count and the same
// units written line by line give the same runs to the bit.
std::vector<RankRun> adjustedRankRuns(const PreparedData& data);

// N, the units the ranks of prepared data run over: its failed and suspended units.
double rankedUnits(const PreparedData& data);

// Bernard's median rank (rank - 0.3) / (units + 0.4), the unreliability at a rank.
inline double medianRankUnreliability(double rank, double units) { return (rank - 0.3) / (units + 0.4); }

} // namespace lifedata
