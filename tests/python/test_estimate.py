"""varnel.estimate: the classic estimation, against the command-line program bit for bit, stopped
from outside, called from threads, and refusing what it cannot take."""
import _thread
import math
import threading

import numpy as np
import pytest

import varnel
from conftest import EXAMPLES

RESULTS = ("m", "t0", "gamma", "mu", "xi", "tm", "sigma2")


def classic_values(name):
    return varnel.read_data(EXAMPLES / name).times


@pytest.mark.parametrize("name, options, arguments", [
    ("ball_bearings.dat", {}, ()),
    ("ball_bearings.dat", {"rank": 3, "initial_m": 2.5}, ("-r", 3, "-m", 2.5)),
    ("ball_bearings.dat", {"gamma": 15}, ("-g", 15)),
    ("glass_fibres.dat", {"rank": 2}, ("-r", 2)),
    ("glass_fibres.dat", {"rank": 4, "gamma": 0}, ("-r", 4, "-g", 0)),
    ("ball_bearings.dat", {"initial_m": 50}, ("-m", 50)),       # ends with its step repeating
    ("ball_bearings.dat", {"initial_m": 1000}, ("-m", 1000)),   # ends where powers overflow
])
def test_results_are_the_command_lines_to_the_bit(varnel_json, name, options, arguments):
    expected = varnel_json(*arguments, EXAMPLES / name)
    result = varnel.estimate(classic_values(name), **options)
    # JSON has no infinities or NaNs: the command line writes null for them.
    shown = {key: getattr(result, key) if math.isfinite(getattr(result, key)) else None for key in RESULTS}
    assert shown == {key: expected["results"][key] for key in RESULTS}
    assert (result.n, result.stopped, result.ending) == (expected["n"], False, expected["ending"])


def test_the_order_and_container_of_the_values_do_not_matter():
    values = classic_values("glass_fibres.dat")
    shuffled = np.random.default_rng(1).permutation(values)
    assert varnel.estimate(list(shuffled)) == varnel.estimate(values)


def test_an_interrupt_from_another_thread_stops_the_iteration_with_its_result():
    values = classic_values("long_iteration.dat")
    timer = threading.Timer(0.3, _thread.interrupt_main)
    timer.start()
    try:
        result = varnel.estimate(values, initial_m=3)
    finally:
        timer.cancel()
    assert result.stopped and result.stop_cause == "interrupt" and result.ending == "stopped"
    assert all(math.isfinite(getattr(result, key)) for key in RESULTS)
    # The converged shape is 0.6; from 3, 0.3 s are far too few to get there.
    assert result.m > 1


def test_a_time_limit_stops_the_iteration_as_the_command_line_does():
    result = varnel.estimate(classic_values("long_iteration.dat"), initial_m=3, time_limit=0.2)
    assert result.stopped and result.stop_cause == "time limit" and result.ending == "time limit"
    assert result.m > 1 and math.isfinite(result.sigma2)


def test_a_time_limit_beyond_the_clocks_range_is_no_limit():
    # Some 0.4 s of iteration: long enough for an overflowed deadline to stop it.
    values = classic_values("long_iteration.dat")[:2000]
    result = varnel.estimate(values, time_limit=1e300)
    assert not result.stopped and result == varnel.estimate(values)


def test_runs_from_two_threads_are_serialised_and_give_the_same_results():
    values = classic_values("ball_bearings.dat")
    expected = varnel.estimate(values)
    results = []
    threads = [threading.Thread(target=lambda: results.append([varnel.estimate(values) for _ in range(20)]))
               for _ in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(result == expected for run in results for result in run)


def test_failed_runs_raise_the_command_lines_messages():
    with pytest.raises(varnel.DataError, match="^Read data error: Invalid data type$"):
        varnel.estimate([1.0, 2.0])
    with pytest.raises(varnel.DataError, match="^Parameter error: Invalid gamma$"):
        varnel.estimate(classic_values("ball_bearings.dat"), gamma=17.88)


@pytest.mark.parametrize("arguments, error, message", [
    (([1.0, float("nan"), 3.0],), ValueError, r"values\[1\] is not a number"),
    (([1.0, -2.0, 3.0],), ValueError, r"values\[1\] is negative"),
    ((["1", "2", "3"],), TypeError, "values must be numbers"),
    (([[1.0, 2.0], [3.0, 4.0]],), ValueError, "one-dimensional"),
    (([1.0, 2.0, 3.0], None, 5), ValueError, "rank method must be 1, 2, 3 or 4"),
    (([1.0, 2.0, 3.0], None, 1.5), TypeError, "rank must be an integer"),
    (([1.0, 2.0, 3.0], None, 1, 0.0), ValueError, "initial_m must be greater than 0"),
    (([1.0, 2.0, 3.0], float("inf")), ValueError, "gamma must be a finite number"),
    (([1.0, 2.0, 3.0], "0"), TypeError, "gamma must be a number"),
    (([1.0, 2.0, 3.0], None, 1, 1.0, -1), ValueError, "time_limit must be greater than 0"),
])
def test_bad_arguments_raise_before_any_work(arguments, error, message):
    with pytest.raises(error, match=message):
        varnel.estimate(*arguments)
