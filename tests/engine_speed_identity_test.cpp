// The fast paths of the engine give exactly the doubles of the straightforward loops: the shape
// sums, the scale and the plot fit with per-run arrays and helper threads, the in-place line reading
// and the exact number conversion, and a whole run down to the bytes of its report.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "estimation_run.h"
#include "estimation_state.h"
#include "fake_host.h"
#include "field_ids.h"
#include "location_search.h"
#include "number_syntax.h"
#include "per_value_work.h"
#include "plotting_position.h"
#include "report_file.h"
#include "report_text.h"
#include "sample_file.h"
#include "scale_statistics.h"
#include "shape_newton.h"

namespace {

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

#define EXPECT_SAME_BITS(a, b) EXPECT_EQ(bitsOf(a), bitsOf(b)) << (a) << " vs " << (b)

// The straightforward procedures, written out here as the definition the fast paths must meet.
double referenceEquation(double m)
{
    const double N = static_cast<double>(state.n);
    double L = 0, S1 = 0, S0 = 0;
    for (std::uint32_t i = 0; i < state.n; ++i) {
        const double x = state.samples[i] - state.gamma;
        const double xm = std::pow(x, m);
        L += std::log(x);
        S1 += xm * std::log(x);
        S0 += xm;
    }
    return (L + N / m) - (N * S1) / S0;
}

double referenceSlope(double m)
{
    const double N = static_cast<double>(state.n);
    double S0 = 0, S1 = 0, S2 = 0;
    for (std::uint32_t i = 0; i < state.n; ++i) {
        const double x = state.samples[i] - state.gamma;
        const double xm = std::pow(x, m);
        S0 += xm;
        S1 += xm * std::log(x);
        S2 += xm * std::log(x) * std::log(x);
    }
    return (S1 / S0) * (S1 / S0) - N * S2 / S0 - N / (m * m);
}

double referenceScale(double m)
{
    double sum = 0;
    for (std::uint32_t i = 0; i < state.n; ++i)
        sum += std::pow(state.samples[i] - state.gamma, m);
    return sum / static_cast<double>(state.n);
}

int referenceFit(double g, double* r2)
{
    const double N = static_cast<double>(state.n);
    const auto x = [&](std::uint32_t i) { return std::log(state.samples[i - 1] - g); };
    const auto y = [&](std::uint32_t i) { return std::log(std::log(1.0 / (1.0 - state.rankFunction(i)))); };
    double S1 = 0, S2 = 0, S3 = 0, S4 = 0, Sy = 0, Sxy = 0, Sx2y = 0;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        const double xi = x(i), yi = y(i);
        S4 += xi * xi * xi * xi;
        S3 += xi * xi * xi;
        S2 += xi * xi;
        S1 += xi;
        Sx2y += xi * xi * yi;
        Sxy += xi * yi;
        Sy += yi;
    }
    const double h = N * S2 - S1 * S1, mm = S1 * S2 - N * S3, o = S1 * S3 - S2 * S2;
    const double a2 = (h * Sx2y + mm * Sxy + o * Sy) / (h * S4 + mm * S3 + o * S2);
    const double mx = S1 / N, my = Sy / N;
    double Qxx = 0, Qyy = 0, Qxy = 0;
    for (std::uint32_t i = 1; i <= state.n; ++i) {
        Qxx += (x(i) - mx) * (x(i) - mx);
        Qyy += (y(i) - my) * (y(i) - my);
        Qxy += (x(i) - mx) * (y(i) - my);
    }
    *r2 = Qxy * Qxy / (Qyy * Qxx);
    return a2 > 0 ? 1 : a2 == 0 ? 0 : -1;
}

// A sorted Weibull-like sample in the given units, with a few ties.
std::vector<double> randomSample(std::uint32_t n, double units, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::weibull_distribution<double> weibull(0.7 + (seed % 5) * 0.5, units);
    std::vector<double> sample(n);
    for (double& value : sample)
        value = units * 0.3 + weibull(random);
    for (std::uint32_t i = 1; i < n; i += 97)
        sample[i] = sample[i - 1];
    std::sort(sample.begin(), sample.end());
    return sample;
}

