// `varnel`, the command-line program: the same estimation run as the desktop program, with the
// terminal as its host, Ctrl-C as its Stop button and standard output for the results.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "data_file_check.h"
#include "estimation_run.h"
#include "estimation_state.h"
#include "host.h"
#include "json_output.h"
#include "life/bounds_options.h"
#include "life/distribution_options.h"
#include "life/analysis_main.h"
#include "life/plan_main.h"
#include "life/plan_options.h"
#include "options.h"
#include "plot_svg.h"
#include "plotting_position.h"
#include "report_file.h"
#include "shape_newton.h"
#include "terminal_host.h"

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;
constexpr int exitInterrupted = 130;

volatile std::sig_atomic_t interrupts = 0;

// The first Ctrl-C is the Stop button; a second one means the user wants out now.
extern "C" void onInterrupt(int)
{
    if (interrupts != 0)
        _exit(exitInterrupted);
    interrupts = 1;
    state.stopRequested.store(1);
}

void installInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

// The clock counts nanoseconds in 64 bits: a longer wait would overflow its deadline and end at once.
// About 31 years is longer than any run and still fits.
constexpr double longestTimeLimit = 1e9;

// Sets the stop flag when the time limit passes, unless the run ends first.
class StopTimer {
public:
    explicit StopTimer(double seconds)
    {
        if (seconds > 0)
            thread_ = std::thread([this, seconds] { wait(std::min(seconds, longestTimeLimit)); });
    }
    ~StopTimer()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }
    bool fired() const { return fired_.load(); }

private:
    void wait(double seconds)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!wake_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return finished_; })) {
            // A Ctrl-C that came first keeps the stop as its own.
            if (state.stopRequested.exchange(1) != 1)
                fired_.store(true);
        }
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    std::atomic<bool> fired_{false};
};

int usageError(const std::string& reason)
{
    std::fprintf(stderr, "varnel: %s\nTry 'varnel --help' for more information.\n", reason.c_str());
    return exitUsage;
}

bool copyPath(char* target, std::size_t capacity, const std::string& path)
{
    if (path.size() >= capacity)
        return false;
    std::memcpy(target, path.c_str(), path.size() + 1);
    return true;
}

bool writeStandardOutput(const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

int printResults(const CliOptions& options, StopCause stop)
{
    const bool reportToStdout = options.writeReportFile && options.reportPath == "-";
    const bool written = reportToStdout ? writeReportTo(stdout) && std::fflush(stdout) == 0
                                        : writeStandardOutput(options.json ? runJson(stop, runFailure()) : resultSummary());
    if (!written) {
        std::fprintf(stderr, "varnel: cannot write to standard output: %s\n", std::strerror(errno));
        return exitFailure;
    }
    int status = 0;
    if (options.writeReportFile && !reportToStdout) {
        errno = 0;
        if (!writeReport()) {
            std::fprintf(stderr, "varnel: cannot write report %s: %s\n", options.reportPath.c_str(),
                         errno ? std::strerror(errno) : "write failed");
            status = exitFailure;
        }
    }
    if (!options.plotPath.empty()) {
        errno = 0;
        if (!writeWeibullPlot(options.plotPath, stop != StopCause::none)) {
            std::fprintf(stderr, "varnel: cannot write plot %s: %s\n", options.plotPath.c_str(),
                         errno ? std::strerror(errno) : "write failed");
            status = exitFailure;
        }
    }
    return status;
}

// Says on standard error how an iteration that did not converge ended. A stop request that came
// after the iteration had ended by itself changed nothing and is not mentioned.
StopCause tellIterationEnding(bool timedOut)
{
    switch (state.iterationEnding) {
    case IterationEnding::stopped:
        std::fputs(timedOut ? "varnel: time limit reached; the iteration was stopped, results are for the m reached\n"
                            : "varnel: the iteration was stopped; results are for the m reached\n",
                   stderr);
        return timedOut ? StopCause::timeLimit : StopCause::interrupt;
    case IterationEnding::diverged:
        std::fputs("varnel: the iteration diverged (m beyond 1e154); results are for the m reached\n", stderr);
        break;
    case IterationEnding::stepRepeating:
        std::fputs("varnel: the iteration ended by itself where its damped step could only repeat itself; "
                   "results are for that m\n",
                   stderr);
        break;
    case IterationEnding::notFinite:
        std::fputs("varnel: the iteration ended where the equation's value was not a number (powers of the "
                   "sample no longer finite); results are for the m reached\n",
                   stderr);
        break;
    case IterationEnding::converged:
    case IterationEnding::none:
        break;
    }
    return StopCause::none;
}

// A failed run has said why on standard error; with --json standard output gets the failure too.
// Nothing else is written: no report and no plot.
int reportFailure(const CliOptions& options)
{
    if (options.json)
        writeStandardOutput(runJson(StopCause::none, runFailure()));
    return exitFailure;
}

} // namespace

int main(int argc, char** argv)
{
    CliOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error))
        return usageError(error);
    if (options.help) {
        std::fputs(usageText, stdout);
        std::fputs(boundsUsageText, stdout);
        std::fputs(distributionUsageText, stdout);
        std::fputs(stressUsageText, stdout);
        std::fputs(planUsageText, stdout);
        return 0;
    }
    if (options.version) {
        std::fputs("varnel 1.00\n", stdout);
        return 0;
    }
    if (options.plan)
        return runPlan(options);
    if (options.mle)
        return runLifeAnalysis(options);
    if (!copyPath(state.RFile, sizeof state.RFile, options.dataFile))
        return usageError("data file path is longer than 511 characters");
    if (options.writeReportFile && !copyPath(state.reportFile, sizeof state.reportFile, options.reportPath))
        return usageError("report path is longer than 511 characters");

    state.autoGamma = options.autoGamma ? 1 : 0;
    state.gamma = options.gamma;
    state.initialM = options.initialM;
    state.Fi = options.rank;
    selectRankFunction();
    state.stopRequested.store(0);

    const std::string problem = dataFileProblem(options.dataFile);
    setDataFileProblem(problem);
    if (!problem.empty()) {
        hostShowError("Invalid data type", "Read data error");
        return reportFailure(options);
    }
    warnAboutLifeDataLines(options.dataFile);
    if (!options.quiet && isatty(STDERR_FILENO))
        enableMonitor();
    installInterruptHandler();

    bool timedOut = false;
    {
        StopTimer timer(options.timeLimit);
        runEstimation();
        timedOut = timer.fired();
    }
    if (state.samplesHeld != 1)
        return reportFailure(options);
    return printResults(options, tellIterationEnding(timedOut));
}
