// Cholesky factorisation A = L L' of a small block, in a fixed order of operations so that a
// result repeats to the bit.
#include "symmetric_matrix.h"

#include <cmath>

namespace lifedata {

namespace {

bool factor(const SymmetricMatrix& a, std::size_t n, SymmetricMatrix& l)
{
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = a[i][j];
            for (std::size_t k = 0; k < j; ++k)
                sum -= l[i][k] * l[j][k];
            if (i == j) {
                if (!(sum > 0) || !std::isfinite(sum))
                    return false;
                l[i][i] = std::sqrt(sum);
            } else {
                l[i][j] = sum / l[j][j];
            }
        }
    }
    return true;
}

void substitute(const SymmetricMatrix& l, std::size_t n, const double* b, double* x)
{
    double y[maximumSymmetricSize];
    for (std::size_t i = 0; i < n; ++i) {
        double sum = b[i];
        for (std::size_t k = 0; k < i; ++k)
            sum -= l[i][k] * y[k];
        y[i] = sum / l[i][i];
    }
    for (std::size_t i = n; i-- > 0;) {
        double sum = y[i];
        for (std::size_t k = i + 1; k < n; ++k)
            sum -= l[k][i] * x[k];
        x[i] = sum / l[i][i];
    }
}

} // namespace

bool solvePositiveDefinite(const SymmetricMatrix& a, std::size_t n, const double* b, double* x)
{
    SymmetricMatrix l = {};
    if (!factor(a, n, l))
        return false;
    substitute(l, n, b, x);
    return true;
}

bool invertPositiveDefinite(const SymmetricMatrix& a, std::size_t n, SymmetricMatrix& inverse)
{
    SymmetricMatrix l = {};
    if (!factor(a, n, l))
        return false;
    for (std::size_t j = 0; j < n; ++j) {
        double unit[maximumSymmetricSize] = {};
        double column[maximumSymmetricSize] = {};
        unit[j] = 1;
        substitute(l, n, unit, column);
        for (std::size_t i = 0; i < n; ++i)
            inverse[i][j] = column[i];
    }
    return true;
}

} // namespace lifedata
