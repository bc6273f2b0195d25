// The sum runs over groups of equal times instead of units: the weights (2i - 1) of the units of a
// group of c at ranks s+1 .. s+c add up to c (2s + c), and the mirrored ones of ln(1 - F) to
// c (2n - 2s - c), so a million identical records cost one term. ln(1 - F) = -z is exact, and
// ln F = ln(-expm1(-z)) keeps its digits where F is small.
#include "anderson_darling.h"

#include <cmath>

namespace lifedata {

double andersonDarling(const std::vector<double>& times, const std::vector<double>& counts, const WeibullEstimate& fit)
{
    double n = 0;
    for (double c : counts)
        n += c;
    double sum = 0;
    double before = 0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double c = counts[i];
        const double z = std::pow((times[i] - fit.gamma) / fit.eta, fit.m);
        const double lnF = times[i] > fit.gamma ? std::log(-std::expm1(-z)) : -INFINITY;
        sum += c * (2 * before + c) * lnF - c * (2 * n - 2 * before - c) * z;
        before += c;
    }
    return -n - sum / n;
}

} // namespace lifedata
