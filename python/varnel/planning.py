"""Zero- and few-failure test plans, as ``varnel --plan``."""
import json

from . import _varnel
from .arguments import positive, real, whole


def plan(shape, reliability, at, confidence, units=None, test_time=None, failures_allowed=0):
    """The test plan that shows R(at) >= reliability with the confidence when the shape m is known
    and at most ``failures_allowed`` units fail: give ``units`` to find the test time, or
    ``test_time`` to find the units. Returns the ``varnel --plan --json`` document as a dict:
    {"method": "plan", "shape", "reliability", "at", "confidence", "failuresAllowed", "units",
    "testTime"}. Raises DataError (a ValueError) for values out of range, with the command line's texts."""
    if (units is None) == (test_time is None):
        raise ValueError("give one of units and test_time: the plan finds the other")
    document = _varnel._plan(
        real(shape, "shape"), real(reliability, "reliability"), real(at, "at"), real(confidence, "confidence"),
        None if units is None else float(whole(units, "units", 1)),
        positive(test_time, "test_time", optional=True), float(whole(failures_allowed, "failures_allowed", 0)))
    return json.loads(document)
