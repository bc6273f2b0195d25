// The small-sample correction of the maximum-likelihood shape: m * C4(r)^3.5 with
// C4(r) = sqrt(2/(r - 1)) G(r/2) / G((r - 1)/2) and r failed units. The handbooks apply it to
// two-parameter fits of complete or right-censored data; the scale is left as fitted.
#pragma once

namespace lifedata {

// C4(r)^3.5; NaN below r = 2.
double reducedBiasFactor(double failures);

} // namespace lifedata
