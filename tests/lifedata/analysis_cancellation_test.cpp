// Cancelling an analysis: a set flag stops every stage with AnalysisCancelled, on the calling
// thread; a flag that stays clear changes nothing, to the bit.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "analysis_json.h"
#include "bootstrap_goodness_of_fit.h"
#include "life_analysis.h"
#include "life_data_file.h"

using namespace lifedata;

namespace {

LifeData example(const char* name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

AnalysisRequest everything()
{
    AnalysisRequest request;
    request.at = {50};
    request.bootstrap = 20;
    request.threads = 2;
    return request;
}

TEST(AnalysisCancellation, AClearFlagChangesNoBit)
{
    for (const char* name : {"ball_bearings.dat", "salinity_intervals.dat"}) {
        const LifeData data = example(name);
        const AnalysisRequest plain = everything();
        AnalysisRequest watched = plain;
        const std::atomic<bool> cancel{false};
        watched.cancel = &cancel;
        EXPECT_EQ(analysisJson(analyseLifeData(data, watched), watched), analysisJson(analyseLifeData(data, plain), plain))
            << name;
    }
}

TEST(AnalysisCancellation, ASetFlagStopsTheAnalysisAndEachStage)
{
    const LifeData data = example("ball_bearings.dat");
    const std::atomic<bool> cancel{true};
    AnalysisRequest request = everything();
    request.cancel = &cancel;
    EXPECT_THROW(analyseLifeData(data, request), AnalysisCancelled);

    // The stages that run longest check the flag themselves: the likelihood of the bounds' searches
    // and the bootstrap, whose refits run on helper threads and must not throw there.
    const PreparedData prepared = prepareLifeData(data);
    ChunkedWork work(1);
    LikelihoodEvaluator likelihood(prepared, work, &cancel);
    EXPECT_THROW(likelihood.evaluate(2, 80, 0, 2), AnalysisCancelled);
    const BootstrapRequest bootstrap{{2.1, 81.9, 0}, false, 23, 0.3, 50, 1, 3, &cancel};
    EXPECT_THROW(bootstrapAndersonDarling(bootstrap), AnalysisCancelled);
}

} // namespace
