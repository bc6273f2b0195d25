// The free coordinates' system is at most 3 x 3 and solved by Cholesky's method on the negated
// Hessian; its failure is what says that the Hessian is not negative definite.
#include "newton_ascent.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "two_parameter_search.h"

namespace lifedata {

namespace {

constexpr std::size_t n = maximumDistributionParameters;
constexpr int maximumIterations = 200;

struct System {
    std::size_t size = 0;
    std::size_t index[n] = {};
    double a[n][n] = {};
    double b[n] = {};
};

// Solves a x = b for symmetric positive definite a; false where a is not.
bool choleskySolve(const System& s, const double (&rhs)[n], double (&x)[n])
{
    double l[n][n] = {};
    for (std::size_t i = 0; i < s.size; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = s.a[i][j];
            for (std::size_t k = 0; k < j; ++k)
                sum -= l[i][k] * l[j][k];
            if (i == j) {
                if (!(sum > 0))
                    return false;
                l[i][i] = std::sqrt(sum);
            } else {
                l[i][j] = sum / l[j][j];
            }
        }
    }
    double y[n] = {};
    for (std::size_t i = 0; i < s.size; ++i) {
        double sum = rhs[i];
        for (std::size_t k = 0; k < i; ++k)
            sum -= l[i][k] * y[k];
        y[i] = sum / l[i][i];
    }
    for (std::size_t i = s.size; i-- > 0;) {
        double sum = y[i];
        for (std::size_t k = i + 1; k < s.size; ++k)
            sum -= l[k][i] * x[k];
        x[i] = sum / l[i][i];
    }
    return true;
}

// The negated Hessian and the gradient over the free coordinates.
System freeSystem(const PointTerms& terms, std::size_t count, std::size_t held)
{
    System s;
    for (std::size_t i = 0; i < count; ++i)
        if (i != held)
            s.index[s.size++] = i;
    for (std::size_t i = 0; i < s.size; ++i) {
        s.b[i] = terms.gradient[s.index[i]];
        for (std::size_t j = 0; j < s.size; ++j)
            s.a[i][j] = -terms.hessian[s.index[i]][s.index[j]];
    }
    return s;
}

// The size a coordinate's step is measured against: 1 on a log scale, otherwise the coordinate or
// its standard error, whichever is larger.
double stepScale(const Distribution& distribution, std::size_t i, double p, double standardError)
{
    return distribution.positiveParameter(i) ? 1
                                              : std::max({std::fabs(p), standardError, std::numeric_limits<double>::min()});
}

// A step where the Hessian is not negative definite: along the gradient, bent toward Newton's step
// as far as a shift of the diagonal allows.
bool shiftedStep(const System& s, double (&step)[n])
{
    for (double shift = 1e-4; shift < 1e12; shift *= 10) {
        System shifted = s;
        for (std::size_t i = 0; i < s.size; ++i)
            shifted.a[i][i] += shift * std::max(std::fabs(s.a[i][i]), 1e-300);
        if (choleskySolve(shifted, s.b, step))
            return true;
    }
    return false;
}

} // namespace

Ascent ascend(DistributionLikelihood& likelihood, const Distribution& distribution, const double* start,
              const AscentLimits& limits)
{
    const std::size_t count = distribution.parameterCount();
    Ascent ascent;
    std::copy(start, start + count, ascent.p);
    ascent.terms = likelihood.evaluate(ascent.p, 2);
    double previousLargest = std::numeric_limits<double>::infinity();
    int stalled = 0;
    for (ascent.iterations = 1; ascent.iterations <= maximumIterations; ++ascent.iterations) {
        if (!std::isfinite(ascent.terms.value))
            return ascent;
        System s = freeSystem(ascent.terms, count, limits.held);
        double step[n] = {};
        const bool newton = choleskySolve(s, s.b, step);
        double scale[n] = {};
        for (std::size_t i = 0; i < s.size; ++i) {
            double unit[n] = {}, column[n] = {};
            unit[i] = 1;
            const double variance = newton && choleskySolve(s, unit, column) ? column[i] : 0;
            scale[i] = stepScale(distribution, s.index[i], ascent.p[s.index[i]], std::sqrt(variance));
        }
        if (!newton && !shiftedStep(s, step))
            return ascent;
        double largest = 0;
        for (std::size_t i = 0; i < s.size; ++i)
            largest = std::max(largest, std::fabs(step[i]) / scale[i]);
        if (!std::isfinite(largest))
            return ascent;
        // Rounding leaves the likelihood flat to a few units in its last place near the maximum.
        const bool near = largest < 1e-6;
        const double slack = near ? 1e-14 * (1 + std::fabs(ascent.terms.value)) : 0;
        bool accepted = false;
        // Near the maximum a Newton step that lowers the likelihood meets its rounding: no shorter one
        // would do better.
        const double shortest = near ? 1 : 1e-12;
        for (double t = 1; t >= shortest && !accepted; t /= 2) {
            double trial[n];
            std::copy(ascent.p, ascent.p + n, trial);
            for (std::size_t i = 0; i < s.size; ++i)
                trial[s.index[i]] += t * step[i];
            if (limits.bounded != noParameter &&
                !(trial[limits.bounded] > limits.low && trial[limits.bounded] < limits.high))
                continue;
            const PointTerms terms = likelihood.evaluate(trial, 2);
            if (std::isfinite(terms.value) && terms.value >= ascent.terms.value - slack) {
                std::copy(trial, trial + n, ascent.p);
                ascent.terms = terms;
                accepted = true;
            }
        }
        // Far from the data's scale (a location far below it, say) the likelihood's rounding can
        // exceed what the tolerance asks; steps that no longer shrink there have reached that floor.
        stalled = newton && near && largest > previousLargest / 2 ? stalled + 1 : 0;
        previousLargest = largest;
        // A Newton step that promises less than the likelihood's rounding and finds nothing higher on
        // its way has met that rounding too, however large it looks (a Weibull of a very large shape
        // amplifies the rounding of its logarithms).
        double promised = 0;
        for (std::size_t i = 0; i < s.size; ++i)
            promised += s.b[i] * step[i] / 2;
        const bool lost = !accepted && promised <= 1e-10 * (1 + std::fabs(ascent.terms.value));
        if (newton && (largest <= fitTolerance || (near && !accepted) || stalled >= 3 || lost)) {
            ascent.converged = true;
            return ascent;
        }
        if (!accepted)
            return ascent;
    }
    return ascent;
}

} // namespace lifedata
