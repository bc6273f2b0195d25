"""The classic estimation of the desktop program: the location searched on the Weibull plot (or
given), the shape by a damped Newton iteration, then the scale and four statistics."""
from dataclasses import asdict, dataclass
from typing import Optional

import numpy as np

from . import _varnel
from .arguments import number_array, positive, real, whole


@dataclass(frozen=True)
class Estimate:
    """The seven results of a classic estimation, as ``varnel --json`` gives them under "results".

    ``ending`` is how the shape iteration ended, as the command line's "ending": "converged",
    "stopped" (Ctrl-C, KeyboardInterrupt), "time limit", "diverged", "step repeating" or "not finite".
    ``stopped`` tells whether it was stopped early, and ``stop_cause`` by what: "interrupt" or
    "time limit"."""

    m: float
    t0: float
    gamma: float
    mu: float
    xi: float
    tm: float
    sigma2: float
    n: int
    stopped: bool
    stop_cause: Optional[str]
    ending: str

    def to_dict(self):
        return asdict(self)


def estimate(values, gamma=None, rank=1, initial_m=1.0, time_limit=None):
    """Estimates the Weibull parameters from ``values``, as ``varnel`` does from a data file.

    ``gamma`` fixes the location (default: searched, as Auto Gamma does); ``rank`` picks the plotting
    position formula 1 to 4 for that search; ``initial_m`` starts the shape iteration; ``time_limit``
    (seconds) stops it as Ctrl-C does. A stopped iteration is not an error: the results are for the
    m reached. Raises DataError with the command line's texts when the run fails ("Read data error:
    Invalid data type" for fewer than 3 values, "Parameter error: Invalid gamma").

    Runs one at a time: the classic engine is one shared record."""
    array = number_array(values, "values")
    if np.isnan(array).any():
        raise ValueError(f"values[{int(np.argmax(np.isnan(array)))}] is not a number")
    if (array < 0).any():
        # A data file's negative lines are not data; the estimation never sees such values.
        raise ValueError(f"values[{int(np.argmax(array < 0))}] is negative")
    result = _varnel._estimate(array, real(gamma, "gamma", optional=True), _rank(rank),
                               positive(initial_m, "initial_m"), positive(time_limit, "time_limit", optional=True))
    error = result.get("error")
    if error is not None:
        raise _varnel.DataError(f"{error['caption']}: {error['text']}")
    return Estimate(**result)


def _rank(rank):
    rank = whole(rank, "rank", 1)
    if rank > 4:
        raise ValueError(f"rank method must be 1, 2, 3 or 4, not {rank}")
    return rank
