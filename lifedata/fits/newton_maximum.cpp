// Newton ascent with a shifted Hessian and step halving; see newton_maximum.h.
#include "newton_maximum.h"

#include <cmath>

namespace lifedata {

namespace {

constexpr int iterationLimit = 300;
constexpr int halvingLimit = 60;

// Cholesky factor L (lower, row by row) of a symmetric positive definite n x n matrix; false when
// it is not positive definite.
bool cholesky(const std::vector<double>& a, std::size_t n, std::vector<double>& l)
{
    l.assign(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = a[i * n + j];
            for (std::size_t k = 0; k < j; ++k)
                sum -= l[i * n + k] * l[j * n + k];
            if (i == j) {
                if (!(sum > 0) || !std::isfinite(sum))
                    return false;
                l[i * n + i] = std::sqrt(sum);
            } else {
                l[i * n + j] = sum / l[j * n + j];
            }
        }
    }
    return true;
}

// Solves L L' x = b.
std::vector<double> choleskySolve(const std::vector<double>& l, std::size_t n, std::vector<double> b)
{
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k)
            b[i] -= l[i * n + k] * b[k];
        b[i] /= l[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t k = i + 1; k < n; ++k)
            b[i] -= l[k * n + i] * b[k];
        b[i] /= l[i * n + i];
    }
    return b;
}

// The ascent direction (-H + shift I)^-1 g, with the smallest shift of a growing series that makes
// the matrix positive definite; `shifted` says whether one was needed.
bool ascentDirection(const SmoothValue& at, std::size_t n, std::vector<double>& step, bool& shifted)
{
    double scale = 0;
    for (std::size_t i = 0; i < n; ++i)
        scale = std::fmax(scale, std::fabs(at.hessian[i * n + i]));
    if (!(scale > 0))
        scale = 1;
    std::vector<double> a(n * n), l;
    for (double shift = 0; shift < 1e12 * scale; shift = shift == 0 ? 1e-8 * scale : 10 * shift) {
        for (std::size_t i = 0; i < n * n; ++i)
            a[i] = -at.hessian[i];
        for (std::size_t i = 0; i < n; ++i)
            a[i * n + i] += shift;
        if (cholesky(a, n, l)) {
            step = choleskySolve(l, n, at.gradient);
            shifted = shift != 0;
            return true;
        }
    }
    return false;
}

} // namespace

AscentResult maximiseByNewton(const std::function<SmoothValue(const std::vector<double>&, int)>& f,
                              std::vector<double> start)
{
    const std::size_t n = start.size();
    AscentResult result;
    result.point = std::move(start);
    result.at = f(result.point, 2);
    if (!std::isfinite(result.at.value))
        return result;
    for (int iteration = 1; iteration <= iterationLimit; ++iteration) {
        result.iterations = iteration;
        std::vector<double> step;
        bool shifted = false;
        if (!ascentDirection(result.at, n, step, shifted))
            return result;
        double gain = 0, size = 0, reach = 0;
        for (std::size_t i = 0; i < n; ++i) {
            gain += step[i] * result.at.gradient[i];
            size = std::fmax(size, std::fabs(step[i]));
            reach = std::fmax(reach, std::fabs(result.point[i]));
        }
        if (!shifted && gain <= 1e-20 * (1 + std::fabs(result.at.value)) && size <= 1e-9 * (1 + reach)) {
            result.converged = true;
            return result;
        }
        // Halve until the value rises; a step that no longer changes the point ends the search.
        std::vector<double> next(n);
        bool moved = false;
        for (int halving = 0; halving < halvingLimit; ++halving) {
            bool changed = false;
            for (std::size_t i = 0; i < n; ++i) {
                next[i] = result.point[i] + step[i];
                changed = changed || next[i] != result.point[i];
            }
            if (!changed)
                break;
            const SmoothValue trial = f(next, 0);
            if (std::isfinite(trial.value) && trial.value >= result.at.value) {
                moved = true;
                break;
            }
            for (double& s : step)
                s /= 2;
        }
        if (!moved) {
            // At rounding level: a maximum only where the Hessian says so.
            result.converged = !shifted;
            return result;
        }
        result.point = next;
        result.at = f(result.point, 2);
    }
    return result;
}

} // namespace lifedata
