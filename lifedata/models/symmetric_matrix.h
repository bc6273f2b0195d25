// Small symmetric positive definite systems (up to five unknowns), solved by Cholesky: the Newton
// steps of the mixture search and the covariance of its estimate.
#pragma once

#include <cstddef>

namespace lifedata {

constexpr std::size_t maximumSymmetricSize = 5;
using SymmetricMatrix = double[maximumSymmetricSize][maximumSymmetricSize];

// x with A x = b for the leading n x n block of A; false when that block is not positive definite.
bool solvePositiveDefinite(const SymmetricMatrix& a, std::size_t n, const double* b, double* x);

// The inverse of the leading n x n block of A; false when that block is not positive definite.
bool invertPositiveDefinite(const SymmetricMatrix& a, std::size_t n, SymmetricMatrix& inverse);

} // namespace lifedata
