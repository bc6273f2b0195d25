// Fisher-matrix confidence bounds: the covariance of the estimate is the inverse of the observed
// information in the parameters (ln m, ln eta[, gamma]), and bounds of derived quantities follow
// from it by the delta method.
#pragma once

#include "confidence_interval.h"

namespace lifedata {

// A covariance in (ln m, ln eta) (size 2, gamma fixed) or (ln m, ln eta, gamma) (size 3).
struct ParameterCovariance {
    int size = 0;
    double c[3][3] = {};
};

// The inverse of minus the leading size x size block of `hessian`; false when minus that block is
// not positive definite (the point is no proper maximum, and there is no covariance).
bool covarianceFromHessian(const double (&hessian)[3][3], int size, ParameterCovariance& covariance);

// The estimate the bounds are about.
struct WeibullEstimate {
    double m;
    double eta;
    double gamma;
};

// g' C g: the variance of a quantity whose gradient in the parameters is g (delta method).
double deltaMethodVariance(const ParameterCovariance& covariance, const double (&gradient)[3]);

// Bounds at normal quantile z (the two-sided level's). m and eta: exp(ln value +- z se);
// gamma: value +- z se (size 3 only).
ConfidenceInterval fisherShapeBounds(const WeibullEstimate&, const ParameterCovariance&, double z);
ConfidenceInterval fisherScaleBounds(const WeibullEstimate&, const ParameterCovariance&, double z);
ConfidenceInterval fisherLocationBounds(const WeibullEstimate&, const ParameterCovariance&, double z);

// t_P = gamma + eta (-ln(1 - P/100))^(1/m), the time by which P percent fail.
double bLife(const WeibullEstimate&, double percent);
// exp(ln t_P +- z se(ln t_P)); t_P +- z se(t_P) where t_P <= 0, which no logarithm can carry.
ConfidenceInterval fisherBLifeBounds(const WeibullEstimate&, const ParameterCovariance&, double z, double percent);

// R(t) = exp(-((t - gamma)/eta)^m), 1 where t <= gamma.
double reliability(const WeibullEstimate&, double t);
// With u = m (ln(t - gamma) - ln eta): exp(-exp(u +- z se(u))). No bounds (NaN sides) where t <= gamma.
ConfidenceInterval fisherReliabilityBounds(const WeibullEstimate&, const ParameterCovariance&, double z, double t);

} // namespace lifedata
