// `varnel --life`: reads life data, fits the models asked for and writes text or JSON, and the plot.
// Every failure is a message on standard error and exit status 1; with --json standard output also
// gets one object naming the error, so that a script always has a document to read.
#include "life/analysis_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "analysis_json.h"
#include "data_file_check.h"
#include "json_text.h"
#include "life_data_file.h"
#include "rank_regression.h"
#include "life/analysis_text.h"
#include "life/analysis_plot_svg.h"
#include "life/group_analysis_main.h"
#include "life/accelerated_main.h"

namespace {

constexpr int exitFailure = 1;

bool writeStandardOutput(const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

int fail(const CliOptions& options, const std::string& message)
{
    std::fprintf(stderr, "varnel: %s\n", message.c_str());
    if (options.json) {
        JsonObject root(0);
        root.add("method", jsonString(lifedata::methodName(options.method)));
        root.add("error", jsonString(message));
        writeStandardOutput(root.close() + "\n");
    }
    return exitFailure;
}

lifedata::AnalysisRequest requestFrom(const CliOptions& options)
{
    lifedata::AnalysisRequest request = options.bounds;
    // A known shape is a two-parameter model with one parameter given.
    request.model = options.twoParameter || !options.autoGamma || options.shape > 0
                        ? lifedata::ModelChoice::twoParameter
                        : lifedata::ModelChoice::both;
    request.shape = options.shape;
    request.gamma = options.autoGamma ? 0 : options.gamma;
    request.threads = options.threads;
    request.method = options.method;
    request.mixture = options.mixture;
    request.modes = options.modes;
    return request;
}

// Rank regression names the data file's first interval line, where the analysis could only name
// the record.
std::string regressionIntervalProblem(const CliOptions& options, const lifedata::LifeData& data)
{
    if (options.method == lifedata::EstimationMethod::mle)
        return "";
    const std::size_t interval = lifedata::firstIntervalRecord(data);
    if (interval == data.states.size())
        return "";
    return options.dataFile + ":" + std::to_string(lifedata::lineOfRecord(options.dataFile, interval)) + ": " +
           lifedata::regressionIntervalText;
}

} // namespace

lifedata::AnalysisRequest lifeAnalysisRequest(const CliOptions& options) { return requestFrom(options); }

int runLifeAnalysis(const CliOptions& options)
{
    if (!options.groupColumn.empty())
        return runGroupAnalysis(options);
    const std::string problem = dataFileProblem(options.dataFile);
    if (!problem.empty())
        return fail(options, problem);
    if (options.stress.given) {
        const AcceleratedOutcome accelerated = runAcceleratedAnalysis(options);
        if (!accelerated.error.empty())
            return fail(options, accelerated.error);
        if (!writeStandardOutput(accelerated.results)) {
            std::fprintf(stderr, "varnel: cannot write to standard output: %s\n", std::strerror(errno));
            return exitFailure;
        }
        return accelerated.status;
    }
    const lifedata::AnalysisRequest request = requestFrom(options);
    lifedata::LifeData data;
    lifedata::Analysis analysis;
    try {
        data = lifedata::readLifeDataFile(options.dataFile);
        const std::string intervalProblem = regressionIntervalProblem(options, data);
        if (!intervalProblem.empty())
            return fail(options, intervalProblem);
        analysis = lifedata::analyseLifeData(data, request);
    } catch (const lifedata::DataError& error) {
        return fail(options, error.what());
    } catch (const std::bad_alloc&) {
        return fail(options, options.dataFile + ": not enough memory to analyse the data");
    }

    const std::string results = options.json ? lifedata::analysisJson(analysis, request) : analysisText(analysis, request);
    if (!writeStandardOutput(results)) {
        std::fprintf(stderr, "varnel: cannot write to standard output: %s\n", std::strerror(errno));
        return exitFailure;
    }
    // Zero failures with a known shape is what a Weibayes demonstration expects: its bound is the result.
    const lifedata::FitStatus fitted = analysis.twoParameter.status;
    int status = fitted == lifedata::FitStatus::ok || fitted == lifedata::FitStatus::zeroFailures ? 0 : exitFailure;
    // A comparison succeeds where any distribution was fitted.
    if (!request.distributions.empty())
        status = !analysis.distributions.empty() && analysis.distributions.front().estimated ? 0 : exitFailure;
    if (!options.plotPath.empty()) {
        errno = 0;
        if (!writeLifeDataPlot(options.plotPath, options.dataFile, data, analysis, options.paper)) {
            std::fprintf(stderr, "varnel: cannot write plot %s: %s\n", options.plotPath.c_str(),
                         errno ? std::strerror(errno) : "write failed");
            status = exitFailure;
        }
    }
    return status;
}

void warnAboutLifeDataLines(const std::string& path)
{
    const std::uint64_t marked = lifedata::countMarkedLines(path);
    if (marked == 0)
        return;
    const std::string lines = std::to_string(marked) + (marked == 1 ? " data line is" : " data lines are");
    std::fprintf(stderr,
                 "varnel: warning: %s marked S or I or with a count; the classic method counts each line as one "
                 "failure (use --life for suspensions, intervals and counts)\n",
                 lines.c_str());
}
