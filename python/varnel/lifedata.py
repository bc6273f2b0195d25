"""Life-data analysis: failures, suspensions and inspection intervals with counts, fitted by maximum
likelihood or median rank regression with two and three parameters, as ``varnel --life`` does."""
import numbers
import os
from typing import NamedTuple

import numpy as np

from . import _varnel
from .arguments import number_array, positive, real, whole
from .results import JsonDocument


class LifeData(NamedTuple):
    """Records as arrays, one entry per record: the time (an interval's lower end), the state
    ("F" failure, "S" suspension, "I" interval), the count of identical units, and the upper end
    (an interval's; the time itself otherwise). ``fit(*data)`` analyses them."""

    times: np.ndarray
    states: np.ndarray
    counts: np.ndarray
    intervals: np.ndarray


class Fit(JsonDocument):
    """The result of ``fit``: the members of the ``varnel --life --json`` document as attributes
    (``fit.two_parameter.m``, ``fit.likelihood_ratio.p_value``), ``to_dict()`` the document itself.
    ``records`` holds the records fitted (a LifeData, as given), for ``plot``."""

    __slots__ = ("records",)

    def __init__(self, text, records):
        super().__init__(text)
        self.records = records


def read_data(path):
    """The records of a data file, ``VALUE [STATE [COUNT]]`` or ``LOW HIGH I [COUNT]`` per line, as a
    LifeData of arrays. Raises DataError naming the file and line of a malformed line, and for a path
    that is not a regular file (a folder, a device, a pipe), as the command line does."""
    path = os.fsdecode(path)
    if "\0" in path:
        # The file would be opened under the name cut at the null, another file than the one named.
        raise ValueError("path holds a null character")
    return LifeData(*_varnel._read_data(path))


def fit(times, states=None, counts=None, intervals=None, model="both", gamma=None, confidence=0.95,
        b_lives=(1, 10), at=(), bounds="both", bootstrap=0, seed=None, threads=None, shape=None, method="mle",
        distributions=None, mixture=False, nonparametric=False, stresses=None, stress_model=None, use_stress=(),
        celsius=False, modes=None, modes_model="2p"):
    """Fits the Weibull distribution to life data, as ``varnel --life``.

    ``times``: the times (an interval's lower end); ``states``: "F", "S" or "I" per record (default
    all failures; with ``intervals`` given and no states, all intervals); ``counts``: units per record
    (default 1); ``intervals``: interval upper ends, read where the state is "I".
    ``model``: "both" (compared by their likelihood ratio), "2p" or "3p"; ``gamma`` fixes the location
    of the two-parameter fit (default 0) and fits only that model, as ``-g`` does.
    ``confidence``, ``b_lives`` (percents), ``at`` (times of reliabilities), ``bounds`` ("none",
    "fisher", "lr" or "both"), ``bootstrap`` (samples for the goodness of fit's p-value) and ``seed``
    (default: the command line's fixed seed) as the options of the same names.
    ``threads``: threads for the sums, the calling thread included, 1 to 1024 (default one per hardware
    thread); never changes a result. Ctrl-C cancels the analysis and raises KeyboardInterrupt.
    ``shape``: a known shape m, as ``--shape``: only eta is fitted, with chi-square bounds for failures
    and suspensions (defined with no failure at all: Weibayes), and only the two-parameter model.
    ``method``: "mle" (maximum likelihood), or "rrx" or "rry" (median rank regression of x on y or
    of y on x, at Johnson's adjusted ranks: estimates only, for exact failure times and
    suspensions), as ``--method``.
    ``distributions``: "all" or names ("lognormal2", ("weibull2", "gamma"), ...), as
    ``--distribution``: the document is then the data summary and the ``distributions`` ranked by
    AICc, each with its bounds; the usual Weibull models appear in it as weibull2 and weibull3.
    ``mixture``: also fit a mixture of two Weibull populations, as ``--mixture`` (result.mixture);
    maximum likelihood at location 0 only, so not with ``gamma``, ``shape`` or rank regression.
    ``nonparametric``: True adds the ``non_parametric`` estimate, as ``--nonparametric``: Kaplan-Meier
    with its log bounds at ``confidence``, or Turnbull's when the data hold intervals. A comparison of
    ``distributions`` always has it.
    ``stresses`` (one per record) with ``stress_model`` ("arrhenius", "power" or "exponential"): an
    accelerated life model, as ``--stress``, with ``use_stress`` (stresses of eta, B-lives and
    reliabilities with bounds) and ``celsius`` (Arrhenius stresses in degrees Celsius); its document
    has "acceleratedLife" in place of the two models.
    ``modes``: a failure mode's label per record (a str; "" or None for a suspension, and for a failure
    of the mode "unlabelled"), as the mode words of a data file with ``--modes``: each mode's own
    Weibull ("2p", or "3p" with ``modes_model``) and the series system, in "modes" and "system".

    numpy arrays and pandas Series are read where they lie when they hold doubles. Raises DataError
    for data that cannot be analysed, with the command line's texts, and ValueError or TypeError for
    arguments that do not fit."""
    times = number_array(times, "times")
    if intervals is not None:
        intervals = number_array(intervals, "intervals")
        if states is None:
            states = np.full(times.shape, "I")
    if stresses is not None or stress_model is not None:
        return _fit_accelerated(times, states, counts, intervals, stresses, stress_model, use_stress, celsius,
                                confidence, b_lives, at, bounds, threads)
    options = _fit_options(model=model, gamma=gamma, confidence=confidence, b_lives=b_lives, at=at, bounds=bounds,
                           bootstrap=bootstrap, seed=seed, threads=threads, shape=shape, method=method,
                           distributions=distributions, mixture=mixture, nonparametric=nonparametric)
    if modes is not None and not isinstance(modes, str):
        modes = list(modes)
    document = _varnel._fit(times, states, counts, intervals, options, modes, _text(modes_model, "modes_model"))
    return Fit(document, LifeData(times, states, counts, intervals))


