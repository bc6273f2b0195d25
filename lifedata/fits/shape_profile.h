// The two-parameter maximum at a fixed location for failures and suspensions. For each m the best
// scale is eta^m = sum c x^m / r (r: the number of failures), which leaves an equation in m alone:
// sum c x^m ln x / sum c x^m - 1/m - (1/r) sum_failures c ln x = 0. Its left side increases with m,
// so the root is unique; it is found by Newton's method in ln m inside a bracket.
#pragma once

#include <vector>

#include "chunked_work.h"
#include "weibull_likelihood.h"

namespace lifedata {

struct ShapeSolution {
    bool converged = false;
    double m = 0;
    double eta = 0;
    double logLikelihood = 0;
    int iterations = 0;
};

class ShapeProfile {
public:
    // `data` must hold no intervals and must outlive the profile.
    ShapeProfile(const PreparedData& data, ChunkedWork& work) : data_(data), work_(work) {}

    // Takes the logarithms at location `gamma` (below every failure): one pass over the data.
    void setLocation(double gamma);

    // A shape to start from: from the spread of the failures' logarithms.
    double startingShape() const { return startingShape_; }

    // Solves for m from `mStart` until a Newton step in ln m is below `tolerance`.
    ShapeSolution solve(double mStart, double tolerance);

private:
    struct PowerSums {
        double S0 = 0, S1 = 0, S2 = 0;

        void add(const PowerSums& other)
        {
            S0 += other.S0;
            S1 += other.S1;
            S2 += other.S2;
        }
    };
    PowerSums sums(double m);

    const PreparedData& data_;
    ChunkedWork& work_;
    // l = ln(x / xRef) with xRef = the largest time minus gamma, so that no power overflows.
    std::vector<double> failureLogs_;
    std::vector<double> suspensionLogs_;
    std::size_t firstSuspension_ = 0; // suspensions at or below gamma carry no information
    double lnRef_ = 0;
    double failureLogMean_ = 0;       // (1/r) sum c l over the failures
    double startingShape_ = 1;
};

} // namespace lifedata
