// A series system of independently fitted Weibull failure modes: it survives while every mode does,
// so R(t) is the product of the modes' R_k(t). Its B-lives and reliabilities with Fisher bounds by
// the delta method on u = ln(-ln R) = ln(sum of the modes' cumulative hazards), the covariance being
// block-diagonal because each mode was fitted on its own.
#pragma once

#include <string>
#include <vector>

#include "fisher_bounds.h"
#include "model_inference.h"

namespace lifedata {

// One mode's estimate and its covariance in (m, eta[, gamma]), as ModelInference gives it; size 0
// where there is none.
struct SystemMode {
    WeibullEstimate estimate;
    int covarianceSize = 0;
    double covariance[3][3] = {};
};

struct SystemReliability {
    bool available = false;
    std::string reason; // why not, where not available
    double confidence = 0;
    double gamma = 0;       // the smallest of the modes' locations: at or below it R is 1, without bounds
    std::string fisherNote; // why Fisher bounds were asked for and are missing; empty otherwise
    std::vector<BLifeBounds> bLives;
    std::vector<ReliabilityBounds> reliability;
};

// The system's cumulative hazard -ln R(t), the sum of the modes' ((t - gamma_k) / eta_k)^m_k.
double systemHazard(const std::vector<SystemMode>& modes, double t);

// The system's reliability at t: exp(-sum of ((t - gamma_k) / eta_k)^m_k over t > gamma_k).
double systemReliability(const std::vector<SystemMode>& modes, double t);

// The time by which `percent` of the systems fail: the root of R(t) = 1 - percent / 100.
double systemBLife(const std::vector<SystemMode>& modes, double percent);

// B-lives and reliabilities of the request, with Fisher bounds when the request wants them and
// every mode has a covariance.
SystemReliability inferSystem(const std::vector<SystemMode>& modes, const InferenceRequest& request);

} // namespace lifedata
