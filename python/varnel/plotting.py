"""The Weibull plot of a fit on a matplotlib axis, as ``varnel --life --plot`` draws it: the failures
at Johnson's adjusted ranks (suspensions accounted for) on Weibull probability paper, the
two-parameter line (a rank regression's own line) with its likelihood-ratio band, and the
three-parameter curve where that model has an estimate. matplotlib is imported only here, when a plot is drawn."""
import numpy as np

from . import _varnel
from .lifedata import Fit, fit

# Unreliabilities (percent) marked on the vertical axis.
PERCENT_TICKS = (0.1, 0.5, 1, 2, 5, 10, 20, 30, 50, 63.2, 80, 90, 95, 99, 99.9)


# How the legend names a rank regression's lines; maximum likelihood needs no words.
_METHOD_WORDS = {"rrx": " (rank regression on X)", "rry": " (rank regression on Y)"}


def _weibull_ordinate(unreliability):
    return np.log(-np.log1p(-np.asarray(unreliability)))


def _band(result, two):
    """The likelihood-ratio bounds of the two-parameter B-lives at the paper's percents, as
    (ordinates, lower sides, upper sides), or None where the fit has no such bounds."""
    if two.m is None or "likelihoodRatio" not in two.bounds.m:
        return None
    percents = np.array(PERCENT_TICKS)
    lives = fit(*result.records, model="2p", gamma=two.gamma, confidence=two.confidence, b_lives=percents,
                bounds="lr").two_parameter.b_lives
    sides = [[life.likelihood_ratio[side] for life in lives] for side in ("lower", "upper")]
    lower, upper = (np.array([np.nan if v is None else v for v in side]) - two.gamma for side in sides)
    return _weibull_ordinate(percents / 100), lower, upper


def _draw_models(ax, result, two, location, span, band):
    """The two-parameter line and band and the three-parameter curve, each where its model has an
    estimate, over the times ``span`` (t - location)."""
    by = _METHOD_WORDS.get(result.method, "")
    if two.m is not None and two.eta is not None:  # a known shape without failures has m but no eta
        known = " (m known)" if two.get("shapeFixed") else ""
        ax.plot(span, two.m * (np.log(span) - np.log(two.eta)), "-", color="C1",
                label=f"two parameters{by}{known}: m = {two.m:.4g}, eta = {two.eta:.4g}")
    sides = _band(result, two) if band else None
    if sides is not None:
        ordinates, lower, upper = sides
        ax.plot(lower, ordinates, ":", color="C1", label=f"likelihood-ratio band, {100 * two.confidence:g}%")
        ax.plot(upper, ordinates, ":", color="C1")
    three = result.three_parameter
    if three is not None and three.m is not None:
        above = span + location - three.gamma
        keep = above > 0
        ax.plot(span[keep], three.m * (np.log(above[keep]) - np.log(three.eta)), "--", color="C2",
                label=f"three parameters{by}: m = {three.m:.4g}, eta = {three.eta:.4g}, gamma = {three.gamma:.4g}")


def plot(result, ax=None, band=True):
    """Draws the Weibull plot of ``result`` (from ``fit``) on ``ax`` (default: the current axis of
    pyplot) and returns the axis. Across: t - gamma of the two-parameter fit, on a log scale; up:
    the unreliability F. ``band`` adds the likelihood-ratio confidence band of the two-parameter
    B-lives (an analysis of its own, at the fit's confidence), where the fit has such bounds."""
    if not isinstance(result, Fit):
        raise TypeError(f"plot takes the result of varnel.fit, not {type(result).__name__}")
    import matplotlib.pyplot as plt

    if ax is None:
        ax = plt.gca()
    two = result.two_parameter
    # Without a two-parameter estimate (its fit did not converge) there is no location to shift by:
    # the failures are drawn at their times, with the three-parameter curve where it exists.
    location = 0.0 if two.gamma is None else two.gamma
    times, unreliability = _varnel._adjusted_ranks(*result.records)
    shift = times - location
    shown = shift > 0
    ax.set_xscale("log")
    ax.plot(shift[shown], _weibull_ordinate(unreliability[shown]), "o", label="failures (adjusted ranks)")
    ax.margins(0.15)
    # The view is the data's: a band or curve that runs far off is cut at its edges.
    view = ax.get_xlim(), ax.get_ylim()
    if shown.any():
        _draw_models(ax, result, two, location, np.geomspace(view[0][0], view[0][1], 200), band)
    ax.set_yticks(_weibull_ordinate(np.array(PERCENT_TICKS) / 100), [f"{p:g}" for p in PERCENT_TICKS])
    ax.set_xlim(*view[0])
    ax.set_ylim(*view[1])
    ax.set_xlabel("t" if location == 0 else f"t - {location:g}")
    ax.set_ylabel("unreliability F (%)")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(loc="lower right", fontsize="small")
    return ax
