// The four plotting-position formulas F(i) of the Weibull plot, selected by the rank method `Fi`.
#pragma once

#include <cstdint>

double meanRankPosition(std::uint32_t i);      // 1: i/(n+1)
double endPointPosition(std::uint32_t i);      // 2: (i-1)/(n-1)
double medianRankPosition(std::uint32_t i);    // 3: (i-0.3)/(n+0.4)
double midPointPosition(std::uint32_t i);      // 4: (i-0.5)/n

// Stores the formula of `state.Fi` in `state.rankFunction`; a value outside 1 to 4 changes nothing.
void selectRankFunction();

// The Weibull-plot ordinate ln(ln(1/(1 - F(i)))) of rank i under `state.rankFunction`.
double weibullOrdinate(std::uint32_t i);

// The report's label of rank method `fi` ("i/(n+1)" ...), or "" outside 1 to 4.
const char* rankMethodLabel(int fi);
