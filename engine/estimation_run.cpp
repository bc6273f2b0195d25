// One estimation from the validated inputs to the seven shown results, in its fixed order.
// This is the only place that orders the engine's steps and the only place that reports a failure.
#include "estimation_run.h"

#include "estimation_state.h"
#include "host.h"
#include "location_search.h"
#include "number_text.h"
#include "per_value_work.h"
#include "sample_file.h"
#include "scale_statistics.h"
#include "shape_newton.h"

namespace {

void failRun(const char* text, const char* caption)
{
    stopPerValueWork();
    releaseSamples();
    hostShowError(text, caption);
    hostRunEnded();
}

void showResult(int id, double value)
{
    hostSetFieldText(id, formatScientific(value, 6, 4).c_str());
}

} // namespace

void runEstimation()
{
    state.iterationEnding = IterationEnding::none;
    state.n = readSampleFile(state.RFile);
    runEstimationOnSamples();
}

void runEstimationOnSamples()
{
    if (state.n < 3) {
        failRun("Invalid data type", "Read data error");
        return;
    }
    sortSamples();
    startPerValueWork();

    if (state.autoGamma == 1)
        state.gamma = findLocationParameter();
    if (!(state.samples[0] > state.gamma)) {
        failRun("Invalid gamma", "Parameter error");
        return;
    }

    state.m = newtonSolve(state.initialM, mlShapeEquation, mlShapeDerivative);
    state.t0 = scaleParameter(state.m);
    stopPerValueWork();
    computeStatistics();

    showResult(IDC_RESULT_M, state.m);
    showResult(IDC_RESULT_T0, state.t0);
    showResult(IDC_RESULT_GAMMA, state.gamma);
    showResult(IDC_RESULT_MU, state.mu);
    showResult(IDC_RESULT_XI, state.xi);
    showResult(IDC_RESULT_TM, state.tm);
    showResult(IDC_RESULT_SIGMA2, state.sigma2);
    hostRunEnded();
}
