// With ln eta = C - K/m (eta held: C = ln eta, K = 0; a B-life: C = ln(t_P - gamma), K = ln w;
// a reliability at t: C = ln(t - gamma), K = u), the log-likelihood in m alone is
//   g(m) = r ln m - r m C + r K + (m - 1) L - e^(K - m C) S0(m),
// concave in m, since g'' = -r/m^2 - e^(K - m C) sum c x^m (ln x - C)^2. With m held, eta is
// closed form: eta^m = S0/r. Each chunk's partial sums are formed on any thread and added in chunk
// order, so the sums do not depend on the number of threads.
#include "censored_two_parameter_profile.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

CensoredTwoParameterProfile::CensoredTwoParameterProfile(const PreparedData& data, double gamma, ChunkedWork& work)
    : gamma_(gamma), work_(work)
{
    for (std::size_t i = 0; i < data.failureTimes.size(); ++i) {
        const double lnX = std::log(data.failureTimes[i] - gamma);
        lnX_.push_back(lnX);
        counts_.push_back(data.failureCounts[i]);
        failures_ += data.failureCounts[i];
        failureLogs_ += data.failureCounts[i] * lnX;
    }
    for (std::size_t i = 0; i < data.suspensionTimes.size(); ++i) {
        lnX_.push_back(std::log(data.suspensionTimes[i] - gamma));
        counts_.push_back(data.suspensionCounts[i]);
    }
    partial_.resize(ChunkedWork::chunkCount(static_cast<std::uint32_t>(lnX_.size())));
}

CensoredTwoParameterProfile::Sums CensoredTwoParameterProfile::sums(double m)
{
    const auto compute = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
        Sums s{0, 0, 0};
        for (std::uint32_t i = begin; i < end; ++i) {
            const double w = counts_[i] * std::exp(m * lnX_[i]);
            s.S0 += w;
            s.S1 += w * lnX_[i];
            s.S2 += w * lnX_[i] * lnX_[i];
        }
        partial_[chunk] = s;
    };
    Sums total{0, 0, 0};
    auto consume = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
        total.S0 += partial_[chunk].S0;
        total.S1 += partial_[chunk].S1;
        total.S2 += partial_[chunk].S2;
    };
    work_.run(static_cast<std::uint32_t>(lnX_.size()), compute, consume);
    return total;
}

double CensoredTwoParameterProfile::logLikelihood(double m, double eta)
{
    const double lnEta = std::log(eta);
    const Sums s = sums(m);
    return failures_ * std::log(m) - failures_ * m * lnEta + (m - 1) * failureLogs_ - std::exp(-m * lnEta) * s.S0;
}

CensoredTwoParameterProfile::Maximum CensoredTwoParameterProfile::maximize(HeldQuantity quantity, double argument,
                                                                           double s, double startM)
{
    const double r = failures_;
    if (quantity == HeldQuantity::shape) {
        const double m = std::exp(s);
        const Sums sm = sums(m);
        const double value = r * std::log(m) - r * std::log(sm.S0 / r) + (m - 1) * failureLogs_ - r;
        // d/d ln m at eta^m = S0/r
        return {true, value, r + m * failureLogs_ - m * r * sm.S1 / sm.S0, m};
    }
    double C = 0, K = 0;
    switch (quantity) {
    case HeldQuantity::scale:
        C = s;
        break;
    case HeldQuantity::bLife:
        C = s;
        K = std::log(-std::log1p(-argument / 100));
        break;
    case HeldQuantity::reliability:
        C = std::log(argument - gamma_);
        K = s;
        break;
    default:
        return {false, notANumber, notANumber, startM};
    }

    const Maximum maximum = newton(quantity, C, K, startM, std::numeric_limits<double>::infinity(), 100);
    if (maximum.found)
        return maximum;
    // Far out in a tail (C far from every ln x) a full Newton step from a distant start overshoots
    // into the exponential's flood and never returns. g is concave, so steps short enough that no
    // term e^(K + m (ln x - C)) changes more than e-fold reach the maximum surely, if slowly.
    double spread = 0;
    for (double lnX : lnX_)
        spread = std::fmax(spread, std::fabs(lnX - C));
    return newton(quantity, C, K, startM, 1 / spread, 4000);
}

CensoredTwoParameterProfile::Maximum CensoredTwoParameterProfile::newton(HeldQuantity quantity, double C, double K,
                                                                         double startM, double largestStep,
                                                                         int iterationLimit)
{
    const double r = failures_;
    double m = startM;
    for (int iteration = 0; iteration < iterationLimit; ++iteration) {
        const Sums sm = sums(m);
        const double e = std::exp(K - m * C);
        const double first = r / m - r * C + failureLogs_ - e * (sm.S1 - C * sm.S0);
        const double second = -r / (m * m) - e * (sm.S2 - 2 * C * sm.S1 + C * C * sm.S0);
        double next = m - first / second;
        if (!(next > 0))
            next = m / 2;
        if (std::fabs(next - m) > largestStep)
            next = next > m ? m + largestStep : m - largestStep;
        // A step of 1e-9 m moves the value by about r 1e-18 (g'' is about -r/m^2): far below its rounding.
        const bool converged = std::fabs(next - m) <= 1e-9 * m;
        if (converged || iteration == iterationLimit - 1) {
            if (!converged)
                return {false, notANumber, notANumber, startM};
            const double value = r * std::log(m) - r * m * C + r * K + (m - 1) * failureLogs_ - e * sm.S0;
            const double dlByLnEta = m * (e * sm.S0 - r);
            const double slope = quantity == HeldQuantity::reliability ? -dlByLnEta / m : dlByLnEta;
            return {true, value, slope, m};
        }
        m = next;
    }
    return {false, notANumber, notANumber, startM};
}

} // namespace lifedata
