// Each mode's Weibull is a straight line on Weibull paper for two parameters; the system's
// F = 1 - exp(-(sum of the modes' cumulative hazards)) bends towards whichever mode dominates.
#include "life/competing_modes_plot.h"

#include <cmath>

void addCompetingModes(WeibullPaper& paper, const lifedata::CompetingModes& modes, double location)
{
    for (const lifedata::ModeFit& mode : modes.modes) {
        if (mode.fit.status != lifedata::FitStatus::ok)
            continue;
        const lifedata::WeibullFit fit = mode.fit;
        paper.models.push_back({[fit, location](double t) {
                                    const double x = t + location - fit.gamma;
                                    return x > 0 ? -std::expm1(-std::pow(x / fit.eta, fit.m)) : 0.0;
                                },
                                "mode " + mode.name});
    }
    const std::vector<lifedata::SystemMode> system = lifedata::systemModes(modes.modes);
    if (system.empty())
        return;
    paper.models.push_back({[system, location](double t) {
                                return -std::expm1(-lifedata::systemHazard(system, t + location));
                            },
                            "system of the modes"});
}
