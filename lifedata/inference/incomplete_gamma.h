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

// ln P(a, x) and ln Q(a, x), each with its first and second derivatives in the shape a: what the
// gamma distribution's likelihood needs of its shape. The smaller tail is computed directly, and so
// keeps its relative accuracy, with its derivatives, far out.
struct LogGammaTail {
    double value;
    double da;
    double daa;
};
struct LogGammaTails {
    LogGammaTail lower; // ln P
    LogGammaTail upper; // ln Q
};
LogGammaTails logRegularizedGammaInShape(double a, double x);

// What those tails need of the shape alone, formed once for many x of the same shape: a likelihood
// pass evaluates one shape at every record.
struct GammaShape {
    double a;
    double logGamma;     // ln Gamma(a)
    double digamma;      // psi(a)
    double trigamma;     // psi'(a)
    double logPeakScale; // from a = 10 on: ln sqrt(a / 2 pi)
    double stirling;     // and the remainder of Stirling's series
};
GammaShape gammaShape(double a);
LogGammaTails logRegularizedGammaInShape(const GammaShape& shape, double x);

// The x with P(a, x) = P, for a > 0 and 0 < P < 1.
double inverseRegularizedGamma(double a, double P);

// The derivatives of ln Gamma(a): psi(a) and psi'(a), a > 0.
double digamma(double a);
double trigamma(double a);

} // namespace lifedata
