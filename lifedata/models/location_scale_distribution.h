// The families whose survival is S0(u) for a standard law S0 and u = (h(t - gamma) - a) / b, h being
// ln (Weibull, lognormal, exponential, loglogistic) or the identity (normal, sev). One implementation
// serves them all: it works in the canonical coordinates q = (a, ln b, gamma), and each family says
// which of its fit coordinates p is which q, up to a sign (the Weibull's ln m is -ln b).
#pragma once

#include "distribution.h"
#include "standard_laws.h"

namespace lifedata {

// How a family's fit coordinates p map onto q = (a, ln b, gamma).
struct LocationScaleForm {
    const char* name;
    const StandardLaw* law;
    bool logTime;                 // h = ln, the support is t > gamma; otherwise h is the identity
    std::size_t parameterCount;
    const char* parameterNames[maximumDistributionParameters];
    bool positive[maximumDistributionParameters];
    std::size_t aIndex;           // the p that is a
    std::size_t logScaleIndex;    // the p that is +-ln b, or noParameter where b = 1
    double logScaleSign;          // +1 or -1
    std::size_t gammaIndex;       // the p that is gamma, or noParameter where gamma = 0
    // The exponential's density e^(-x/mean)/mean stays finite as x reaches 0, so its support includes
    // t = gamma: its location's maximum may be the smallest failure itself.
    bool closedAtLocation = false;
};

class LocationScaleDistribution final : public Distribution {
public:
    explicit LocationScaleDistribution(const LocationScaleForm& form) : form_(form) {}

    const char* name() const override { return form_.name; }
    std::size_t parameterCount() const override { return form_.parameterCount; }
    const char* parameterName(std::size_t i) const override { return form_.parameterNames[i]; }
    bool positiveParameter(std::size_t i) const override { return form_.positive[i]; }
    std::size_t locationIndex() const override { return form_.gammaIndex; }
    bool allowsNegativeTimes() const override { return !form_.logTime; }
    bool densityFiniteAtLocation() const override { return form_.closedAtLocation; }

    void toCoordinates(const double* parameters, double* p) const override;
    void fromCoordinates(const double* p, double* parameters) const override;

    PointTerms logDensity(double t, const double* p, int order) const override;
    PointTerms logSurvival(double t, const double* p, int order) const override;
    PointTerms logIntervalProbability(double a, double b, const double* p, int order) const override;
    PointTerms sumLogDensities(const double* times, const double* counts, std::size_t count, const double* p,
                               int order) const override;
    PointTerms sumLogSurvivals(const double* times, const double* counts, std::size_t count, const double* p,
                               int order) const override;
    double quantile(double P, const double* p, double* gradient) const override;
    bool standardVariable(double t, const double* p, double& u, double* gradient) const override;
    double standardSurvival(double u) const override { return form_.law->survival(u); }
    void startingCoordinates(const std::vector<PlotPoint>& points, double location, double* p) const override;

private:
    struct Canonical {
        double a, logB, gamma;
        double inverseB; // e^-ln b, formed once for all the records of a pass
    };
    struct Standardized;
    Canonical canonical(const double* p) const;
    Standardized standardize(double t, const Canonical& q, int order) const;
    static PointTerms compose(const LawTerms& law, const Standardized& s, int order);
    PointTerms toFitCoordinates(const PointTerms& q) const;
    PointTerms qLogDensity(double t, const Canonical& c, int order) const;
    PointTerms qLogSurvival(double t, const Canonical& c, int order) const;
    PointTerms sumsToFitCoordinates(PointTerms sums, int order) const;

    LocationScaleForm form_;
};

} // namespace lifedata