class SpeedIdentity : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetHostAndState();
        // Helper threads from very small samples on, and more threads than this machine may have,
        // so that sharing out and claiming chunks is exercised everywhere.
        perValueSettings = PerValueSettings{};
        perValueSettings.threadThreshold = 100;
        perValueSettings.threads = 4;
    }
    void TearDown() override
    {
        stopPerValueWork();
        perValueSettings = PerValueSettings{};
        resetHostAndState();
    }

    void useSample(std::vector<double>& sample, double gamma)
    {
        state.samples = sample.data();
        state.n = static_cast<std::uint32_t>(sample.size());
        state.gamma = gamma;
    }
};

// Sizes around the chunk of 2048 values, and one above the default thread threshold.
const std::uint32_t sizes[] = {3, 99, 2047, 2049, 20000};

TEST_F(SpeedIdentity, ShapeSumsAndScaleMatchTheStraightforwardLoops)
{
    const double shapes[] = {1.0, 0.37, 2.7, 13.0, -1.5, 0.0, 400.0};
    std::uint64_t seed = 1;
    for (const std::uint32_t n : sizes) {
        for (const double units : {1.0, 350.0}) {
            std::vector<double> sample = randomSample(n, units, seed++);
            useSample(sample, 0.1 * sample[0]);
            startPerValueWork();
            for (const double m : shapes) {
                SCOPED_TRACE(testing::Message() << "n " << n << " units " << units << " m " << m);
                // The slope first (nothing remembered), then the equation, slope and scale at that m.
                EXPECT_SAME_BITS(mlShapeDerivative(m), referenceSlope(m));
                EXPECT_SAME_BITS(mlShapeEquation(m), referenceEquation(m));
                EXPECT_SAME_BITS(mlShapeDerivative(m), referenceSlope(m));
                EXPECT_SAME_BITS(scaleParameter(m), referenceScale(m));
            }
            stopPerValueWork();
            // Outside a run the straightforward loops answer, with the same doubles.
            EXPECT_SAME_BITS(mlShapeEquation(2.7), referenceEquation(2.7));
        }
    }
}

TEST_F(SpeedIdentity, PerRunArraysFollowTheLocationAndTheSample)
{
    std::vector<double> first = randomSample(5000, 10.0, 7);
    std::vector<double> second = randomSample(3000, 10.0, 8);
    useSample(first, 0.0);
    startPerValueWork();
    EXPECT_SAME_BITS(mlShapeEquation(1.5), referenceEquation(1.5));
    state.gamma = 0.5 * first[0]; // as the location search leaves it
    EXPECT_SAME_BITS(mlShapeEquation(1.5), referenceEquation(1.5));
    EXPECT_SAME_BITS(scaleParameter(1.5), referenceScale(1.5));
    useSample(second, 0.25 * second[0]);
    EXPECT_SAME_BITS(mlShapeDerivative(1.5), referenceSlope(1.5));
    EXPECT_SAME_BITS(mlShapeEquation(0.8), referenceEquation(0.8));
}

TEST_F(SpeedIdentity, PlotFitMatchesTheStraightforwardLoopsForEveryRankMethod)
{
    std::uint64_t seed = 100;
    for (const std::uint32_t n : sizes) {
        std::vector<double> sample = randomSample(n, 40.0, seed++);
        useSample(sample, 0.0);
        startPerValueWork();
        for (int fi = 1; fi <= 4; ++fi) {
            state.Fi = fi;
            selectRankFunction();
            // Inside the range, at its ends, at the smallest value (ln 0) and beyond it (NaN).
            const double min = sample[0];
            for (const double g : {0.0, 0.37 * min, 0.99 * min, min, 1.5 * min, -min}) {
                SCOPED_TRACE(testing::Message() << "n " << n << " Fi " << fi << " g " << g);
                double fast = -1, reference = -2;
                EXPECT_EQ(weibullPlotFit(g, &fast), referenceFit(g, &reference));
                EXPECT_SAME_BITS(fast, reference);
            }
        }
        stopPerValueWork();
    }
}

