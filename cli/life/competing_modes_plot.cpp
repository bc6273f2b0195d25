// Each mode's Weibull is y = m ln((t - gamma) / eta) on the paper, a straight line for two
// parameters; the system's y = ln(sum of the modes' hazards) bends towards whichever mode dominates.
#include "life/competing_modes_plot.h"

#include <cmath>
#include <iterator>

namespace {

// Distinct from the paper's own red line, green curve and blue points.
const char* const modeColours[] = {"#7b3fa0", "#d07a00", "#198a8a", "#8a5a2a", "#c0398a", "#5a6a00"};

} // namespace

void addCompetingModes(WeibullPaper& paper, const lifedata::CompetingModes& modes, double location)
{
    std::size_t shown = 0;
    for (const lifedata::ModeFit& mode : modes.modes) {
        if (mode.fit.status != lifedata::FitStatus::ok)
            continue;
        const lifedata::WeibullFit fit = mode.fit;
        paper.models.push_back({[fit, location](double x) {
                                    return fit.m * std::log((std::exp(x) + location - fit.gamma) / fit.eta);
                                },
                                "mode " + mode.name,
                                modeColours[shown++ % std::size(modeColours)]});
    }
    const std::vector<lifedata::SystemMode> system = lifedata::systemModes(modes.modes);
    if (system.empty())
        return;
    paper.models.push_back({[system, location](double x) {
                                return std::log(lifedata::systemHazard(system, std::exp(x) + location));
                            },
                            "system of the modes", "#222222"});
}
