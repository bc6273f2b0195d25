// JSON of a run. Numbers are written in the shortest form that parses back to the same double, so
// a script gets the run's values bit for bit; JSON has no infinities or NaNs, so those are null with
// the program's own number text beside them.
#include "json_output.h"

#include "estimation_state.h"
#include "json_text.h"
#include "plotting_position.h"
#include "shape_newton.h"

namespace {

std::string inputsJson()
{
    JsonObject inputs(1);
    inputs.add("dataFile", jsonString(state.RFile));
    inputs.add("rankMethod", std::to_string(state.Fi));
    inputs.add("rankMethodLabel", jsonString(rankMethodLabel(state.Fi)));
    inputs.addBool("gammaSearched", state.autoGamma == 1);
    if (state.autoGamma != 1)
        inputs.addNumber("gamma", state.gamma);
    inputs.addNumber("initialM", state.initialM);
    return inputs.close();
}

std::string resultsJson()
{
    JsonObject results(1);
    results.addNumber("m", state.m);
    results.addNumber("t0", state.t0);
    results.addNumber("gamma", state.gamma);
    results.addNumber("mu", state.mu);
    results.addNumber("xi", state.xi);
    results.addNumber("tm", state.tm);
    results.addNumber("sigma2", state.sigma2);
    return results.close();
}

std::string errorJson(const RunFailure& failure)
{
    JsonObject error(1);
    error.add("caption", jsonString(failure.caption));
    error.add("text", jsonString(failure.text));
    if (!failure.reason.empty())
        error.add("reason", jsonString(failure.reason));
    return error.close();
}

const char* stopCauseName(StopCause stop) { return stop == StopCause::timeLimit ? "time limit" : "interrupt"; }

// The iteration's ending in words; a stop names the time limit when that was what stopped it.
const char* endingText(StopCause stop)
{
    if (state.iterationEnding == IterationEnding::stopped && stop == StopCause::timeLimit)
        return "time limit";
    return iterationEndingName(state.iterationEnding);
}

} // namespace

std::string runJson(StopCause stop, const RunFailure& failure)
{
    const bool succeeded = state.samplesHeld == 1;
    const bool stopped = succeeded && state.iterationEnding == IterationEnding::stopped;
    JsonObject run(0);
    run.add("inputs", inputsJson());
    run.add("n", std::to_string(state.n));
    run.addBool("stopped", stopped);
    if (stopped)
        run.add("stopCause", jsonString(stopCauseName(stop)));
    run.add("ending", succeeded ? jsonString(endingText(stop)) : "null");
    run.add("results", succeeded ? resultsJson() : "null");
    run.add("error", succeeded ? "null" : errorJson(failure));
    return run.close() + "\n";
}
