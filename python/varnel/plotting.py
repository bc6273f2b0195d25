"""The probability plot of a fit on a matplotlib axis, as ``varnel --life --plot`` draws it: the
failures at Johnson's adjusted ranks (suspensions accounted for) on Weibull probability paper (or
lognormal, normal or exponential paper), the two-parameter line (a rank regression's own line) with
its likelihood-ratio band, and the three-parameter curve where that model has an estimate; with a
comparison of distributions, every fitted one as a curve, the best-ranked bold; and the
non-parametric estimate as steps where the fit has one. matplotlib is imported only here, when a
plot is drawn."""
from statistics import NormalDist

import numpy as np

from . import _varnel
from .lifedata import Fit, fit

# Unreliabilities (percent) marked on the vertical axis.
PERCENT_TICKS = (0.1, 0.5, 1, 2, 5, 10, 20, 30, 50, 63.2, 80, 90, 95, 99, 99.9)


# How the legend names a rank regression's lines; maximum likelihood needs no words.
_METHOD_WORDS = {"rrx": " (rank regression on X)", "rry": " (rank regression on Y)"}


# F = 0 and F = 1 lie at the ends of most papers: infinite ordinates, which matplotlib leaves out.
def _weibull_ordinate(unreliability):
    with np.errstate(divide="ignore"):
        return np.log(-np.log1p(-np.asarray(unreliability)))


def _normal_ordinate(unreliability):
    F = np.asarray(unreliability, dtype=float)
    inside = (F > 0) & (F < 1)
    quantiles = np.vectorize(NormalDist().inv_cdf, otypes=[float])(np.where(inside, F, 0.5))
    return np.where(inside, quantiles, np.where(F <= 0, -np.inf, np.inf))


def _exponential_ordinate(unreliability):
    with np.errstate(divide="ignore"):
        return -np.log1p(-np.asarray(unreliability))


# Each paper: whether time runs on a log scale, and the ordinate of an unreliability. On its own
# paper a distribution's two-parameter form is a straight line, as on the command line's.
_PAPERS = {
    "weibull": (True, _weibull_ordinate),
    "lognormal": (True, _normal_ordinate),
    "normal": (False, _normal_ordinate),
    "exponential": (False, _exponential_ordinate),
}


def _band(result, two, ordinate):
    """The likelihood-ratio bounds of the two-parameter B-lives at the paper's percents, as
    (ordinates, lower sides, upper sides), or None where the fit has no such bounds."""
    if two.m is None or "likelihoodRatio" not in two.bounds.m:
        return None
    percents = np.array(PERCENT_TICKS)
    lives = fit(*result.records, model="2p", gamma=two.gamma, confidence=two.confidence, b_lives=percents,
                bounds="lr").two_parameter.b_lives
    sides = [[life.likelihood_ratio[side] for life in lives] for side in ("lower", "upper")]
    lower, upper = (np.array([np.nan if v is None else v for v in side]) - two.gamma for side in sides)
    return ordinate(percents / 100), lower, upper


def _curve(name, parameters, times, ordinate):
    return ordinate(_varnel._unreliability(name, [float(p) for p in parameters], np.asarray(times, dtype=float)))


def _draw_models(ax, result, two, location, span, band, ordinate):
    """The two-parameter line and band and the three-parameter curve, each where its model has an
    estimate, over the times ``span`` (t - location)."""
    by = _METHOD_WORDS.get(result.method, "")
    if two.m is not None and two.eta is not None:  # a known shape without failures has m but no eta
        known = " (m known)" if two.get("shapeFixed") else ""
        ax.plot(span, _curve("weibull2", (two.m, two.eta), span, ordinate), "-", color="C1",
                label=f"two parameters{by}{known}: m = {two.m:.4g}, eta = {two.eta:.4g}")
    sides = _band(result, two, ordinate) if band else None
    if sides is not None:
        ordinates, lower, upper = sides
        ax.plot(lower, ordinates, ":", color="C1", label=f"likelihood-ratio band, {100 * two.confidence:g}%")
        ax.plot(upper, ordinates, ":", color="C1")
    three = result.three_parameter
    if three is not None and three.m is not None:
        keep = span + location - three.gamma > 0
        ax.plot(span[keep], _curve("weibull3", (three.m, three.eta, three.gamma), span[keep] + location, ordinate),
                "--", color="C2",
                label=f"three parameters{by}: m = {three.m:.4g}, eta = {three.eta:.4g}, gamma = {three.gamma:.4g}")


