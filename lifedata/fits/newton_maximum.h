// Newton's method for a maximum of a smooth function of any number of coordinates, with the
// Hessian made negative definite by a shift where it is not, and steps halved until the value
// rises. The accelerated models use it on (ln m, a, b) and on (ln m, ln eta per stress), where a
// distribution's own ascent (at most three parameters) does not reach.
#pragma once

#include <functional>
#include <vector>

namespace lifedata {

// A value with its gradient and its Hessian (row by row, n x n) at one point.
struct SmoothValue {
    double value = 0;
    std::vector<double> gradient;
    std::vector<double> hessian;
};

struct AscentResult {
    bool converged = false;
    int iterations = 0;
    std::vector<double> point;
    SmoothValue at; // the value, gradient and Hessian at `point`
};

// Maximises `f` from `start`. `f(point, order)` gives the value (order 0) or also the gradient and
// Hessian (order 2); a value that is not finite is a point outside the domain. Converged when the
// Newton step's predicted gain and size are at rounding level, at a point whose Hessian is negative
// definite.
AscentResult maximiseByNewton(const std::function<SmoothValue(const std::vector<double>&, int)>& f,
                              std::vector<double> start);

} // namespace lifedata
