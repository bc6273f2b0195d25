// Chi-square quantiles and tails against values recorded from independent libraries.
#include <gtest/gtest.h>

#include <cmath>

#include "chi_square.h"
#include "chi_square_one_df.h"
#include "incomplete_gamma.h"

using namespace lifedata;

namespace {

struct Reference {
    double k;
    double p;    // the tail's probability
    bool upper;  // true: P(X > x) = p
    double x;
};

// scipy 1.10.1: scipy.stats.chi2.ppf(p, k) (chi2.isf(p, k) for upper tails), each agreeing with
// mpmath 1.2.1 (40 digits, Newton on gammainc(k/2, 0, x/2, regularized=True)) to 1e-14.
constexpr Reference scipyValues[] = {
    {1, 1e-10, false, 1.570796326794896e-20},
    {1, 0.05, false, 0.003932140000019522},
    {1, 0.95, false, 3.841458820694124},
    {1, 1 - 1e-10, false, 41.82145620298279},
    {1, 1e-10, true, 41.82145636476129},
    {2, 1e-10, false, 2.0000000000999938e-10},
    {2, 0.5, false, 1.386294361119891},
    {2, 1 - 1e-10, false, 46.05170169440018},
    {2, 0.1, true, 4.605170185988092},
    {7, 1e-10, false, 0.005605668492481242},
    {7, 0.3, false, 4.671330448981073},
    {7, 0.975, false, 16.012764274629326},
    {7, 1 - 1e-10, false, 60.895195184921974},
    {0.5, 1e-10, false, 1.3499395786223568e-40},
    {0.5, 0.9, false, 1.5007857444736732},
    {8, 0.05, true, 15.507313055865454},
    {8, 0.025, true, 17.53454613948465},
    {1000, 1e-10, false, 741.2680717193529},
    {1000, 0.05, false, 927.594363020979},
    {1000, 0.95, false, 1074.679448803441},
    {1000, 1 - 1e-10, false, 1311.3030076011555},
    {1000, 1e-10, true, 1311.303008280607},
    {2147483650, 0.5, false, 2147483649.3333335},
    {2147483650, 0.95, false, 2147591448.2643633},
    {2147483650, 1e-10, true, 2147900573.14904},
    {8589934592, 0.05, false, 8589718998.882443},
    {8589934592, 1 - 1e-10, false, 8590768411.98438},
};

// Degrees of freedom beyond 2^31 in the far lower tail, where scipy 1.10.1 is off by 4e-6 relative
// (chi2.ppf(1e-10, 2147483650) = 2147075786.7622974, chi2.ppf(1e-10, 2^33) = 8589123387.383104): mpmath 1.2.1 at 40 digits, P(a, x) by its
// power series times exp(a ln x - x - loggamma(a + 1)), two Newton steps from a close start.
constexpr Reference mpmathValues[] = {
    {2147483650, 1e-10, false, 2147066779.4731703},
    {8589934592, 1e-10, false, 8589100824.636165},
};

// A fraction of a degree of freedom far in the lower tail, where the bracket of the search is near
// the smallest doubles: mpmath 1.2.1 at 40 digits, four Newton steps on gammainc(0.05, 0, x/2,
// regularized=True) (scipy 1.10.1 gives 1.1689264114573712e-200).
constexpr Reference tinyQuantile = {0.1, 1e-10, false, 1.1689264114572999e-200};

double relative(double value, double reference) { return std::fabs(value - reference) / reference; }

double quantileOf(const Reference& r)
{
    return r.upper ? chiSquareUpperQuantile(r.p, r.k) : chiSquareQuantile(r.p, r.k);
}

} // namespace

TEST(ChiSquareQuantile, MatchesScipyToTwelveDigitsFromOneToBeyondTwoToTheThirtyOne)
{
    for (const Reference& r : scipyValues)
        EXPECT_LT(relative(quantileOf(r), r.x), 1e-12) << "k " << r.k << " p " << r.p << (r.upper ? " upper" : "");
    for (const Reference& r : mpmathValues)
        EXPECT_LT(relative(quantileOf(r), r.x), 1e-12) << "k " << r.k << " p " << r.p << (r.upper ? " upper" : "");
    EXPECT_LT(relative(quantileOf(tinyQuantile), tinyQuantile.x), 1e-12);
}

TEST(ChiSquareQuantile, ClosedFormsOfOneAndTwoDegrees)
{
    // Two degrees: x = -2 ln(1 - p), exactly the exponential distribution's quantile.
    for (double p : {1e-10, 1e-4, 0.1, 0.5, 0.9, 0.999999})
        EXPECT_LT(relative(chiSquareQuantile(p, 2), -2 * std::log1p(-p)), 1e-13) << p;
    // One degree: the module built on the normal quantile agrees.
    for (double c : {0.5, 0.9, 0.95, 0.99, 0.9999})
        EXPECT_LT(relative(chiSquareQuantile(c, 1), chiSquareOneDfQuantile(c)), 1e-13) << c;
}

TEST(ChiSquareQuantile, InvertsBothTails)
{
    for (double k : {1.0, 3.0, 40.0, 12345.5}) {
        for (double p : {1e-10, 0.01, 0.5, 0.99}) {
            const double x = chiSquareQuantile(p, k);
            EXPECT_LT(std::fabs(regularizedGamma(k / 2, x / 2).lower - p) / p, 1e-12) << k << " " << p;
            EXPECT_LT(std::fabs(chiSquarePValue(x, k) - (1 - p)), 1e-15) << k << " " << p;
            // The upper quantile keeps a small tail's digits that 1 - p would round away.
            const double y = chiSquareUpperQuantile(p, k);
            EXPECT_LT(std::fabs(chiSquarePValue(y, k) - p) / p, 1e-12) << k << " " << p;
        }
    }
}

TEST(ChiSquareQuantile, EdgesAndBadArguments)
{
    EXPECT_EQ(chiSquareQuantile(0, 4), 0);
    EXPECT_TRUE(std::isinf(chiSquareQuantile(1, 4)));
    EXPECT_TRUE(std::isinf(chiSquareUpperQuantile(0, 4)));
    EXPECT_TRUE(std::isnan(chiSquareQuantile(-0.1, 4)));
    EXPECT_TRUE(std::isnan(chiSquareQuantile(1.5, 4)));
    EXPECT_TRUE(std::isnan(chiSquareQuantile(0.5, 0)));
    EXPECT_TRUE(std::isnan(chiSquareQuantile(0.5, -1)));
    EXPECT_TRUE(std::isnan(chiSquareQuantile(std::nan(""), 2)));
    EXPECT_EQ(chiSquarePValue(-1, 3), 1);
    EXPECT_TRUE(std::isnan(chiSquarePValue(std::nan(""), 3)));
}

TEST(IncompleteGamma, ReferenceValuesNearThePeakOfALargeShape)
{
    // scipy 1.10.1 scipy.special.gammainc(6172.75, 6302.5) and gammainc(500000, 496646.01686869565);
    // the second from mpmath 1.2.1 gammainc(a, 0, x, regularized=True) at 40 digits, since scipy
    // gives 9.999999833184691e-07 there.
    EXPECT_LT(relative(regularizedGamma(6172.75, 6302.5).lower, 0.949939146868756), 1e-13);
    EXPECT_LT(relative(regularizedGamma(6172.75, 6302.5).upper, 0.05006085313124393), 1e-13);
    EXPECT_LT(relative(regularizedGamma(500000, 496646.01686869565).lower, 1.0000000000001909e-06), 1e-13);
}