def _draw_distributions(ax, result, span, ordinate):
    """Every distribution with an estimate, in rank order; the best-ranked one bold."""
    for index, distribution in enumerate(result.distributions):
        if distribution.rank is None:
            continue
        best = distribution.rank == 1
        ax.plot(span, _curve(distribution.name, list(distribution.parameters.values()), span, ordinate),
                "-", color=f"C{(index + 1) % 10}", linewidth=2.6 if best else 1.1,
                label=f"{distribution.rank}. {distribution.name}")


def _draw_steps(ax, estimate, location, ordinate):
    """The non-parametric estimate's F = 1 - S: a Kaplan-Meier step rises at its time, a Turnbull
    step across its support interval, where the estimate does not say how its mass lies."""
    times, unreliability, before = [], [], 0.0
    for step in estimate.steps:
        after = 1 - step.survival
        right = np.inf if step.time is None else step.time
        times += [step.get("from", step.time) - location, right - location]
        unreliability += [before, after]
        before = after
    label = "Turnbull" if estimate.method == "turnbull" else "Kaplan-Meier"
    ax.plot(times, ordinate(np.array(unreliability)), "-", color="black", linewidth=1, label=label)


def plot(result, ax=None, band=True, paper="weibull"):
    """Draws the probability plot of ``result`` (from ``fit``) on ``ax`` (default: the current axis
    of pyplot) and returns the axis. Across: t - gamma of the two-parameter fit, on a log scale (on
    normal and exponential paper a linear one); up: the unreliability F. ``paper``: "weibull",
    "lognormal", "normal" or "exponential", as ``--paper``. ``band`` adds the likelihood-ratio
    confidence band of the two-parameter B-lives (an analysis of its own, at the fit's confidence),
    where the fit has such bounds."""
    if not isinstance(result, Fit):
        raise TypeError(f"plot takes the result of varnel.fit, not {type(result).__name__}")
    if paper not in _PAPERS:
        raise ValueError(f"paper must be one of {', '.join(_PAPERS)}, not {paper!r}")
    import matplotlib.pyplot as plt

    if ax is None:
        ax = plt.gca()
    logarithmic, ordinate = _PAPERS[paper]
    comparison = "distributions" in result
    two = None if comparison else result.two_parameter
    # Without a two-parameter estimate (its fit did not converge) there is no location to shift by:
    # the failures are drawn at their times, with the three-parameter curve where it exists.
    location = 0.0 if two is None or two.gamma is None else two.gamma
    times, unreliability = _varnel._adjusted_ranks(*result.records)
    shift = times - location
    shown = shift > 0
    if logarithmic:
        ax.set_xscale("log")
    ax.plot(shift[shown], ordinate(unreliability[shown]), "o", label="failures (adjusted ranks)")
    ax.margins(0.15)
    # The view is the data's: a band or curve that runs far off is cut at its edges.
    view = ax.get_xlim(), ax.get_ylim()
    if shown.any():
        span = (np.geomspace if logarithmic else np.linspace)(view[0][0], view[0][1], 200)
        if comparison:
            _draw_distributions(ax, result, span, ordinate)
        else:
            _draw_models(ax, result, two, location, span, band, ordinate)
    if "nonParametric" in result:
        _draw_steps(ax, result.non_parametric, location, ordinate)
    ticks = [p for p in PERCENT_TICKS if paper == "weibull" or p != 63.2]
    ax.set_yticks(ordinate(np.array(ticks) / 100), [f"{p:g}" for p in ticks])
    ax.set_xlim(*view[0])
    ax.set_ylim(*view[1])
    ax.set_xlabel("t" if location == 0 else f"t - {location:g}")
    ax.set_ylabel("unreliability F (%)")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(loc="lower right", fontsize="small")
    return ax
