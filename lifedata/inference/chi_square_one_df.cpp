// A chi-square variable with one degree of freedom is the square of a standard normal one, so both
// functions come from the normal distribution, in the upper tail where the small numbers are.
#include "chi_square_one_df.h"

#include <cmath>

#include "normal_quantile.h"

namespace lifedata {

double chiSquareOneDfQuantile(double C)
{
    // The upper-tail probability (1 - C) / 2 is exact where (1 + C) / 2 would round away digits.
    const double z = -normalQuantile((1 - C) / 2);
    return z * z;
}

double chiSquareOneDfPValue(double x)
{
    if (std::isnan(x))
        return x;
    if (x <= 0)
        return 1;
    return std::erfc(std::sqrt(x / 2));
}

} // namespace lifedata
