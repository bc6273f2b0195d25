// The delta method in (ln m, ln eta, gamma): se(q)^2 = g' C g with g the gradient of q.
#include "fisher_bounds.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

ConfidenceInterval numbers(double lower, double upper) { return {{lower, ""}, {upper, ""}}; }

// exp(ln value +- z se) for a quantity whose logarithm has standard error se.
ConfidenceInterval logScale(double value, double seOfLog, double z)
{
    return numbers(std::exp(std::log(value) - z * seOfLog), std::exp(std::log(value) + z * seOfLog));
}

} // namespace

double deltaMethodVariance(const ParameterCovariance& covariance, const double (&gradient)[3])
{
    double sum = 0;
    for (int i = 0; i < covariance.size; ++i) {
        for (int j = 0; j < covariance.size; ++j)
            sum += gradient[i] * covariance.c[i][j] * gradient[j];
    }
    return sum;
}

bool covarianceFromHessian(const double (&hessian)[3][3], int size, ParameterCovariance& covariance)
{
    // Cholesky factor of the information I = -H, then I^-1 column by column.
    double L[3][3] = {};
    for (int j = 0; j < size; ++j) {
        double diagonal = -hessian[j][j];
        for (int k = 0; k < j; ++k)
            diagonal -= L[j][k] * L[j][k];
        if (!(diagonal > 0) || !std::isfinite(diagonal))
            return false;
        L[j][j] = std::sqrt(diagonal);
        for (int i = j + 1; i < size; ++i) {
            double sum = -hessian[i][j];
            for (int k = 0; k < j; ++k)
                sum -= L[i][k] * L[j][k];
            L[i][j] = sum / L[j][j];
        }
    }
    covariance = ParameterCovariance{};
    covariance.size = size;
    for (int column = 0; column < size; ++column) {
        double y[3] = {};
        for (int i = 0; i < size; ++i) {
            double sum = i == column ? 1.0 : 0.0;
            for (int k = 0; k < i; ++k)
                sum -= L[i][k] * y[k];
            y[i] = sum / L[i][i];
        }
        for (int i = size - 1; i >= 0; --i) {
            double sum = y[i];
            for (int k = i + 1; k < size; ++k)
                sum -= L[k][i] * covariance.c[k][column];
            covariance.c[i][column] = sum / L[i][i];
        }
    }
    return true;
}

ConfidenceInterval fisherShapeBounds(const WeibullEstimate& e, const ParameterCovariance& covariance, double z)
{
    return logScale(e.m, std::sqrt(covariance.c[0][0]), z);
}

ConfidenceInterval fisherScaleBounds(const WeibullEstimate& e, const ParameterCovariance& covariance, double z)
{
    return logScale(e.eta, std::sqrt(covariance.c[1][1]), z);
}

ConfidenceInterval fisherLocationBounds(const WeibullEstimate& e, const ParameterCovariance& covariance, double z)
{
    if (covariance.size < 3)
        return numbers(notANumber, notANumber);
    const double se = std::sqrt(covariance.c[2][2]);
    return numbers(e.gamma - z * se, e.gamma + z * se);
}

double bLife(const WeibullEstimate& e, double percent)
{
    const double w = -std::log1p(-percent / 100);
    return e.gamma + e.eta * std::pow(w, 1 / e.m);
}

ConfidenceInterval fisherBLifeBounds(const WeibullEstimate& e, const ParameterCovariance& covariance, double z,
                                     double percent)
{
    const double w = -std::log1p(-percent / 100);
    const double above = e.eta * std::pow(w, 1 / e.m); // t_P - gamma
    const double tP = e.gamma + above;
    // d t_P / d ln m, d ln eta, d gamma
    const double gradient[3] = {-above * std::log(w) / e.m, above, 1};
    const double se = std::sqrt(deltaMethodVariance(covariance, gradient));
    if (tP <= 0)
        return numbers(tP - z * se, tP + z * se);
    return logScale(tP, se / tP, z);
}

double reliability(const WeibullEstimate& e, double t)
{
    if (t <= e.gamma)
        return 1;
    return std::exp(-std::pow((t - e.gamma) / e.eta, e.m));
}

ConfidenceInterval fisherReliabilityBounds(const WeibullEstimate& e, const ParameterCovariance& covariance, double z,
                                           double t)
{
    if (t <= e.gamma)
        return numbers(notANumber, notANumber);
    const double u = e.m * (std::log(t - e.gamma) - std::log(e.eta));
    // d u / d ln m, d ln eta, d gamma
    const double gradient[3] = {u, -e.m, -e.m / (t - e.gamma)};
    const double se = std::sqrt(deltaMethodVariance(covariance, gradient));
    // R falls as u rises: the lower bound of R comes from the upper one of u.
    return numbers(std::exp(-std::exp(u + z * se)), std::exp(-std::exp(u - z * se)));
}

} // namespace lifedata
