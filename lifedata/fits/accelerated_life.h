// Accelerated life models: Weibull lifetimes with a common shape m and a scale that depends on the
// stress S, ln eta(S) = a + b x(S), fitted by maximum likelihood on all data kinds, beside each
// stress's own two-parameter fit and the likelihood-ratio test of a common shape.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "life_data.h"
#include "weibull_fit.h"

namespace lifedata {

// x = 1/S with S in kelvin (Arrhenius), x = ln S (inverse power law), x = S (exponential).
enum class StressModel { arrhenius, power, exponential };

// The word the options and the JSON use.
inline const char* stressModelName(StressModel model)
{
    return model == StressModel::arrhenius ? "arrhenius" : model == StressModel::power ? "power" : "exponential";
}

// The model of that word; false for a word that names none. Inline, like the name, so that the
// option parser needs nothing of the fit.
inline bool stressModelFromName(const std::string& word, StressModel& model)
{
    for (StressModel candidate : {StressModel::arrhenius, StressModel::power, StressModel::exponential}) {
        if (word == stressModelName(candidate)) {
            model = candidate;
            return true;
        }
    }
    return false;
}

// Boltzmann's constant in eV/K: the activation energy of an Arrhenius model is b k_B.
constexpr double boltzmannElectronVolts = 8.617333262e-5;

// The model's x of a stress as written (degrees Celsius with `celsius`, for Arrhenius only).
double stressVariable(StressModel model, bool celsius, double stress);

// The records at one stress, prepared for the likelihood.
struct StressGroup {
    double stress = 0; // as written
    double x = 0;      // the model's variable
    PreparedData data;
    std::uint64_t units = 0;
    std::uint64_t failures = 0; // units that failed, exact or in an interval
    WeibullFit fit;             // its own two parameters; not fitted without failures
};

// The distinct stresses of the data, ascending, each with its records. Equal records merge, so a
// count gives the same groups as its units written line by line.
std::vector<StressGroup> groupByStress(const LifeData& data, StressModel model, bool celsius,
                                       const FitSettings& settings);

struct CommonShapeTest {
    bool available = false;
    std::string note;   // why not, where not available
    double statistic = std::numeric_limits<double>::quiet_NaN();
    double degreesOfFreedom = 0;
    double pValue = std::numeric_limits<double>::quiet_NaN();
    double commonShape = std::numeric_limits<double>::quiet_NaN(); // m of the common-shape model
};

struct AcceleratedFit {
    StressModel model = StressModel::arrhenius;
    bool celsius = false;
    FitStatus status = FitStatus::notFitted;
    std::string statusText = fitStatusText(FitStatus::notFitted);
    double m = std::numeric_limits<double>::quiet_NaN();
    double a = std::numeric_limits<double>::quiet_NaN();
    double b = std::numeric_limits<double>::quiet_NaN();
    double logLikelihood = std::numeric_limits<double>::quiet_NaN();
    int iterations = 0;
    // In (ln m, a, b): the Hessian of the log-likelihood at the estimate.
    double hessian[3][3] = {};
    std::vector<StressGroup> groups;
    CommonShapeTest commonShape;
};

// The error for data whose failures lie at fewer than two stresses.
extern const char* const tooFewStressesText;

// The maximum-likelihood fit of (m, a, b). Throws DataError with tooFewStressesText unless failures
// lie at two or more distinct stresses.
AcceleratedFit fitAcceleratedLife(std::vector<StressGroup> groups, StressModel model, bool celsius,
                                  const FitSettings& settings);

// The log-likelihood of the model at (ln m, a, b) with its gradient and Hessian (order 2), the
// groups' sums added in ascending stress.
struct AcceleratedLikelihood {
    const std::vector<StressGroup>* groups;
    ChunkedWork* work;
    CancelFlag cancel;
    double evaluate(const double (&q)[3], int order, double (&gradient)[3], double (&hessian)[3][3]) const;
};

} // namespace lifedata
