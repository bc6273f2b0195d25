// C4(r) from the gamma function while its values fit a double, and beyond from the asymptotic
// series of ln(G(x + 1/2) / G(x)) - ln(x)/2, x = (r - 1)/2, whose four terms hold it to 1e-15
// relative from x = 50 on. ln C4 is exactly that series, so r up to any count keeps every digit,
// where a difference of two log-gammas of size r ln r would lose them.
#include "reduced_bias_shape.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double seriesFrom = 101; // r, so that x >= 50

double logC4Series(double r)
{
    const double u = 2 / (r - 1); // 1/x
    const double u2 = u * u;
    return u * (-1.0 / 8 + u2 * (1.0 / 192 + u2 * (-1.0 / 640 + u2 * (17.0 / 14336))));
}

} // namespace

double reducedBiasFactor(double failures)
{
    const double r = failures;
    if (!(r >= 2))
        return std::numeric_limits<double>::quiet_NaN();
    if (r >= seriesFrom)
        return std::exp(3.5 * logC4Series(r));
    const double c4 = std::sqrt(2 / (r - 1)) * std::tgamma(r / 2) / std::tgamma((r - 1) / 2);
    return std::pow(c4, 3.5);
}

} // namespace lifedata
