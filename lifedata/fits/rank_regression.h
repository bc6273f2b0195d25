// Median rank regression: a straight line through the failures on Weibull paper, by least squares.
// Each failed unit is one point (x, y) = (ln(t - gamma), ln(-ln(1 - F))) at Johnson's adjusted rank;
// suspensions count only through the ranks. "On Y" minimises the squared distances in y, "on X"
// those in x. Three parameters: gamma maximises the squared correlation r^2 of the points, the same
// gamma for both, since r^2 does not depend on which variable is regressed on the other.
#pragma once

#include <memory>
#include <vector>

#include "chunked_work.h"
#include "weibull_fit.h"

namespace lifedata {

enum class RegressionAxis { x, y };

// The status words of a three-parameter regression without an interior maximum of r^2.
extern const char* const regressionNoInteriorMaximumText;
// Why data with intervals cannot be fitted by regression.
extern const char* const regressionIntervalText;

// The index of the first record that is an interval with a positive width, or records.size() when
// there is none. Regression needs exact failure times; an interval with equal ends is one.
std::size_t firstIntervalRecord(const LifeData& data);

class RankRegression {
public:
    // `data` (validated, no intervals) must outlive the regression. Throws DataError for data that
    // cannot be fitted, as the maximum-likelihood fits do.
    RankRegression(const PreparedData& data, const FitSettings& settings);
    ~RankRegression();

    // m and eta at location `gamma` (below the smallest failure, or DataError), with rSquared.
    WeibullFit fitTwoParameter(RegressionAxis axis, double gamma);
    // The gamma of the highest interior maximum of r^2 below the smallest failure, refined until the
    // bracket on x1 - gamma is 1e-10 relative; or a status saying why there is none.
    WeibullFit fitThreeParameter(RegressionAxis axis);

private:
    struct Sums;
    Sums sums(double gamma);
    // The sign of d r^2 / d gamma: positive where r^2 rises toward the smallest failure.
    double slopeSign(double gamma);

    const PreparedData& data_;
    std::unique_ptr<ChunkedWork> work_;
    double x1_;
    double units_ = 0;  // failed units: the points
    double meanY_ = 0;
    double syy_ = 0;    // sum of squares of y about its mean
    // Per failure record: its units' mean y and, for syy_, their squares about that mean.
    std::vector<double> recordMeanY_;
};

} // namespace lifedata