TEST_F(SpeedIdentity, WholeRunGivesTheSameReportByteForByte)
{
    std::vector<double> sample = randomSample(3000, 1.0, 42);
    std::string text;
    for (const double value : sample) {
        char digits[32];
        text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        text += '\n';
    }
    const std::string path = writeTempFile("speed-identity.dat", text);

    // Auto Gamma with every rank method, and a typed location.
    const struct {
        int fi;
        bool autoGamma;
    } runs[] = {{1, true}, {2, true}, {3, true}, {4, true}, {3, false}};
    for (const auto [fi, autoGamma] : runs) {
        SCOPED_TRACE(testing::Message() << "Fi " << fi << " auto " << autoGamma);
        std::string reports[2];
        std::vector<std::string> monitors[2];
        for (const bool fast : {false, true}) {
            resetHostAndState();
            fakeHost.tickStep = 97; // the monitor shows every few trials
            perValueSettings.enabled = fast;
            std::strcpy(state.RFile, path.c_str());
            state.autoGamma = autoGamma ? 1 : 0;
            state.gamma = autoGamma ? 0.0 : 0.5 * sample[0];
            state.initialM = 1.0;
            state.Fi = fi;
            selectRankFunction();
            runEstimation();
            ASSERT_EQ(state.samplesHeld, 1);
            reports[fast] = reportText();
            monitors[fast] = fieldTexts(IDC_MONITOR_M);
        }
        EXPECT_EQ(reports[1], reports[0]);
        EXPECT_EQ(monitors[1], monitors[0]);
        EXPECT_FALSE(monitors[0].empty());
    }
}

// The number conversion against the standard library's correctly rounded one.
double referenceNumber(const std::string& text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST_F(SpeedIdentity, ShortNumbersConvertAsTheGeneralConversionDoes)
{
    const char* edges[] = {
        "9007199254740992",  "9007199254740993", "9007199254740991e22", "9007199254740993e-22",
        "1e22",               "1e23",             "1e-22",               "1e-23",
        "1234567890123456789", "12345678901234567890", "0.000000000000000000001", "4.9406564584124654e-324",
        "1.7976931348623157e308", "0.1",          "2.2250738585072011e-308", "123.45678",
        "0000000000000000000000012.5", "7.00000000000000000000000001",
    };
    for (const char* text : edges)
        EXPECT_SAME_BITS(readNumber(text, nullptr), referenceNumber(text)) << text;

    std::mt19937_64 random(5);
    for (int k = 0; k < 20000; ++k) {
        std::string text;
        const int digits = 1 + static_cast<int>(random() % 21);
        const int point = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 2) {
            text += 'e';
            text += std::to_string(static_cast<int>(random() % 61) - 30);
        }
        SCOPED_TRACE(text);
        EXPECT_SAME_BITS(readNumber(text.c_str(), nullptr), referenceNumber(text));
    }
}

// The data file split by its line rules with nothing but the character-by-character reading.
std::vector<double> referenceRead(const std::string& bytes)
{
    std::string text;
    for (std::size_t k = 0; k < bytes.size() && bytes[k] != '\x1a'; ++k) {
        if (!(bytes[k] == '\r' && k + 1 < bytes.size() && bytes[k + 1] == '\n'))
            text += bytes[k];
    }
    std::vector<double> values;
    std::size_t k = 0;
    while (k < text.size()) {
        std::string line;
        while (k < text.size() && line.size() < 255) {
            line += text[k++];
            if (line.back() == '\n')
                break;
        }
        if (isDataLine(line.c_str()))
            values.push_back(readNumber(line.c_str(), nullptr));
    }
    return values;
}

TEST_F(SpeedIdentity, InPlaceLineReadingKeepsTheLineRules)
{
    // Lines of every kind, enough of them to cross several reading blocks at random places.
    const std::string kinds[] = {"12.5\n", "3e2 rest\n", "  7\r\n", "x9\n", "\n", "1\r2\n", " \t\n",
                                 std::string(300, '4') + "\n", "5.5d1\n", std::string("6\0" "8\n", 4),
                                 "-3\n", ".25\n", "e7\n", std::string(254, ' ') + "\n",
                                 std::string(255, ' ') + "\n"};
    std::mt19937_64 random(11);
    for (const bool ctrlZ : {false, true}) {
        std::string bytes;
        while (bytes.size() < 300000)
            bytes += kinds[random() % std::size(kinds)];
        if (ctrlZ)
            bytes[200001] = '\x1a';
        const std::string path = writeTempFile("speed-lines.dat", bytes);
        const std::vector<double> expected = referenceRead(bytes);
        ASSERT_EQ(readSampleFile(path.c_str()), expected.size());
        std::vector<std::uint64_t> got, want;
        for (std::uint32_t i = 0; i < state.n; ++i) {
            got.push_back(bitsOf(state.samples[i]));
            want.push_back(bitsOf(expected[i]));
        }
        EXPECT_EQ(got, want);
    }
}

} // namespace
