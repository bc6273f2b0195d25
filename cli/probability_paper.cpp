// The axis transform of every probability paper: one place, so that the points, the curves, the
// non-parametric steps and the grid of a paper all agree.
#include "probability_paper.h"

#include <cmath>

#include "normal_quantile.h"

double PaperScale::x(double time) const { return logarithmicTime() ? std::log(time) : time; }

double PaperScale::time(double x) const { return logarithmicTime() ? std::exp(x) : x; }

double PaperScale::y(double F) const
{
    switch (kind) {
    case PaperKind::lognormal:
    case PaperKind::normal:
        return lifedata::normalQuantile(F);
    case PaperKind::exponential:
        return -std::log1p(-F);
    case PaperKind::weibull:
        break;
    }
    return std::log(-std::log1p(-F));
}

const char* PaperScale::title() const
{
    switch (kind) {
    case PaperKind::lognormal: return "Lognormal";
    case PaperKind::normal: return "Normal";
    case PaperKind::exponential: return "Exponential";
    case PaperKind::weibull: break;
    }
    return "Weibull";
}
