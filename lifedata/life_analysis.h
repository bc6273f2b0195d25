// One life-data analysis: the data summary, the fits asked for and their comparison.
#pragma once

#include "life_data.h"
#include "weibull_fit.h"

namespace lifedata {

enum class ModelChoice { both, twoParameter, threeParameter };

struct AnalysisRequest {
    ModelChoice model = ModelChoice::both;
    double gamma = 0;     // the fixed location of the two-parameter fit
    unsigned threads = 0; // 0: one per hardware thread; never changes a result
};

// 2 (l3 - l2) and its approximate chi-square (1 degree of freedom) p-value.
struct LikelihoodRatioTest {
    bool available = false;
    double statistic = std::numeric_limits<double>::quiet_NaN();
    double pValue = std::numeric_limits<double>::quiet_NaN();
};

struct Analysis {
    DataSummary data;
    WeibullFit twoParameter;
    ThreeParameterFit threeParameter;
    LikelihoodRatioTest likelihoodRatio;
};

// Validates the data and fits what was asked for. Throws DataError for data that cannot be analysed.
Analysis analyseLifeData(const LifeData& data, const AnalysisRequest& request);

} // namespace lifedata
