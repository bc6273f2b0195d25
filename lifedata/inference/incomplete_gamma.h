// The regularized incomplete gamma functions P(a, x) and Q(a, x) = 1 - P(a, x): the distribution
// function of the gamma distribution, and so of chi-square (P(k/2, x/2) for k degrees of freedom).
#pragma once

namespace lifedata {

struct GammaTails {
    double lower; // P(a, x)
    double upper; // Q(a, x)
};

// Both tails for a > 0 and x >= 0; the smaller tail is computed directly, so it keeps its relative
// accuracy far out (about 1e-14 for a >= 0.5), and the other is one minus it.
GammaTails regularizedGamma(double a, double x);

// x^a e^-x / Gamma(a): x times the gamma density at x. Accurate for every a, also where a is so
// large (beyond 2^31) that x^a and Gamma(a) each overflow and their logarithms lose every digit.
double gammaDensityFactor(double a, double x);

} // namespace lifedata
