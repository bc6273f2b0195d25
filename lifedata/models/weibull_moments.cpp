// Moments of the Weibull distribution through the gamma function, as the classic method forms
// them. std::tgamma rather than std::lgamma: lgamma sets the global signgam, and this code keeps
// no global state.
#include "weibull_moments.h"

#include <cmath>

namespace lifedata {

DistributionSummary weibullSummary(double m, double eta, double gamma)
{
    const double g1 = std::tgamma(1 + 1 / m);
    const double g2 = std::tgamma(1 + 2 / m);
    DistributionSummary s;
    s.mean = gamma + eta * g1;
    s.median = gamma + eta * std::pow(std::log(2.0), 1 / m);
    s.mode = m > 1 ? gamma + eta * std::pow(1 - 1 / m, 1 / m) : gamma;
    s.variance = eta * eta * (g2 - g1 * g1);
    return s;
}

} // namespace lifedata
