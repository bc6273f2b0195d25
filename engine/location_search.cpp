// The location parameter search. A Weibull sample reduced by the right location lies on a straight
// line of the Weibull plot; the sign of a least-squares parabola's bend tells on which side of that
// location a trial value lies, and a bisection finds where the sign changes.
#include "location_search.h"

#include <cmath>

#include "estimation_state.h"
#include "per_value_work.h"
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

// The first pass: sums of the powers of x and of their products with y.
struct PlotSums {
    double S1, S2, S3, S4, Sy, Sxy, Sx2y;
};

void addPoint(PlotSums& S, PlotPoint p)
{
    const double x2 = p.x * p.x;
    const double x3 = x2 * p.x;
    const double x4 = x3 * p.x;
    S.S4 += x4;
    S.S3 += x3;
    S.S2 += x2;
    S.S1 += p.x;
    S.Sx2y += x2 * p.y;
    S.Sxy += p.x * p.y;
    S.Sy += p.y;
}

struct PlotMeans {
    double mx, my;
};

// The second pass: sums of squares and products of the deviations from the means.
struct Deviations {
    double Qxx, Qyy, Qxy;
};

void addDeviation(Deviations& Q, PlotPoint p, PlotMeans means)
{
    Q.Qxx += (p.x - means.mx) * (p.x - means.mx);
    Q.Qyy += (p.y - means.my) * (p.y - means.my);
    Q.Qxy += (p.x - means.mx) * (p.y - means.my);
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
    // Within a run the ordinates come from the per-run array and the logarithms are formed once for
    // both passes; the sums below are the same whichever way the points are had.
    const PlotArrays plot = weibullPlotArrays(g);
    PlotSums S{};
    if (plot.x) {
        for (std::uint32_t i = 0; i < state.n; ++i)
            addPoint(S, {plot.x[i], plot.y[i]});
    } else {
        for (std::uint32_t i = 1; i <= state.n; ++i)
            addPoint(S, plotPoint(i, g));
    }

    // Cramer's rule on the normal equations, solved for the quadratic coefficient only.
    const double h = N * S.S2 - S.S1 * S.S1;
    const double m = S.S1 * S.S2 - N * S.S3;
    const double o = S.S1 * S.S3 - S.S2 * S.S2;
    const double a2 = (h * S.Sx2y + m * S.Sxy + o * S.Sy) / (h * S.S4 + m * S.S3 + o * S.S2);

    const PlotMeans means{S.S1 / N, S.Sy / N};
    Deviations Q{};
    if (plot.x) {
        for (std::uint32_t i = 0; i < state.n; ++i)
            addDeviation(Q, {plot.x[i], plot.y[i]}, means);
    } else {
        for (std::uint32_t i = 1; i <= state.n; ++i)
            addDeviation(Q, plotPoint(i, g), means);
    }
    *r2 = Q.Qxy * Q.Qxy / (Q.Qyy * Q.Qxx);
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
