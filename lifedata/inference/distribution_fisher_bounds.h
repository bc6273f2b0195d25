// Fisher-matrix bounds of any fitted distribution: the covariance of its fit coordinates p from the
// observed information, and bounds of its parameters, B-lives and reliabilities by the delta method.
#pragma once

#include "confidence_interval.h"
#include "distribution_quantity.h"
#include "fisher_bounds.h"

namespace lifedata {

// The inverse of minus the Hessian in p over the free coordinates (every one but a location held at
// x1); the held one's rows and columns are 0. False where the information there is not positive
// definite.
bool distributionCovariance(const QuantityContext& context, const double (&hessian)[3][3],
                            ParameterCovariance& covariance);

// Bounds at normal quantile z:
//   a positive parameter exp(ln v +- z se), a location v +- z se;
//   a B-life gamma + (t - gamma) exp(+-z se(ln(t - gamma))), or t +- z se(t) where the model allows
//   negative times;
//   a reliability S0(u -+ z se(u)) on the standard variable, or the logistic of logit R +- z se.
// NaN sides where the quantity has no bounds.
ConfidenceInterval fisherDistributionBounds(const QuantityContext& context, const DistributionQuantity& quantity,
                                            const double* p, const ParameterCovariance& covariance, double z);

} // namespace lifedata
