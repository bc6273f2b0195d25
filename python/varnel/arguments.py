"""Checks of the arguments common to the package's functions: bad arguments raise TypeError or
ValueError here, in the caller's terms, before any work starts."""
import math
import numbers
import operator

import numpy as np


def number_array(values, name):
    """The values as a one-dimensional array of doubles, the caller's own array when it already is one."""
    array = np.asarray(values)
    if array.dtype.kind not in "fiu":
        raise TypeError(f"{name} must be numbers, not {array.dtype}")
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {array.shape}")
    return np.ascontiguousarray(array, dtype=np.float64)


def real(value, name, optional=False):
    """A finite real number (or None when optional)."""
    if value is None and optional:
        return None
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a number, not {type(value).__name__}")
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"{name} must be a finite number, not {value}")
    return value


def positive(value, name, optional=False):
    """A finite number greater than 0 (or None when optional)."""
    value = real(value, name, optional)
    if value is not None and not value > 0:
        raise ValueError(f"{name} must be greater than 0, not {value}")
    return value


def whole(value, name, lowest, highest=None):
    """An integer of at least `lowest` (and at most `highest`, which the extension needs of every
    integer it takes: beyond its C type the conversion would fail with a message of its own)."""
    if isinstance(value, bool):
        raise TypeError(f"{name} must be an integer, not bool")
    try:
        value = operator.index(value)
    except TypeError:
        raise TypeError(f"{name} must be an integer, not {type(value).__name__}") from None
    if value < lowest:
        raise ValueError(f"{name} must be at least {lowest}, not {value}")
    if highest is not None and value > highest:
        raise ValueError(f"{name} must be at most {highest}, not {value}")
    return value
