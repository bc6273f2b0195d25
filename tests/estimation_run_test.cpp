// The estimation run as the host sees it: the results in order, the two failures, the sample's
// ownership across runs, and the end-of-run message last in every case.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "estimation_run.h"
#include "estimation_state.h"
#include "fake_host.h"
#include "host.h"
#include "number_text.h"
#include "plotting_position.h"

namespace {

void prepareRun(const std::string& path, bool autoGamma, double gamma = 0.0, int fi = 1)
{
    fakeHost.events.clear();
    std::strcpy(state.RFile, path.c_str());
    state.autoGamma = autoGamma ? 1 : 0;
    state.gamma = gamma;
    state.initialM = 1.0;
    state.Fi = fi;
    selectRankFunction();
    state.stopRequested.store(0);
}

void expectFailure(const char* text, const char* caption)
{
    ASSERT_EQ(fakeHost.events.size(), 2u);
    EXPECT_EQ(fakeHost.events[0].kind, HostEvent::error);
    EXPECT_EQ(fakeHost.events[0].text, text);
    EXPECT_EQ(fakeHost.events[0].caption, caption);
    EXPECT_EQ(fakeHost.events[1].kind, HostEvent::runEnded);
    EXPECT_EQ(state.samplesHeld, 0);
    EXPECT_EQ(state.samples, nullptr);
}

class EstimationRun : public ::testing::Test {
protected:
    void SetUp() override { resetHostAndState(); }
    void TearDown() override { resetHostAndState(); }
};

TEST_F(EstimationRun, SevenResultsInOrderThenTheEnd)
{
    prepareRun(writeTempFile("run-three.dat", "3\n1\n2\n"), false, 0.0);
    runEstimation();

    const int ids[] = {IDC_RESULT_M, IDC_RESULT_T0, IDC_RESULT_GAMMA, IDC_RESULT_MU,
                       IDC_RESULT_XI, IDC_RESULT_TM, IDC_RESULT_SIGMA2};
    const double values[] = {state.m, state.t0, state.gamma, state.mu, state.xi, state.tm, state.sigma2};
    ASSERT_EQ(fakeHost.events.size(), 8u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(fakeHost.events[i].kind, HostEvent::fieldText);
        EXPECT_EQ(fakeHost.events[i].id, ids[i]);
        EXPECT_EQ(fakeHost.events[i].text, formatScientific(values[i], 6, 4));
    }
    EXPECT_EQ(fakeHost.events[7].kind, HostEvent::runEnded);
    EXPECT_EQ(fakeHost.events[0].text, " 2.7386e+000");
    EXPECT_EQ(fakeHost.events[2].text, " 0.0000e+000");

    // The sample is held sorted for the report.
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_EQ(state.n, 3u);
    EXPECT_EQ(state.samples[0], 1.0);
    EXPECT_EQ(state.samples[2], 3.0);
}

TEST_F(EstimationRun, AutoGammaOnAPublishedSample)
{
    const std::string path = writeTempFile("run-auto.dat",
        "17.88\n28.92\n33.00\n41.52\n42.12\n45.60\n48.48\n51.84\n51.96\n54.12\n55.56\n67.80\n"
        "68.64\n68.64\n68.88\n84.12\n93.12\n98.64\n105.12\n105.84\n127.92\n128.04\n173.40\n");
    prepareRun(path, true, 0.0, 1);
    runEstimation();
    EXPECT_GT(state.gamma, 0.0);
    EXPECT_LT(state.gamma, 17.88 * 0.99);
    EXPECT_GT(state.m, 1.0);
    EXPECT_LT(state.m, 2.1);
    EXPECT_EQ(fakeHost.events.back().kind, HostEvent::runEnded);
}

// The searched location, the shape and the scale of both examples under every rank method with
// Auto Gamma, to the bit, as recorded from the program (whose results an independent reference
// agrees with). Any change of the search, the iteration or the sums shows here first.
TEST_F(EstimationRun, ExamplesToTheBit)
{
    const struct {
        const char* file;
        int fi;
        std::uint64_t gamma, m, t0;
        IterationEnding ending;
    } pinned[] = {
        {"ball_bearings.dat", 1, 0x40201D93AF934526, 0x3FFD9EF10C68A76B, 0x40A5B7BA43B19AA5, IterationEnding::stepRepeating},
        {"ball_bearings.dat", 2, 0x4031B381D7DBF488, 0x3FF5C942C5CEF461, 0x407008667D01E03A, IterationEnding::converged},
        {"ball_bearings.dat", 3, 0x40232398C7FBCBDE, 0x3FFCCDEAC0EEC58A, 0x40A0AB7D0C96E871, IterationEnding::stepRepeating},
        {"ball_bearings.dat", 4, 0x4025AA410A4C7C36, 0x3FFC186D50BA0A2B, 0x409A8D57CB23CD53, IterationEnding::stepRepeating},
        {"glass_fibres.dat", 1, 0x0000000000000000, 0x40171F7014D75C74, 0x4030BCC0B2C053DD, IterationEnding::converged},
        {"glass_fibres.dat", 2, 0x3FE16C8B43958106, 0x4008FAD5D042AAB8, 0x3FF2E1CC9BBCDB5D, IterationEnding::converged},
        {"glass_fibres.dat", 3, 0x0000000000000000, 0x40171F7014D75C74, 0x4030BCC0B2C053DD, IterationEnding::converged},
        {"glass_fibres.dat", 4, 0x0000000000000000, 0x40171F7014D75C74, 0x4030BCC0B2C053DD, IterationEnding::converged},
    };
    for (const auto& p : pinned) {
        prepareRun(std::string(VARNEL_EXAMPLES) + "/" + p.file, true, 0.0, p.fi);
        runEstimation();
        ASSERT_EQ(state.samplesHeld, 1) << p.file;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(state.gamma), p.gamma) << p.file << " rank " << p.fi;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(state.m), p.m) << p.file << " rank " << p.fi;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(state.t0), p.t0) << p.file << " rank " << p.fi;
        EXPECT_EQ(state.iterationEnding, p.ending) << p.file << " rank " << p.fi;
    }
}

