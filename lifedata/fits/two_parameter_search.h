// The two-parameter maximum of the likelihood at one location, solved again and again by the fits
// (once for a two-parameter fit, at every trial location for the three-parameter profile), each
// time starting from the last solution.
#pragma once

#include <memory>

#include "chunked_work.h"
#include "shape_profile.h"
#include "weibull_likelihood.h"

namespace lifedata {

// Newton steps in ln m and ln eta below this end a fit: m and eta then hold about 1e-13 relative,
// well inside the 1e-12 the fits promise.
constexpr double fitTolerance = 1e-13;

// The same record as the shape profile's: the maximum at one location, found or not.
using TwoParameterSolution = ShapeSolution;

class TwoParameterSearch {
public:
    // `data` (validated, at least one failure) must outlive the search.
    TwoParameterSearch(const PreparedData& data, ChunkedWork& work);

    // The maximum at location `gamma` (below every failure), until the Newton steps in ln m and
    // ln eta are below `tolerance`. It starts from the last solution when that was at a nearby
    // location, otherwise from a guess from the data.
    TwoParameterSolution solve(double gamma, double tolerance);

private:
    bool lastIsNear(double gamma) const;
    TwoParameterSolution solveWithIntervals(double gamma, double tolerance);
    void startFromMidpoints(double gamma, double& m, double& eta);
    void remember(double gamma, const TwoParameterSolution& solution);

    const PreparedData& data_;
    ChunkedWork& work_;
    ShapeProfile profile_;
    LikelihoodEvaluator evaluator_;
    double x1_;
    bool haveLast_ = false;
    double lastGamma_ = 0;
    double lastM_ = 0;
    double lastEta_ = 0;
};

} // namespace lifedata
