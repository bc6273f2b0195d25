// A mixture bends on Weibull paper where one population gives way to the other: the curve shows the
// bend the straight line of one Weibull cannot follow.
#include "life/mixture_plot.h"

void addMixtureCurve(WeibullPaper& paper, const lifedata::MixtureAnalysis& mixture, double location)
{
    if (!mixture.requested)
        return;
    const lifedata::MixtureFit& fit = mixture.fit;
    if (fit.status != lifedata::MixtureStatus::ok) {
        paper.notes.push_back("Mixture: " + fit.statusText);
        return;
    }
    paper.curve = {true, fit.m[0], fit.eta[0], location, "mixture of two Weibulls", fit.p, fit.m[1], fit.eta[1]};
    paper.values.insert(paper.values.end(), {{"p", fit.p},
                                             {"m1", fit.m[0]},
                                             {"eta1", fit.eta[0]},
                                             {"m2", fit.m[1]},
                                             {"eta2", fit.eta[1]}});
}
