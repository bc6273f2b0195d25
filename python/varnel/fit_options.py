"""fit's options as one value: checked once, given to many fits, and picklable, so that the same
options reach Dask's worker processes. pandas' fit_groups and Dask's take them from keywords."""
import inspect

from .lifedata import _fit_options, fit

# The parameters of fit that are the records, not options.
_RECORDS = ("times", "states", "counts", "intervals", "stresses", "modes")
# The options that the analysis of one group takes; fit's others (the accelerated model's, the modes')
# go with records that a group's columns do not hold.
_GROUP_OPTIONS = inspect.signature(_fit_options).parameters


class FitOptions:
    """The keywords of ``fit`` other than the records (``model="2p"``, ``b_lives=(10,)``, ...), with
    fit's defaults for the rest. Raises TypeError for a keyword that fit does not take, and
    TypeError or ValueError for a value that it would refuse."""

    __slots__ = ("keywords", "native")

    def __init__(self, **keywords):
        for name in _RECORDS:
            if name in keywords:
                raise TypeError(f"{name} is a column of the records, not an option")
        bound = inspect.signature(fit).bind(**{name: None for name in _RECORDS}, **keywords)
        bound.apply_defaults()
        for name in keywords:
            if name not in _GROUP_OPTIONS:
                raise TypeError(f"{name} is not an option of the fit of a group")
        options = {name: value for name, value in bound.arguments.items() if name in _GROUP_OPTIONS}
        self.keywords = dict(keywords)
        self.native = _fit_options(**options)

    def replace(self, **keywords):
        """The same options with some changed."""
        return FitOptions(**{**self.keywords, **keywords})

    def __reduce__(self):
        # The extension's object is rebuilt from the keywords, checked again where it arrives.
        return _rebuild, (self.keywords,)

    def __eq__(self, other):
        return isinstance(other, FitOptions) and self.keywords == other.keywords

    def __hash__(self):
        return hash(repr(sorted(self.keywords.items())))

    def __repr__(self):
        return "FitOptions(" + ", ".join(f"{name}={value!r}" for name, value in self.keywords.items()) + ")"


def _rebuild(keywords):
    return FitOptions(**keywords)
