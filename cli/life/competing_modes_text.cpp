// Each mode with its failures, estimate and parameter bounds, then the series system's B-lives and
// reliabilities; a mode without an estimate says why, and so does the system that needs it.
#include "life/competing_modes_text.h"

#include "life/bounds_text.h"
#include "life/readable_number.h"

namespace {

using lifedata::FitStatus;
using lifedata::ModeFit;

std::string modeText(const ModeFit& mode, const char* model)
{
    std::string text = "\nMode " + mode.name + ": " + std::to_string(mode.failures) +
                       (mode.failures == 1 ? " failure" : " failures") + ", " + model + " fit: " + mode.fit.statusText +
                       "\n";
    if (mode.fit.status != FitStatus::ok)
        return text;
    text += "  log-likelihood " + readableNumber(mode.fit.logLikelihood) + "\n";
    return text + boundsTableText(mode.inference);
}

} // namespace

std::string competingModesText(const lifedata::CompetingModes& modes)
{
    if (modes.choice == lifedata::ModesChoice::none)
        return "";
    const bool three = modes.choice == lifedata::ModesChoice::threeParameter;
    std::string text = "\nCompeting modes: each mode's own Weibull, the other units as suspensions\n";
    for (const ModeFit& mode : modes.modes)
        text += modeText(mode, three ? "three-parameter" : "two-parameter");
    text += "\nSystem: R(t) = the product of the modes' R_k(t)\n";
    if (!modes.system.available)
        return text + "  no estimate: " + modes.system.reason + "\n";
    return text + systemBoundsText(modes.system);
}
