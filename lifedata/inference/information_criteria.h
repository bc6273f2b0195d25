// Akaike's and Schwarz's information criteria of a maximum-likelihood fit, for choosing between
// models of the same data: the smaller, the better.
#pragma once

namespace lifedata {

struct InformationCriteria {
    double aic;
    double aicc; // NaN where n <= k + 1: the small-sample correction has no value there
    double bic;
};

// k parameters, n units (counts included), log-likelihood l: AIC = 2k - 2l,
// AICc = AIC + 2k(k + 1)/(n - k - 1), BIC = k ln n - 2l.
InformationCriteria informationCriteria(double logLikelihood, int parameters, double units);

} // namespace lifedata
