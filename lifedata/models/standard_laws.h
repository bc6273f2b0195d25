// The standard laws behind the location-scale families: with u = (h(t - gamma) - a) / b, where h is
// ln or the identity, S(t) = S0(u). The smallest extreme value law serves the Weibull, the
// exponential and the sev; the normal law the lognormal and the normal; the logistic law the
// loglogistic. Each gives its logarithms with their first two derivatives in u directly, so that
// neither tail loses its digits to a difference of large terms.
#pragma once

namespace lifedata {

// A function of u with its first and second derivatives.
struct LawTerms {
    double value;
    double slope;
    double curvature;
};

class StandardLaw {
public:
    virtual ~StandardLaw() = default;
    virtual LawTerms logDensity(double u) const = 0;      // ln f0(u)
    virtual LawTerms logSurvival(double u) const = 0;     // ln S0(u)
    virtual LawTerms logDistribution(double u) const = 0; // ln F0(u) = ln(1 - S0(u))
    virtual double survival(double u) const = 0;          // S0(u)
    virtual double quantile(double P) const = 0;          // the u with F0(u) = P
};

// S0(u) = exp(-e^u).
const StandardLaw& smallestExtremeValueLaw();
// S0(u) = Phi(-u).
const StandardLaw& normalLaw();
// S0(u) = 1 / (1 + e^u).
const StandardLaw& logisticLaw();

} // namespace lifedata
