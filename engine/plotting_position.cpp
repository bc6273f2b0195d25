// The plotting positions, each computed by its own formula so that every method gives the exact
// doubles its formula gives (method 2 reaches exactly 0 and 1 at the ends).
#include "plotting_position.h"

#include <cmath>

#include "estimation_state.h"

double meanRankPosition(std::uint32_t i)
{
    return static_cast<double>(i) / (static_cast<double>(state.n) + 1.0);
}

double endPointPosition(std::uint32_t i)
{
    return (static_cast<double>(i) - 1.0) / (static_cast<double>(state.n) - 1.0);
}

double medianRankPosition(std::uint32_t i)
{
    return (static_cast<double>(i) - 0.3) / (static_cast<double>(state.n) + 0.4);
}

double midPointPosition(std::uint32_t i)
{
    return (static_cast<double>(i) - 0.5) / static_cast<double>(state.n);
}

void selectRankFunction()
{
    switch (state.Fi) {
    case 1: state.rankFunction = meanRankPosition; break;
    case 2: state.rankFunction = endPointPosition; break;
    case 3: state.rankFunction = medianRankPosition; break;
    case 4: state.rankFunction = midPointPosition; break;
    default: break;
    }
}

double weibullOrdinate(std::uint32_t i)
{
    const double F = state.rankFunction(i);
    return std::log(std::log(1.0 / (1.0 - F)));
}

const char* rankMethodLabel(int fi)
{
    switch (fi) {
    case 1: return "i/(n+1)";
    case 2: return "(i-1)/(n-1)";
    case 3: return "(i-0.3)/(n+0.4)";
    case 4: return "(i-0.5)/n";
    default: return "";
    }
}
