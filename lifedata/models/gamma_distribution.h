// The gamma distribution: F(t) = P(k, t/theta), shape k and scale theta, fit coordinates
// (ln k, ln theta). It has no standard variable, so its reliability bounds go on the logit of R.
#pragma once

#include "distribution.h"

namespace lifedata {

class GammaDistribution final : public Distribution {
public:
    const char* name() const override { return "gamma"; }
    std::size_t parameterCount() const override { return 2; }
    const char* parameterName(std::size_t i) const override { return i == 0 ? "k" : "theta"; }
    bool positiveParameter(std::size_t) const override { return true; }
    std::size_t locationIndex() const override { return noParameter; }
    bool allowsNegativeTimes() const override { return false; }

    void toCoordinates(const double* parameters, double* p) const override;
    void fromCoordinates(const double* p, double* parameters) const override;

    PointTerms logDensity(double t, const double* p, int order) const override;
    PointTerms logSurvival(double t, const double* p, int order) const override;
    PointTerms sumLogDensities(const double* times, const double* counts, std::size_t count, const double* p,
                               int order) const override;
    PointTerms sumLogSurvivals(const double* times, const double* counts, std::size_t count, const double* p,
                               int order) const override;
    PointTerms logIntervalProbability(double a, double b, const double* p, int order) const override;
    double quantile(double P, const double* p, double* gradient) const override;
    bool standardVariable(double t, const double* p, double& u, double* gradient) const override;
    double standardSurvival(double u) const override;
    void startingCoordinates(const std::vector<PlotPoint>& points, double location, double* p) const override;
};

} // namespace lifedata
