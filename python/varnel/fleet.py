"""Fleets: one life-data analysis per group of a pandas DataFrame (a part number's records, say),
as a table with one row per group. The groups are analysed in the extension, several at a time,
with the interpreter lock released; pandas is imported only here."""
import numpy as np

from . import _varnel
from .arguments import number_array, whole
from .fit_options import FitOptions

# The data's counts: whole numbers, null for a group that failed.
_COUNT_COLUMNS = ("failures", "suspensions", "intervals", "units")


def fit_groups(frame, by, time, state=None, count=None, upper=None, threads=None, errors="raise", **fit_options):
    """Fits each group of ``frame`` as ``varnel.fit`` fits its records, and returns a DataFrame with
    one row per group, in the order of the group keys (as ``frame.groupby(by)``; a null key is a
    group too, last).

    ``by``: the column name, or list of names, of the group keys; ``time``, ``state``, ``count`` and
    ``upper``: the names of the columns of fit's ``times``, ``states``, ``counts`` and
    ``intervals`` (None: not given, with fit's defaults). ``fit_options``: fit's other keywords
    (``model``, ``b_lives``, ``at``, ``bounds``, ...), or ``options=FitOptions(...)``, applied to
    every group. ``threads``: groups analysed at a time, each on one thread, 1 to 1024 (default
    one per hardware thread); never changes a result: a group's numbers are the bits of its own fit.
    ``errors``: "raise" raises the first failing group's DataError, naming the group; "record"
    puts its text in the ``error`` column, with null numbers and status.

    Columns: the keys; failures, suspensions, intervals, units; for each model fitted (prefix
    ``2p_``, ``3p_``) m, eta, gamma, log_likelihood, status, then each B-life and reliability asked
    for with its bounds (``2p_B10``, ``2p_B10_fisher_lower``, ``2p_B10_lr_upper``, ``2p_R1000``,
    ...); lr_statistic and lr_p_value where both models are compared; error."""
    import pandas as pd

    options = _options(fit_options)
    if errors not in ("raise", "record"):
        raise ValueError(f"errors must be 'raise' or 'record', not {errors!r}")
    threads = 0 if threads is None else whole(threads, "threads", 1, _varnel.MAXIMUM_THREADS)
    keys = [by] if isinstance(by, str) or not isinstance(by, (list, tuple)) else list(by)
    if not keys:
        raise ValueError("by must name at least one column")
    grouped = frame.groupby(keys, sort=True, dropna=False)
    codes = grouped.ngroup().to_numpy(dtype=np.int64)
    key_frame = grouped.size().index.to_frame(index=False)

    times = number_array(frame[time].to_numpy(), time)
    states = None if state is None else frame[state].to_numpy()
    counts = None if count is None else frame[count].to_numpy()
    intervals = None if upper is None else number_array(frame[upper].to_numpy(), upper)
    if intervals is not None and states is None:
        states = np.full(times.shape, "I")
    columns, failures = _varnel._fit_groups(times, states, counts, intervals, codes, len(key_frame), options.native,
                                            threads)
    if errors == "raise":
        for group, error in enumerate(failures):
            if error is not None:
                key = tuple(key_frame.iloc[group]) if len(keys) > 1 else key_frame.iloc[group, 0]
                raise _varnel.DataError(f"group {key!r}: {error}")
    table = {name: key_frame[name].to_numpy() for name in key_frame.columns}
    for name, values in columns:
        table[name] = pd.array(values, dtype="Int64") if name in _COUNT_COLUMNS else values
    table["error"] = failures
    return pd.DataFrame(table, columns=list(table))


def _options(fit_options):
    """The FitOptions of fit_groups's keywords: each group is fitted on one thread."""
    if "options" in fit_options:
        options = fit_options.pop("options")
        if fit_options:
            raise TypeError("give options=FitOptions(...) or fit's keywords, not both")
        if not isinstance(options, FitOptions):
            raise TypeError(f"options must be a FitOptions, not {type(options).__name__}")
        return options.replace(threads=1)
    return FitOptions(threads=1, **fit_options)
