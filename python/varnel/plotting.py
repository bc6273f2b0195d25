"""The Weibull plot of a fit on a matplotlib axis, as ``varnel --mle --plot`` draws it: the failures
at Johnson's adjusted ranks (suspensions accounted for) on Weibull probability paper, the
two-parameter line, and the three-parameter curve where that model has an estimate. matplotlib is
imported only here, when a plot is drawn."""
import numpy as np

from . import _varnel
from .lifedata import Fit

# Unreliabilities (percent) marked on the vertical axis.
PERCENT_TICKS = (0.1, 0.5, 1, 2, 5, 10, 20, 30, 50, 63.2, 80, 90, 95, 99, 99.9)


def _weibull_ordinate(unreliability):
    return np.log(-np.log1p(-np.asarray(unreliability)))


def plot(result, ax=None):
    """Draws the Weibull plot of ``result`` (from ``fit``) on ``ax`` (default: the current axis of
    pyplot) and returns the axis. Across: t - gamma of the two-parameter fit, on a log scale; up:
    the unreliability F."""
    if not isinstance(result, Fit):
        raise TypeError(f"plot takes the result of varnel.fit, not {type(result).__name__}")
    import matplotlib.pyplot as plt

    if ax is None:
        ax = plt.gca()
    two = result.two_parameter
    gamma = two.gamma if two.gamma is not None else 0.0
    times, unreliability = _varnel._adjusted_ranks(*result.records)
    shift = times - gamma
    shown = shift > 0
    ax.set_xscale("log")
    ax.plot(shift[shown], _weibull_ordinate(unreliability[shown]), "o", label="failures (adjusted ranks)")

    if shown.any():
        span = np.geomspace(shift[shown].min() / 2, shift[shown].max() * 2, 200)
        if two.m is not None:
            ax.plot(span, two.m * (np.log(span) - np.log(two.eta)), "-",
                    label=f"two parameters: m = {two.m:.4g}, eta = {two.eta:.4g}")
        three = result.three_parameter
        if three is not None and three.m is not None:
            above = span + gamma - three.gamma
            keep = above > 0
            ax.plot(span[keep], three.m * (np.log(above[keep]) - np.log(three.eta)), "--",
                    label=f"three parameters: m = {three.m:.4g}, eta = {three.eta:.4g}, gamma = {three.gamma:.4g}")
    # The ticks are the paper's, the view stays the data's.
    low, high = ax.get_ylim()
    ax.set_yticks(_weibull_ordinate(np.array(PERCENT_TICKS) / 100), [f"{p:g}" for p in PERCENT_TICKS])
    ax.set_ylim(low, high)
    ax.set_xlabel("t" if gamma == 0 else f"t - {gamma:g}")
    ax.set_ylabel("unreliability F (%)")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(loc="upper left", fontsize="small")
    return ax
