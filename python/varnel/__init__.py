"""Varnel: Weibull parameters from failure times or strengths, and life-data analysis.

The same core as the ``varnel`` command-line program, with the same numbers to the last bit:

- ``estimate(values, ...)``: the classic estimation of the desktop program (``varnel``);
- ``read_data(path)``: a data file's records as numpy arrays;
- ``fit(times, ...)``: the life-data analysis (``varnel --life``: maximum likelihood or rank regression), its result's ``to_dict()`` being the
  command line's JSON document;
- ``fit_groups(frame, by, time, ...)``: one fit per group of a pandas DataFrame, as a table
  (``varnel.dask.fit_groups`` for a dask DataFrame);
- ``plot(result, ax=None)``: the Weibull plot of a fit on a matplotlib axis;
- ``plan(shape, reliability, at, confidence, ...)``: a zero- or few-failure test plan (``varnel --plan``).
"""
from ._varnel import DataError
from .classic import Estimate, estimate
from .fit_options import FitOptions
from .fleet import fit_groups
from .lifedata import Fit, LifeData, fit, read_data
from .planning import plan
from .plotting import plot

__all__ = ["DataError", "Estimate", "Fit", "FitOptions", "LifeData", "estimate", "fit", "fit_groups", "plan", "plot", "read_data"]
__version__ = "1.0"
