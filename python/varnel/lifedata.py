"""Life-data analysis: failures, suspensions and inspection intervals with counts, fitted by maximum
likelihood with two and three parameters, as ``varnel --mle`` does."""
import json
import os
from typing import NamedTuple

import numpy as np

from . import _varnel
from .arguments import number_array, real, whole
from .results import JsonView


class LifeData(NamedTuple):
    """Records as arrays, one entry per record: the time (an interval's lower end), the state
    ("F" failure, "S" suspension, "I" interval), the count of identical units, and the upper end
    (an interval's; the time itself otherwise). ``fit(*data)`` analyses them."""

    times: np.ndarray
    states: np.ndarray
    counts: np.ndarray
    intervals: np.ndarray


class Fit(JsonView):
    """The result of ``fit``: the members of the ``varnel --mle --json`` document as attributes
    (``fit.two_parameter.m``, ``fit.likelihood_ratio.p_value``), ``to_dict()`` the document itself.
    ``data`` holds the records fitted, for ``plot``."""

    __slots__ = ("data",)

    def __init__(self, document, data):
        super().__init__(document)
        self.data = data


def read_data(path):
    """The records of a data file, ``VALUE [STATE [COUNT]]`` or ``LOW HIGH I [COUNT]`` per line, as a
    LifeData of arrays. Raises DataError naming the file and line of a malformed line."""
    return LifeData(*_varnel._read_data(os.fsdecode(path)))


def fit(times, states=None, counts=None, intervals=None, model="both", gamma=None, threads=None):
    """Fits the Weibull distribution to life data by maximum likelihood, as ``varnel --mle``.

    ``times``: the times (an interval's lower end); ``states``: "F", "S" or "I" per record (default
    all failures; with ``intervals`` given and no states, all intervals); ``counts``: units per record
    (default 1); ``intervals``: interval upper ends, read where the state is "I".
    ``model``: "both" (compared by their likelihood ratio), "2p" or "3p"; ``gamma`` fixes the location
    of the two-parameter fit (default 0) and fits only that model, as ``-g`` does.
    ``threads``: threads for the sums (default one per hardware thread); never changes a result.

    numpy arrays and pandas Series are read where they lie when they hold doubles. Raises DataError
    for data that cannot be analysed, with the command line's texts, and ValueError or TypeError for
    arguments that do not fit."""
    times = number_array(times, "times")
    if intervals is not None:
        intervals = number_array(intervals, "intervals")
        if states is None:
            states = np.full(times.shape, "I")
    if not isinstance(model, str):
        raise TypeError(f"model must be a str, not {type(model).__name__}")
    gamma = real(gamma, "gamma", optional=True)
    threads = 0 if threads is None else whole(threads, "threads", 1)
    document = _varnel._fit(times, states, counts, intervals, model, gamma, threads)
    return Fit(json.loads(document), LifeData(times, states, counts, intervals))
