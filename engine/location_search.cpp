// The location parameter search. A Weibull sample reduced by the right location lies on a straight
// line of the Weibull plot; the sign of a least-squares parabola's bend tells on which side of that
// location a trial value lies, and a bisection finds where the sign changes.
#include "location_search.h"

#include <cmath>

#include "estimation_state.h"
#include "plotting_position.h"

namespace {

struct PlotPoint {
    double x;
    double y;
};

PlotPoint plotPoint(std::uint32_t i, double g)
{
    return {std::log(state.samples[i - 1] - g), weibullOrdinate(i)};
}

int signOf(double a2)
{
    if (a2 > 0)
        return 1;
    if (a2 == 0)
        return 0;
    return -1; // negative or not a number
}

} // namespace

int weibullPlotFit(double g, double* r2)
{
    const double N = static_cast<double>(state.n);
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, Sy = 0, Sxy = 0, Sx2y = 0;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        const PlotPoint p = plotPoint(i, g);
        const double x2 = p.x * p.x;
        const double x3 = x2 * p.x;
        const double x4 = x3 * p.x;
        S4 += x4;
        S3 += x3;
        S2 += x2;
        S1 += p.x;
        Sx2y += x2 * p.y;
        Sxy += p.x * p.y;
        Sy += p.y;
    }

    // Cramer's rule on the normal equations, solved for the quadratic coefficient only.
    const double h = N * S2 - S1 * S1;
    const double m = S1 * S2 - N * S3;
    const double o = S1 * S3 - S2 * S2;
    const double a2 = (h * Sx2y + m * Sxy + o * Sy) / (h * S4 + m * S3 + o * S2);

    const double mx = S1 / N;
    const double my = Sy / N;
    double Qxx = 0, Qyy = 0, Qxy = 0;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        const PlotPoint p = plotPoint(i, g);
        Qxx += (p.x - mx) * (p.x - mx);
        Qyy += (p.y - my) * (p.y - my);
        Qxy += (p.x - mx) * (p.y - my);
    }
    *r2 = Qxy * Qxy / (Qyy * Qxx);
    return signOf(a2);
}

double findLocationParameter()
{
    double L = 0.0;
    double U = 0.99 * state.samples[0];
    double r2 = 0.0;
    const int sL = weibullPlotFit(L, &r2);
    const int sU = weibullPlotFit(U, &r2);
    if (sL >= 0)
        return 0.0;
    if (sU <= 0)
        return U;

    // Always all 64 halvings, so that every build reaches the same bracket and the same result.
    double M = 0.0;
    for (int halving = 0; halving < 64; ++halving) {
        M = (U + L) / 2;
        if (weibullPlotFit(M, &r2) == sL)
            L = M;
        else
            U = M;
    }
    return M;
}
