// The shape equation, its slope and the Newton iteration: values, the monitor, Stop and every ending.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "estimation_state.h"
#include "fake_host.h"
#include "host.h"
#include "number_text.h"
#include "scale_statistics.h"
#include "shape_newton.h"

namespace {

void holdSample(const std::vector<double>& values, double gamma)
{
    resetHostAndState();
    state.samples = new double[values.size()];
    std::copy(values.begin(), values.end(), state.samples);
    state.samplesHeld = 1;
    state.n = static_cast<std::uint32_t>(values.size());
    state.gamma = gamma;
}

class ShapeNewton : public ::testing::Test {
protected:
    void TearDown() override { resetHostAndState(); }
};

TEST_F(ShapeNewton, EquationSlopeAndRootForOneTwoThree)
{
    holdSample({1, 2, 3}, 0);
    EXPECT_NEAR(mlShapeEquation(1), 2.45069385567, 1e-11);
    EXPECT_NEAR(mlShapeDerivative(1), -4.68192220991, 1e-11);
    EXPECT_NEAR(mlShapeEquation(2), 0.578881043460, 1e-12);
    EXPECT_NEAR(mlShapeDerivative(2), -2.67175866697, 1e-11);
    EXPECT_NEAR(newtonSolve(1, mlShapeEquation, mlShapeDerivative), 2.73857317360, 1e-11);
}

// With gamma held fixed, m and the characteristic life t0^(1/m) are the two-parameter maximum-likelihood
// estimates of x = t - gamma. Reference values: scipy 1.10.1, weibull_min.fit(x, floc=0) with its
// optimiser tightened (scipy.optimize.fmin, xtol=1e-13, ftol=1e-15); compared to about 1e-6 relative.
TEST_F(ShapeNewton, AgreesWithAnIndependentMaximumLikelihoodFit)
{
    const std::vector<double> bearings = {17.88, 28.92, 33.00, 41.52, 42.12, 45.60, 48.48, 51.84,
                                          51.96, 54.12, 55.56, 67.80, 68.64, 68.64, 68.88, 84.12,
                                          93.12, 98.64, 105.12, 105.84, 127.92, 128.04, 173.40};
    const std::vector<double> fibres = {
        0.55, 0.74, 0.77, 0.81, 0.84, 0.93, 1.04, 1.11, 1.13, 1.24, 1.25, 1.27, 1.28, 1.29, 1.30, 1.36,
        1.39, 1.42, 1.48, 1.48, 1.49, 1.49, 1.50, 1.50, 1.51, 1.52, 1.53, 1.54, 1.55, 1.55, 1.58, 1.59,
        1.60, 1.61, 1.61, 1.61, 1.61, 1.62, 1.62, 1.63, 1.64, 1.66, 1.66, 1.66, 1.67, 1.68, 1.68, 1.69,
        1.70, 1.70, 1.73, 1.76, 1.76, 1.77, 1.78, 1.81, 1.82, 1.84, 1.84, 1.89, 2.00, 2.01, 2.24};
    struct Case {
        const std::vector<double>* sample;
        double gamma, shape, characteristicLife;
    };
    const Case cases[] = {
        {&bearings, 0.0, 2.10205886084, 81.878334125},
        {&bearings, 15.0, 1.58841142172, 63.7072695148},
        {&fibres, 0.0, 5.78070096715, 1.62811348241},
    };
    for (const Case& c : cases) {
        holdSample(*c.sample, c.gamma);
        const double m = newtonSolve(1, mlShapeEquation, mlShapeDerivative);
        EXPECT_NEAR(m / c.shape, 1.0, 1e-6) << "gamma " << c.gamma;
        EXPECT_NEAR(std::pow(scaleParameter(m), 1.0 / m) / c.characteristicLife, 1.0, 1e-6);
    }
}

TEST_F(ShapeNewton, MonitorShowsAtMostEveryHalfSecond)
{
    holdSample({1, 2, 3}, 0);
    newtonSolve(1, mlShapeEquation, mlShapeDerivative);
    EXPECT_TRUE(fakeHost.events.empty()) << "an iteration within 500 ms shows nothing";

    holdSample({1, 2, 3}, 0);
    fakeHost.tickStep = 100;
    newtonSolve(1, mlShapeEquation, mlShapeDerivative);
    const std::vector<std::string> ms = fieldTexts(IDC_MONITOR_M);
    const std::vector<std::string> gs = fieldTexts(IDC_MONITOR_G);
    ASSERT_FALSE(ms.empty());
    EXPECT_EQ(ms.size(), gs.size());
    // One tick read at the start and one per trial, 100 ms apart: an update every fifth trial.
    EXPECT_LE(ms.size(), fakeHost.tick / 100 / 5);
    for (std::size_t i = 0; i < fakeHost.events.size(); ++i)
        EXPECT_EQ(fakeHost.events[i].id, i % 2 == 0 ? IDC_MONITOR_M : IDC_MONITOR_G);
    for (const std::string& text : ms)
        EXPECT_EQ(text, formatScientific(std::stod(text), 6, 4));
}

std::vector<double> trials;
double recordedEquation(double m)
{
    trials.push_back(m);
    return mlShapeEquation(m);
}

// The tick is read once before the first step and once after each trial: a trial is shown when at
// least 500 ms have passed since the last one shown (or the start), and not a millisecond earlier,
// also across the wrap of the 32-bit count.
TEST_F(ShapeNewton, MonitorShowsATrialOnceHalfASecondHasPassed)
{
    for (const std::uint32_t step : {499u, 500u}) {
        holdSample({1, 2, 3}, 0);
        fakeHost.tick = 0xFFFFFFFFu - 1200;
        fakeHost.tickStep = step;
        trials.clear();
        newtonSolve(1, recordedEquation, mlShapeDerivative);
        ASSERT_GT(trials.size(), 6u) << "the count wraps during the iteration";

        // trials[0] is the start, evaluated before any step.
        std::vector<std::string> expected;
        for (std::size_t k = step == 500 ? 1 : 2; k < trials.size(); k += step == 500 ? 1 : 2)
            expected.push_back(formatScientific(trials[k], 6, 4));
        EXPECT_EQ(fieldTexts(IDC_MONITOR_M), expected) << "tick step " << step;
        EXPECT_EQ(fieldTexts(IDC_MONITOR_G).size(), expected.size());
    }
}

int slopeCalls = 0;
double zeroAtTwo(double m) { return 2.0 - m; }
double countedSlope(double)
{
    ++slopeCalls;
    return -1.0;
}

TEST_F(ShapeNewton, StartAtTheRootReturnsItUntouched)
{
    holdSample({1, 2, 3}, 0);
    fakeHost.tickStep = 1000;
    slopeCalls = 0;
    EXPECT_EQ(newtonSolve(2.0, zeroAtTwo, countedSlope), 2.0);
    EXPECT_EQ(slopeCalls, 0);
    EXPECT_TRUE(fakeHost.events.empty());
}

int equationCalls = 0;
double neverZero(double)
{
    ++equationCalls;
    return 1.0;
}
double unitSlope(double) { return -1.0; }

TEST_F(ShapeNewton, StopEndsAtTheNextStepWithTheLastTrial)
{
    holdSample({1, 2, 3}, 0);
    // Every trial fails, so each step keeps its 64th trial, 2^-63 above where it started.
    const double start = std::ldexp(1.0, -20);
    fakeHost.ticksUntilStop = 1; // Stop is pressed during the first step.
    equationCalls = 0;
    EXPECT_EQ(newtonSolve(start, neverZero, unitSlope), start + std::ldexp(1.0, -63));
    EXPECT_EQ(equationCalls, 1 + 64);
    EXPECT_EQ(state.iterationEnding, IterationEnding::stopped);

    // A stop already requested ends the iteration before its first step.
    holdSample({1, 2, 3}, 0);
    state.stopRequested.store(1);
    EXPECT_EQ(newtonSolve(1.0, mlShapeEquation, mlShapeDerivative), 1.0);
    EXPECT_EQ(state.iterationEnding, IterationEnding::stopped);
}

TEST_F(ShapeNewton, StepThatCanOnlyRepeatItselfEnds)
{
    holdSample({1, 2, 3}, 0);
    // At 1.0 the halved steps vanish below the spacing of doubles: the 64th trial is 1.0 itself.
    EXPECT_EQ(newtonSolve(1.0, neverZero, unitSlope), 1.0);
    EXPECT_EQ(state.iterationEnding, IterationEnding::stepRepeating);
}

std::vector<double> visited;
// With a slope of -1 the steps go from half the bound to exactly 1e154, then to 1.25e154.
double towardsTheBound(double m)
{
    visited.push_back(m);
    return m < 1e154 ? 1e154 - m : 0.25e154 * (1e154 / m);
}

TEST_F(ShapeNewton, DivergenceBeyondTheBoundOnly)
{
    holdSample({1, 2, 3}, 0);
    visited.clear();
    const double m = newtonSolve(0.5 * 1e154, towardsTheBound, unitSlope);
    EXPECT_EQ(visited, (std::vector<double>{0.5 * 1e154, 1e154, 1.25e154}));
    EXPECT_EQ(m, 1.25e154);
    EXPECT_EQ(state.iterationEnding, IterationEnding::diverged);
}

double notANumberBeyondTwo(double m) { return m > 2 ? std::nan("") : 1.0; }

TEST_F(ShapeNewton, EndingsAtTheRootAndOnNotANumber)
{
    holdSample({1, 2, 3}, 0);
    newtonSolve(1, mlShapeEquation, mlShapeDerivative);
    EXPECT_EQ(state.iterationEnding, IterationEnding::converged) << "a step below the tolerance";
    newtonSolve(2.0, zeroAtTwo, countedSlope);
    EXPECT_EQ(state.iterationEnding, IterationEnding::converged) << "g exactly zero";
    // From 1.5 with slope -1 the first trial is 2.5, where g is not a number.
    EXPECT_EQ(newtonSolve(1.5, notANumberBeyondTwo, unitSlope), 2.5);
    EXPECT_EQ(state.iterationEnding, IterationEnding::notFinite);
}

} // namespace
