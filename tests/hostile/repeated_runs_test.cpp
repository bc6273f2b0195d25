// Run after run in one process, as the desktop program makes them, ending in every way a run can end:
// results, Stop, "Invalid gamma" after the search, too few values, a file that cannot be opened.
// Samples large enough to be shared out over threads, and of changing sizes, so that every per-run
// array is made, resized and released. Under the sanitizer build a leak, a second release or a use
// after release fails this test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "estimation_run.h"
#include "estimation_state.h"
#include "fake_host.h"
#include "plotting_position.h"

namespace {

// n quantiles of a Weibull distribution above 10: a sample the search and the iteration settle on.
std::string weibullSample(int n, double shape)
{
    std::string text;
    for (int i = 0; i < n; ++i) {
        const double u = (i + 0.5) / n;
        text += std::to_string(10.0 + 5.0 * std::pow(-std::log(1.0 - u), 1.0 / shape)) + "\n";
    }
    return text;
}

struct RunCase {
    std::string path;
    bool autoGamma;
    long stopAfterTicks; // -1: not stopped
    const char* failure; // the error text, or null for results
};

TEST(RepeatedRuns, EveryArrayIsReleasedOnce)
{
    resetHostAndState();
    const std::string large = writeTempFile("repeated-large.dat", weibullSample(40000, 1.5));
    const std::string other = writeTempFile("repeated-other.dat", weibullSample(25000, 0.8));
    const std::string zero = writeTempFile("repeated-zero.dat", "0\n" + weibullSample(20000, 2.0));
    const std::string two = writeTempFile("repeated-two.dat", "1\n2\n");

    const RunCase runs[] = {
        {large, true, -1, nullptr},
        {large, true, 2, nullptr},
        {other, false, 1, nullptr},
        {zero, true, -1, "Invalid gamma"},
        {zero, true, -1, "Invalid gamma"},
        {large, false, -1, nullptr},
        {two, true, -1, "Invalid data type"},
        {other, true, 2, nullptr},
        {"/nonexistent/varnel-repeated.dat", true, -1, "Invalid data type"},
        {large, true, 2, nullptr},
    };
    int index = 0;
    for (const RunCase& run : runs) {
        SCOPED_TRACE(testing::Message() << "run " << index++ << " on " << run.path);
        fakeHost.events.clear();
        fakeHost.tickStep = 1;
        fakeHost.ticksUntilStop = run.stopAfterTicks;
        std::strcpy(state.RFile, run.path.c_str());
        state.autoGamma = run.autoGamma ? 1 : 0;
        state.gamma = 9.0;
        state.initialM = 1.0;
        state.Fi = 1;
        selectRankFunction();
        state.stopRequested.store(0);

        runEstimation();

        ASSERT_FALSE(fakeHost.events.empty());
        EXPECT_EQ(fakeHost.events.back().kind, HostEvent::runEnded);
        if (run.failure) {
            ASSERT_EQ(fakeHost.events.size(), 2u);
            EXPECT_EQ(fakeHost.events[0].text, run.failure);
            EXPECT_EQ(state.samplesHeld, 0);
            EXPECT_EQ(state.samples, nullptr);
        } else {
            EXPECT_EQ(state.samplesHeld, 1);
            EXPECT_EQ(state.stopRequested.load(), run.stopAfterTicks >= 0 ? 1 : 0);
            EXPECT_TRUE(std::isfinite(state.m));
        }
    }
    resetHostAndState();
}

} // namespace