def _fit_options(model, gamma, confidence, b_lives, at, bounds, bootstrap, seed, threads, shape, method,
                 distributions=None, mixture=False, nonparametric=False):
    """fit's options, checked, as the extension takes them (fit_groups passes its own through here)."""
    options = _varnel._FitOptions(
        _text(model, "model"), real(gamma, "gamma", optional=True), real(confidence, "confidence"),
        _numbers(b_lives, "b_lives"), _numbers(at, "at"), _text(bounds, "bounds"),
        whole(bootstrap, "bootstrap", 0, _varnel.MAXIMUM_BOOTSTRAP_SAMPLES),
        None if seed is None else whole(seed, "seed", 0, 2**64 - 1),
        0 if threads is None else whole(threads, "threads", 1, _varnel.MAXIMUM_THREADS),
        positive(shape, "shape", optional=True), _text(method, "method"))
    options.distributions = _names(distributions, "distributions")
    options.mixture = _flag(mixture, "mixture")
    options.nonparametric = _flag(nonparametric, "nonparametric")
    return options


def _flag(value, name):
    if not isinstance(value, (bool, np.bool_)):
        raise TypeError(f"{name} must be True or False, not {value!r}")
    return bool(value)


def _fit_accelerated(times, states, counts, intervals, stresses, stress_model, use_stress, celsius, confidence,
                     b_lives, at, bounds, threads):
    if stresses is None or stress_model is None:
        raise ValueError("an accelerated model needs both stresses and stress_model")
    stresses = number_array(stresses, "stresses")
    options = _varnel._AcceleratedOptions(
        _text(stress_model, "stress_model"), bool(celsius), _numbers(use_stress, "use_stress"),
        real(confidence, "confidence"), _numbers(b_lives, "b_lives"), _numbers(at, "at"), _text(bounds, "bounds"),
        0 if threads is None else whole(threads, "threads", 1, _varnel.MAXIMUM_THREADS))
    document = _varnel._fit_accelerated(times, states, counts, intervals, stresses, options)
    return Fit(document, LifeData(times, states, counts, intervals))


def _text(value, name):
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    return value


def _names(values, name):
    if values is None:
        return []
    if isinstance(values, str):
        values = (values,)
    return [_text(value, name) for value in values]


def _numbers(values, name):
    if isinstance(values, numbers.Real):
        values = (values,)
    return [real(value, name) for value in values]