TEST_F(EstimationRun, TooFewValues)
{
    prepareRun(writeTempFile("run-two.dat", "1\n2\n"), false);
    runEstimation();
    expectFailure("Invalid data type", "Read data error");
    EXPECT_EQ(state.n, 2u);

    prepareRun("/nonexistent/varnel.dat", false);
    runEstimation();
    expectFailure("Invalid data type", "Read data error");
    EXPECT_EQ(state.n, 0u);
}

TEST_F(EstimationRun, GammaMustLieBelowTheSmallestValue)
{
    const std::string path = writeTempFile("run-gamma.dat", "2\n3\n4\n");
    prepareRun(path, false, 2.0);
    runEstimation();
    expectFailure("Invalid gamma", "Parameter error");

    prepareRun(path, false, std::nextafter(2.0, 0.0));
    runEstimation();
    EXPECT_EQ(fakeHost.events.size(), 8u);
    EXPECT_EQ(state.samplesHeld, 1);

    // A smallest value of 0 makes the search return 0, which is then refused.
    prepareRun(writeTempFile("run-zero.dat", "0\n3\n4\n"), true);
    runEstimation();
    expectFailure("Invalid gamma", "Parameter error");
}

TEST_F(EstimationRun, FailuresAfterSuccessReleaseOnce)
{
    // Under the sanitizers a double release or a leak fails this test.
    prepareRun(writeTempFile("run-ok.dat", "1\n2\n3\n"), false);
    runEstimation();
    ASSERT_EQ(state.samplesHeld, 1);

    prepareRun(writeTempFile("run-short.dat", "1\n"), false);
    runEstimation();
    expectFailure("Invalid data type", "Read data error");

    prepareRun("/nonexistent/varnel.dat", false);
    runEstimation();
    expectFailure("Invalid data type", "Read data error");

    prepareRun(writeTempFile("run-ok2.dat", "1\n2\n3\n"), false);
    runEstimation();
    prepareRun(writeTempFile("run-ok3.dat", "4\n5\n6\n7\n"), false);
    runEstimation();
    EXPECT_EQ(state.n, 4u);
    EXPECT_EQ(state.samplesHeld, 1);
}

TEST_F(EstimationRun, NonFiniteResultsStillShow)
{
    // An infinite observation makes the sums infinite; the run goes on and shows the special texts.
    prepareRun(writeTempFile("run-inf.dat", "1\n2\n1e400\n"), false);
    runEstimation();
    ASSERT_EQ(fakeHost.events.size(), 8u);
    EXPECT_EQ(fakeHost.events.back().kind, HostEvent::runEnded);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fakeHost.events[i].text.size(), 12u);
}

} // namespace
