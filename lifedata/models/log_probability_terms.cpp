// ln(1 - e^D) has derivative -rho and second derivative -rho (1 + rho) in D, rho = e^D / (1 - e^D).
#include "log_probability_terms.h"

#include <cmath>

namespace lifedata {

PointTerms logDifference(const PointTerms& A, const PointTerms& B, int order)
{
    constexpr std::size_t n = maximumDistributionParameters;
    PointTerms result = A;
    const double D = B.value - A.value;
    const double oneMinus = -std::expm1(D);
    result.value += std::log(oneMinus);
    if (order < 1)
        return result;
    const double rho = std::exp(D) / oneMinus;
    double dD[n];
    for (std::size_t i = 0; i < n; ++i) {
        dD[i] = B.gradient[i] - A.gradient[i];
        result.gradient[i] -= rho * dD[i];
    }
    if (order < 2)
        return result;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            result.hessian[i][j] -= rho * (B.hessian[i][j] - A.hessian[i][j]) + rho * (1 + rho) * dD[i] * dD[j];
    return result;
}

} // namespace lifedata
