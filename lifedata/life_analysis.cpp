// One life-data analysis.
#include "life_analysis.h"

namespace lifedata {

Analysis analyseLifeData(const LifeData& data, const AnalysisRequest&)
{
    validateLifeData(data);
    Analysis analysis;
    analysis.data = summarizeLifeData(data);
    return analysis;
}

} // namespace lifedata
