// The criteria as their authors define them, with the likelihood's constants included.
#include "information_criteria.h"

#include <cmath>
#include <limits>

namespace lifedata {

InformationCriteria informationCriteria(double logLikelihood, int parameters, double units)
{
    const double k = parameters;
    InformationCriteria criteria;
    criteria.aic = 2 * k - 2 * logLikelihood;
    criteria.aicc = units > k + 1 ? criteria.aic + 2 * k * (k + 1) / (units - k - 1)
                                  : std::numeric_limits<double>::quiet_NaN();
    criteria.bic = k * std::log(units) - 2 * logLikelihood;
    return criteria;
}

} // namespace lifedata
