// The sum runs over groups of equal times instead of units: the weights (2i - 1) of the units of a
// group of c at ranks s+1 .. s+c add up to c (2s + c), and the mirrored ones of ln(1 - F) to
// c (2n - 2s - c), so a million identical records cost one term. ln(1 - F) = -z is exact, and
// ln F = ln(-expm1(-z)) keeps its digits where F is small.
//
// The terms (a power, an exponential and a logarithm each) are formed chunk by chunk on any thread,
// each chunk starting from the units before it; they are added on the calling thread in time
// order, so the sum is the same bits for any number of threads.
#include "anderson_darling.h"

#include <cmath>

namespace lifedata {

double andersonDarling(const std::vector<double>& times, const std::vector<double>& counts, const WeibullEstimate& fit,
                       ChunkedWork& work)
{
    const auto size = static_cast<std::uint32_t>(times.size());
    // The units before each chunk; counts are whole numbers, so these sums are exact.
    std::vector<double> unitsBefore(ChunkedWork::chunkCount(size) + 1, 0.0);
    double n = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        if (i % ChunkedWork::chunkSize == 0)
            unitsBefore[i / ChunkedWork::chunkSize] = n;
        n += counts[i];
    }
    std::vector<double> terms(size);
    const auto term = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
        double before = unitsBefore[chunk];
        for (std::uint32_t i = begin; i < end; ++i) {
            const double c = counts[i];
            const double z = std::pow((times[i] - fit.gamma) / fit.eta, fit.m);
            const double lnF = times[i] > fit.gamma ? std::log(-std::expm1(-z)) : -INFINITY;
            terms[i] = c * (2 * before + c) * lnF - c * (2 * n - 2 * before - c) * z;
            before += c;
        }
    };
    double sum = 0;
    auto add = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i)
            sum += terms[i];
    };
    work.run(size, term, add);
    return -n - sum / n;
}

double andersonDarling(const std::vector<double>& times, const std::vector<double>& counts, const WeibullEstimate& fit)
{
    ChunkedWork alone(0);
    return andersonDarling(times, counts, fit, alone);
}

} // namespace lifedata
