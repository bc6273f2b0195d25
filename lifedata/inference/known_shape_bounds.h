// The bounds of a fit with a known shape. Only eta is free, so its bounds carry over to every B-life
// and reliability, each monotone in eta. Failures and suspensions give the chi-square bounds of
// 2 S / eta^m, chi-square with 2r degrees of freedom (2r + 2 for the lower bound, which stays defined
// with no failure); intervals give likelihood-ratio bounds on the likelihood in eta alone.
#pragma once

#include "known_shape_fit.h"
#include "model_inference.h"

namespace lifedata {

// The estimates and bounds of `fit`, at the request's confidence, B-life percents and times; no
// bounds for BoundsChoice::none. The goodness of fit is not given: its bootstrap refits both parameters.
ModelInference inferKnownShape(const PreparedData& data, const KnownShapeFit& fit, const InferenceRequest& request);

} // namespace lifedata
