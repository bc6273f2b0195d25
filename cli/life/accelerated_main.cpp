// The accelerated analysis of the command line: the stress column read with the data, the
// analysis, its results and its pictures.
#include "life/accelerated_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "accelerated_json.h"
#include "life_data_file.h"
#include "life/accelerated_plot.h"
#include "life/accelerated_text.h"

namespace {

lifedata::AcceleratedRequest requestFrom(const CliOptions& options)
{
    lifedata::AcceleratedRequest request;
    request.model = options.stress.model;
    request.celsius = options.stress.celsius;
    request.useStresses = options.stress.use;
    request.settings = options.bounds;
    request.settings.threads = options.threads;
    return request;
}

// The B-life of the life-stress picture: the first --b-life, else B10, the customary one.
double lifeStressPercent(const CliOptions& options)
{
    return options.bLifeGiven && !options.bounds.bLifePercents.empty() ? options.bounds.bLifePercents.front() : 10;
}

} // namespace

AcceleratedOutcome runAcceleratedAnalysis(const CliOptions& options)
{
    AcceleratedOutcome outcome;
    lifedata::AcceleratedAnalysis analysis;
    lifedata::LifeData data;
    try {
        data = lifedata::readLifeDataFile(options.dataFile, lifedata::StressColumn{options.stress.celsius});
        analysis = lifedata::analyseAcceleratedLife(data, requestFrom(options));
    } catch (const lifedata::DataError& error) {
        outcome.error = error.what();
        return outcome;
    } catch (const std::bad_alloc&) {
        outcome.error = options.dataFile + ": not enough memory to analyse the data";
        return outcome;
    }
    outcome.results = options.json ? lifedata::acceleratedAnalysisJson(analysis) : acceleratedText(analysis);
    outcome.status = analysis.fit.status == lifedata::FitStatus::ok ? 0 : 1;
    if (!options.plotPath.empty()) {
        std::string failed;
        errno = 0;
        if (!writeAcceleratedPlots(options.plotPath, options.dataFile, data, analysis, lifeStressPercent(options),
                                   options.bounds.confidence, failed)) {
            std::fprintf(stderr, "varnel: cannot write plot %s: %s\n", failed.c_str(),
                         errno ? std::strerror(errno) : "write failed");
            outcome.status = 1;
        }
    }
    return outcome;
}
